// Building the default document against copying a finished document of the same length:
// the copy is the floor that any builder of a string this long has to pay. And the document
// with "Tips" for each release's list of places, with the count of the Classic tab's controls
// per kind of place in that list.
#include "ControlCheck.h"
#include "ExcelPlaces.h"
#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"

#include <benchmark/benchmark.h>

#include <cwctype>
#include <optional>

namespace {

class ExcelHost final : public cornice::Host {
public:
    std::wstring Name() override { return L"Microsoft Excel"; }
    std::wstring Version() override { return version; }
    long Build() override { return build; }
    std::wstring version;
    long build = 0;
};

void BuildDefaultDocument(benchmark::State& state)
{
    cornice::InMemorySettingsStore store;
    ExcelHost host;
    cornice::RibbonBuilder builder(store, host);
    for (auto _ : state) {
        std::wstring document = builder.GetRibbonXML();
        benchmark::DoNotOptimize(document.data());
    }
}
BENCHMARK(BuildDefaultDocument);

void CopyFinishedDocument(benchmark::State& state)
{
    cornice::InMemorySettingsStore store;
    ExcelHost host;
    const std::wstring finished = cornice::RibbonBuilder(store, host).GetRibbonXML();
    state.counters["characters"] = static_cast<double>(finished.size());
    for (auto _ : state) {
        std::wstring copy = finished;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(CopyFinishedDocument);

// The tips are made once per connection; what every request pays is the longer document.
void BuildDocumentWithTips(benchmark::State& state)
{
    const struct {
        const wchar_t* version;
        long build;
    } releases[] = {{L"15.0", 4569}, {L"16.0", 4266}, {L"16.0", 10827}, {L"16.0", 17328}};
    const auto& release = releases[state.range(0)];
    cornice::InMemorySettingsStore store;
    store.SaveSetting(cornice::kSettingsApplication, cornice::kSettingsSection, cornice::kTipsKey, L"1");
    ExcelHost host;
    host.version = release.version;
    host.build = release.build;
    cornice::RibbonBuilder builder(store, host);
    state.counters["characters"] = static_cast<double>(builder.GetRibbonXML().size());
    const cornice::PlaceList list = cornice::PlaceListFor(release.version, release.build);
    const char* kinds[cornice::kPlaceKindCount] = {"coreTab", "contextualTab", "fileTab", "quickAccess", "notOnRibbon"};
    for (const char* kind : kinds) state.counters[kind] = 0;
    state.counters["unknown"] = 0;
    for (const std::wstring& idMso : cornice::IdMsoOfEveryDocument()) {
        if (idMso.rfind(L"Tab", 0) == 0 && std::iswupper(idMso[3])) continue; // the tabs a user may hide
        const std::optional<cornice::ControlPlace> place = cornice::PlaceOf(list, idMso);
        state.counters[place ? kinds[static_cast<int>(place->kind)] : "unknown"] += 1;
    }
    state.SetLabel("Excel " + std::string(cornice::PlaceListName(list).begin(), cornice::PlaceListName(list).end()));
    for (auto _ : state) {
        std::wstring document = builder.GetRibbonXML();
        benchmark::DoNotOptimize(document.data());
    }
}
BENCHMARK(BuildDocumentWithTips)->DenseRange(0, 3);

} // namespace

BENCHMARK_MAIN();
