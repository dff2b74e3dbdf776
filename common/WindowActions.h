// What the opening steps of both windows ask of the window they open. WindowBase answers
// all of it from the window's design but the two labels, whose ids are the window's own.
#pragma once

#include <string>

namespace cornice {

// The optional file next to the program that holds the hand pointer both windows show over what
// can be clicked.
inline constexpr const wchar_t* kHandPointerFile = L"\\HAND-M.CUR";

// Any of them may throw; the opening step that called reports it.
class WindowActions {
public:
    virtual ~WindowActions() = default;
    virtual std::wstring ProgramFolder() = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    // The look of the window's style file next to the program, when that file is there.
    virtual void ApplySkin() = 0;
    virtual void SetTitleLabel(const std::wstring& text) = 0;
    virtual void SetVersionLabel(const std::wstring& text) = 0;
    // Makes the cursor file the window's custom pointer; throws when it cannot be loaded.
    virtual void LoadCustomPointer(const std::wstring& path) = 0;
};

} // namespace cornice
