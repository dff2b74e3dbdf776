// The Windows side of a designed window (WindowDesign.h): everything both programs' windows do
// alike, done once from the design table. A window derives from it and keeps only its commands
// and its own messages.
#pragma once

#include "Skin.h"
#include "WindowActions.h"
#include "WinHandles.h"
#include "WindowDesign.h"
#include "WindowDpi.h"

#include <string>
#include <vector>

namespace cornice {

class WindowBase : protected SkinnableWindow, public virtual WindowActions {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Window() const noexcept { return window_; }
    // Dialog keys (Tab, arrows, Enter, Esc) for a window that is no dialog box, and with a tab
    // control Ctrl+Tab, Ctrl+PageDown and Ctrl+PageUp to change pages; true when handled.
    bool DialogKey(MSG& message);

    // Registers the window's class and its page class afresh. Windows keeps a DLL's classes when
    // the DLL is unloaded; a class left by an earlier load at this same address would point into
    // code that is gone, so an old registration goes first.
    static void RegisterClasses(const WindowDesign& design, HINSTANCE instance);

protected:
    WindowBase(const WindowDesign& design, HINSTANCE instance) : design_(design), instance_(instance) {}
    ~WindowBase() override = default;

    // Creates the window at (x, y) (its size follows from the design at its DPI) with all its
    // controls; null when Windows could not, with GetLastError telling why.
    HWND CreateDesigned(int x, int y, int width, int height);

    // The window's own messages (WM_NCCREATE included), before the design's handling; true when
    // handled, with `result`.
    virtual bool OwnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    // WM_COMMAND of the window and its pages.
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    // The pointer for the control (or the window or page) under it.
    virtual HCURSOR PointerOver(HWND /*under*/) { return ::LoadCursorW(nullptr, IDC_ARROW); }
    // After the controls exist and are placed, at creation.
    virtual void Created() {}
    // After fonts and places followed a new DPI (and at creation).
    virtual void LaidOut() {}
    // From WM_NCDESTROY: whatever the window kept of its controls goes.
    virtual void Destroyed() noexcept {}
    // The very last a window procedure does for the window, after Windows let it go.
    virtual void Released() noexcept {}
    // The text a control shows: the design's, or the same in the user's language. A text other
    // than the design's gets the room it needs (Layout).
    virtual std::wstring ControlText(const ControlDesign& design) { return design.text ? design.text : L""; }

    HWND Control(int id) const;
    int Dpi() const noexcept { return dpi_; }
    HINSTANCE Instance() const noexcept { return instance_; }
    void CentreOn(const RECT& area);
    // A designed font with its underline switched on or off (a link's hover).
    void ShowUnderline(int id, bool underline);
    // Near a line or the outline of a rectangle of `container` (within 15 twips).
    bool OnDrawing(HWND container, POINT screenPoint) const;
    HCURSOR CustomPointer() const noexcept { return customPointer_.Get(); }

    // ---- WindowActions ---------------------------------------------------------------------
    std::wstring ProgramFolder() override;
    bool FileExists(const std::wstring& path) override;
    void SetCaption(const std::wstring& caption) override { ::SetWindowTextW(window_, caption.c_str()); }
    void ApplySkin() override { cornice::ApplySkin(*this, design_.skinFile); }
    void LoadCustomPointer(const std::wstring& path) override;

    // ---- SkinnableWindow -------------------------------------------------------------------
    HWND Handle() const override { return window_; }
    void SetBackColor(OleColor color) override;
    int ControlCount() const override { return static_cast<int>(controls_.size()); }
    ControlKind KindOfControl(int index) const override { return controls_.at(index).design->kind; }
    void SetControlBackColor(int index, OleColor color) override;
    IDispatch* SkinComponent() const override { return skinComponent_.Get(); }

private:
    // One entry of the table as it stands now: the skin may have recoloured it.
    struct Entry {
        const ControlDesign* design;
        HWND window;
        OleColor backColor;
        bool underlined;
        UniqueHfont font;
        std::wstring text;
        PixelRect placed; // where it lies now, in pixels: as designed, or grown for its text
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Message(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DesignMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Layout();
    void GiveRoomToText(Entry& control);
    int RightmostEdge(const Entry& control) const;
    int TopmostEdge(const Entry& control) const;
    PixelRect ShapeRect(const Entry& shape) const;
    void ResizeForDpi(const RECT* suggested);
    void Paint(HWND container);
    const Entry* Find(HWND window) const;
    OleColor BackColorOf(HWND container) const;
    LRESULT ControlColor(HDC dc, HWND control);
    HWND ContainerWindow(int container) const;
    int ContainerId(HWND window) const;
    bool IsKeyForWindow(const MSG& message) const;
    const Entry* TabControl() const;
    void SelectPage(int page);
    std::vector<HWND> Pages() const;
    void ShowSelectedPage();
    void OnActivate(WPARAM wParam);

    const WindowDesign& design_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    OleColor backColor_;
    std::vector<Entry> controls_;
    ComPtr<IDispatch> skinComponent_;
    HWND lastFocus_ = nullptr;
    UniqueHcursor customPointer_;
    SolidBrushes brushes_;
};

} // namespace cornice
