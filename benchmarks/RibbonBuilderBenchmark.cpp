// Building the default document against copying a finished document of the same length:
// the copy is the floor that any builder of a string this long has to pay.
#include "InMemorySettingsStore.h"
#include "RibbonBuilder.h"

#include <benchmark/benchmark.h>

namespace {

class ExcelHost final : public cornice::Host {
public:
    std::wstring Name() override { return L"Microsoft Excel"; }
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

} // namespace

BENCHMARK_MAIN();
