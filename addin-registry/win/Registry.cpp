#include "Registry.h"

namespace cornice {
namespace {

class WindowsRegistry final : public Registry {
public:
    LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) override
    {
        return ::RegOpenKeyExW(root, path.c_str(), 0, access, key.Put());
    }
    LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) override
    {
        return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key.Put(),
                                 nullptr);
    }
    LSTATUS DeleteTree(HKEY root, const std::wstring& path) override { return ::RegDeleteTreeW(root, path.c_str()); }
};

} // namespace

Registry& SystemRegistry()
{
    static WindowsRegistry registry;
    return registry;
}

} // namespace cornice
