// corbel-ribbon: prints the ribbon document that the add-in would hand Excel for the given
// settings, so that a change to the menus or toolbars can be reviewed as a diff.
#include "InMemorySettingsStore.h"
#include "NumberConversion.h"
#include "RibbonBuilder.h"
#include "SettingKeys.h"
#include "Utf8.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitBadSetting = 3;
constexpr int kExitFailure = 1;

constexpr const char* kUsage =
    "usage: corbel-ribbon [--host NAME] [--set KEY=VALUE]...\n"
    "Prints the add-in's ribbon document (UTF-8, no trailing newline) for a settings store that\n"
    "holds exactly the given values; keys ignore case, as in the registry. The host name is\n"
    "\"Microsoft Excel\" unless given. Exit 0: printed (nothing for an empty document);\n"
    "2: bad arguments; 3: a setting that is not a number.\n";

class FixedHost final : public cornice::Host {
public:
    explicit FixedHost(std::wstring name) : name_(std::move(name)) {}
    std::wstring Name() override { return name_; }

private:
    std::wstring name_;
};

int BadArguments(const std::string& why)
{
    std::fprintf(stderr, "corbel-ribbon: %s\n%s", why.c_str(), kUsage);
    return kExitBadArguments;
}

} // namespace

int main(int argc, char** argv)
{
    cornice::InMemorySettingsStore store;
    std::wstring hostName = L"Microsoft Excel";

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option != "--host" && option != "--set") return BadArguments("unknown argument " + option);
        if (i + 1 == argc) return BadArguments(option + " needs a value");
        const std::optional<std::wstring> value = cornice::FromUtf8(argv[++i]);
        if (!value) return BadArguments(option + " value is not UTF-8");
        if (option == "--host") {
            hostName = *value;
            continue;
        }
        const std::size_t equals = value->find(L'=');
        if (equals == std::wstring::npos || equals == 0)
            return BadArguments("--set wants KEY=VALUE, got " + std::string(argv[i]));
        store.SaveSetting(cornice::kSettingsApplication, cornice::kSettingsSection,
                          value->substr(0, equals), value->substr(equals + 1));
    }

    try {
        FixedHost host(hostName);
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
