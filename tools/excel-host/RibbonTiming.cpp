#include "RibbonTiming.h"

#include "RegistrySettingsStore.h"
#include "SettingKeys.h"
#include "WinHandles.h"

#include <algorithm>
#include <cwchar>
#include <numeric>

namespace cornice::host {
namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

// The add-in's reads, in its order, when it hides tabs: Classic, Tips, Hide built-in Tabs, the
// eight tabs (each read once per request), Left, All.
std::vector<const wchar_t*> AddInReads()
{
    std::vector<const wchar_t*> keys = {kClassicKey, kTipsKey, kHideBuiltInTabsKey};
    keys.insert(keys.end(), kTabKeys.begin(), kTabKeys.end());
    keys.push_back(kLeftKey);
    keys.push_back(kAllKey);
    return keys;
}

std::wstring Microseconds(double seconds)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%.1f us", seconds * 1e6);
    return text;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Mean(const std::vector<double>& values)
{
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

} // namespace

std::vector<std::wstring> MeasureRibbonRequest(IRibbonExtensibility* ribbon, int rounds)
{
    const std::vector<const wchar_t*> keys = AddInReads();
    const std::wstring section =
        RegistrySettingsStore::SectionPath(kSettingsApplication, kSettingsSection);
    const UniqueBstr ribbonId = UniqueBstr::FromText(L"Microsoft.Excel.Workbook");
    std::vector<double> requests, bareReads;
    std::size_t documentLength = 0;
    HRESULT failure = S_OK;

    // Round 0 warms both up and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        const LARGE_INTEGER start = Now();
        UniqueBstr document;
        const HRESULT hr = ribbon->GetCustomUI(ribbonId.Get(), document.Put());
        document.Reset();
        const LARGE_INTEGER requested = Now();
        for (const wchar_t* key : keys) {
            wchar_t value[64];
            DWORD size = sizeof value;
            ::RegGetValueW(HKEY_CURRENT_USER, section.c_str(), key, RRF_RT_REG_SZ, nullptr, value, &size);
        }
        const LARGE_INTEGER read = Now();
        if (FAILED(hr)) failure = hr;
        if (round == 0) {
            UniqueBstr text;
            ribbon->GetCustomUI(ribbonId.Get(), text.Put());
            documentLength = text.Text().size();
            continue;
        }
        requests.push_back(Seconds(start, requested));
        bareReads.push_back(Seconds(requested, read));
    }

    std::vector<std::wstring> lines;
    if (FAILED(failure)) {
        lines.push_back(L"the ribbon request failed during the timing; no figures");
        return lines;
    }
    const double ratio = Median(requests) / Median(bareReads);
    wchar_t ratioText[32];
    std::swprintf(ratioText, 32, L"%.2f", ratio);
    lines.push_back(std::to_wstring(rounds) + L" rounds, document of " + std::to_wstring(documentLength) +
                    L" characters");
    lines.push_back(L"GetCustomUI:           median " + Microseconds(Median(requests)) + L", mean " +
                    Microseconds(Mean(requests)));
    lines.push_back(std::to_wstring(keys.size()) + L" bare registry reads: median " + Microseconds(Median(bareReads)) + L", mean " +
                    Microseconds(Mean(bareReads)));
    lines.push_back(L"ratio of the medians:  " + std::wstring(ratioText));
    return lines;
}

} // namespace cornice::host
