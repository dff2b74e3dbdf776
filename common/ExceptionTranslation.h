// What the exception in flight means at a boundary: the HRESULT for a COM caller and the words
// for a person. One translation for Corbel.dll's COM methods, its window procedures and
// Trellis.exe's numbered procedures, so that a failure reads the same wherever it surfaces.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace cornice {

// A failed Windows call carried as an exception inside our own code; converted back to its
// HRESULT (a long, as Windows declares it) at the COM or window boundary.
class WindowsError : public std::runtime_error {
public:
    WindowsError(long code, const std::string& what) : std::runtime_error(what), code_(code) {}
    long Code() const noexcept { return code_; }

private:
    long code_;
};

struct CaughtException {
    long code;                        // HRESULT
    std::optional<std::wstring> text; // none for an exception that has no words of its own
};

// How much to say. Our own exceptions carry UTF-8; a what() that is not is shown as far as it
// is ASCII (the rest as '?'), or byte by byte as Latin-1.
enum class Wording { CodeOnly, ForeignAsAscii, ForeignAsLatin1 };

// For use inside a catch block:
//   SettingValueError   DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, its Describe() text
//   WindowsError        its code, its what()
//   std::bad_alloc      E_OUTOFMEMORY, "Out of memory."
//   std::exception      E_FAIL, its what()
//   anything else       E_FAIL, no text
// CodeOnly builds no text and cannot throw; the others throw std::bad_alloc when the text
// cannot be built.
CaughtException TranslateCaughtException(Wording wording);

} // namespace cornice
