// corbel-ribbon: prints the ribbon document that the add-in would hand Excel for the given
// settings, so that a change to the menus or toolbars can be reviewed as a diff.
#include "ControlCheck.h"
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitBadSetting = 3;
constexpr int kExitFailure = 1;

constexpr const char* kUsage =
    "usage: corbel-ribbon [--host NAME] [--language N] [--release VERSION] [--set KEY=VALUE]...\n"
    "       corbel-ribbon --check-controls [FOLDER]\n"
    "Prints the add-in's ribbon document (UTF-8, no trailing newline) for a settings store that\n"
    "holds exactly the given values; keys ignore case, as in the registry. The host name is\n"
    "\"Microsoft Excel\" unless given. --language: Excel's UI language id (1031 German ...); the\n"
    "tab's own labels then come from the product's tables, as for an Excel that gives no words.\n"
    "--release: Excel's Version, and its Build after a point (\"15.0\", \"16.0.4266\"), for the\n"
    "places that the tips of --set Tips=1 name (Microsoft 365's unless given).\n"
    "Exit 0: printed (nothing for an empty document);\n"
    "2: bad arguments; 3: a setting that is not a number.\n"
    "--check-controls prints, for each release's list of Excel's controls in FOLDER\n"
    "(excel*-idmso.txt; tests/data/office of the source tree unless given), the idMso of the\n"
    "documents that the release does not know and so skips. Exit 1 when no list can be read.\n";

class FixedHost final : public cornice::Host {
public:
    FixedHost(std::wstring name, int language, std::wstring version, long build)
        : name_(std::move(name)), language_(language), version_(std::move(version)), build_(build)
    {
    }
    std::wstring Name() override { return name_; }
    int UiLanguage() override { return language_; }
    std::wstring Version() override { return version_; }
    long Build() override { return build_; }

private:
    std::wstring name_;
    int language_;
    std::wstring version_;
    long build_;
};

int BadArguments(const std::string& why)
{
    std::fprintf(stderr, "corbel-ribbon: %s\n%s", why.c_str(), kUsage);
    return kExitBadArguments;
}

int CheckControls(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> lists;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("excel", 0) == 0 && name.size() > 10 && name.substr(name.size() - 10) == "-idmso.txt")
            lists.push_back(entry.path());
    }
    if (lists.empty()) {
        std::fprintf(stderr, "corbel-ribbon: no excel*-idmso.txt in %s\n", folder.string().c_str());
        return kExitFailure;
    }
    std::sort(lists.begin(), lists.end());

    const std::set<std::wstring> used = cornice::IdMsoOfEveryDocument();
    for (const auto& path : lists) {
        std::ifstream file(path);
        const std::set<std::wstring> known = cornice::ReadControlList(file);
        if (known.empty()) {
            std::fprintf(stderr, "corbel-ribbon: cannot read %s\n", path.string().c_str());
            return kExitFailure;
        }
        std::string skipped;
        for (const std::wstring& name : used)
            if (!known.count(name)) (skipped += ' ') += cornice::ToUtf8(name);
        std::printf("%s: %zu of %zu names known; skipped:%s\n", path.filename().string().c_str(),
                    used.size() - std::count(skipped.begin(), skipped.end(), ' '), used.size(),
                    skipped.empty() ? " none" : skipped.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    cornice::InMemorySettingsStore store;
    std::wstring hostName = L"Microsoft Excel";
    int language = 1033;
    std::wstring version;
    long build = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option == "--check-controls") {
            if (argc > i + 2) return BadArguments("--check-controls takes at most a folder");
            return CheckControls(i + 1 < argc ? argv[i + 1] : CORNICE_CONTROL_LISTS);
        }
        if (option != "--host" && option != "--set" && option != "--language" && option != "--release")
            return BadArguments("unknown argument " + option);
        if (i + 1 == argc) return BadArguments(option + " needs a value");
        const std::optional<std::wstring> value = cornice::FromUtf8(argv[++i]);
        if (!value) return BadArguments(option + " value is not UTF-8");
        if (option == "--host") {
            hostName = *value;
            continue;
        }
        if (option == "--release") {
            // "16.0.4266": the version is up to the second point, the build after it.
            const std::size_t point = value->find(L'.', value->find(L'.') + 1);
            version = value->substr(0, point);
            if (point != std::wstring::npos) build = std::wcstol(value->c_str() + point + 1, nullptr, 10);
            continue;
        }
        if (option == "--language") {
            char* end = nullptr;
            const long id = std::strtol(argv[i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || id <= 0 || id > 0xFFFF)
                return BadArguments("--language wants a language id from 1 to 65535, not " + std::string(argv[i]));
            language = static_cast<int>(id);
            continue;
        }
        const std::size_t equals = value->find(L'=');
        if (equals == std::wstring::npos || equals == 0)
            return BadArguments("--set wants KEY=VALUE, got " + std::string(argv[i]));
        store.SaveSetting(cornice::kSettingsApplication, cornice::kSettingsSection,
                          value->substr(0, equals), value->substr(equals + 1));
    }

    try {
        FixedHost host(hostName, language, version, build);
        cornice::RibbonBuilder builder(store, host);
        const std::string document = cornice::ToUtf8(builder.GetRibbonXML());
        if (std::fwrite(document.data(), 1, document.size(), stdout) != document.size() ||
            std::fflush(stdout) != 0) {
            std::fprintf(stderr, "corbel-ribbon: cannot write the document: %s\n", std::strerror(errno));
            return kExitFailure;
        }
        return 0;
    } catch (const cornice::SettingValueError& error) {
        std::fprintf(stderr, "corbel-ribbon: %s\n", error.what());
        return kExitBadSetting;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corbel-ribbon: %s\n", error.what());
        return kExitFailure;
    }
}
