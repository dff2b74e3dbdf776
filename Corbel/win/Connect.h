// Connect: the one COM class of Corbel.dll, the object Excel creates, connects and asks for
// its ribbon. The class itself is private to Connect.cpp.
#pragma once

#include <windows.h>

namespace cornice {

// A new Connect object, answering `iid`; the class factory's only work.
HRESULT Connect_CreateInstance(REFIID iid, void** object) noexcept;

} // namespace cornice
