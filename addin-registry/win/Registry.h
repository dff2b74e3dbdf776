// The registry as registration and the disabled-add-in repair use it: keys opened, created and
// deleted through one interface, values read and written on the handles it gives. Windows
// enforces a key's permissions when it is opened, so a test can stand in for a locked-down
// profile by refusing chosen openings (Wine enforces no registry permissions at all, but it
// does hold a handle to the access it was opened with).
#pragma once

#include "WinHandles.h"

#include <string>

namespace cornice {

class Registry {
public:
    virtual ~Registry() = default;
    // RegOpenKeyExW and RegCreateKeyExW (non-volatile, no class); `key` is empty after a failure.
    virtual LSTATUS Open(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) = 0;
    virtual LSTATUS Create(HKEY root, const std::wstring& path, REGSAM access, UniqueHkey& key) = 0;
    // RegDeleteTreeW on root\path, the key itself included.
    virtual LSTATUS DeleteTree(HKEY root, const std::wstring& path) = 0;
};

// The system's registry, as the current user sees it.
Registry& SystemRegistry();

// Access that changes a key or what is below it.
inline constexpr REGSAM kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE | WRITE_DAC | WRITE_OWNER;

} // namespace cornice
