// The shell on Windows: the About entry in the window's system menu, the hidden taskbar and
// the full-screen work area, restored at close. Built only on Windows and free of Qt, so it
// can be compile-checked with mingw-w64 on any machine.
#include "platform_shell.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace rez {
namespace {

// Appended at the end of a menu: no item has this position or identifier.
constexpr UINT MenuEnd = 0xFFFF;

HWND FindTaskbar() {
    return FindWindowA("Shell_TrayWnd", nullptr);
}

class Win32Shell final : public PlatformShell {
public:
    void appendAboutEntry(std::uintptr_t window) override {
        HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window), FALSE);
        if (menu == nullptr)
            return;
        InsertMenuA(menu, MenuEnd, MF_SEPARATOR, AboutCommandId, "");
        // The wide-character call, so the Cyrillic text reads right whatever the system's
        // ANSI code page is.
        InsertMenuW(menu, MenuEnd, MF_BYPOSITION, AboutCommandId, L"О программе");
    }

    bool hideTaskbar() override {
        HWND taskbar = FindTaskbar();
        if (taskbar == nullptr)
            return false;
        ShowWindow(taskbar, SW_HIDE);
        return true;
    }

    void setFullScreenWorkArea() override {
        RECT current{};
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &current, 0) != FALSE) {
            startupWorkArea_ = current;
            haveStartupWorkArea_ = true;
        }
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        // Broadcast to all windows, but not stored in the user's profile.
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &screen, SPIF_SENDCHANGE);
    }

    void showTaskbar() override {
        HWND taskbar = FindTaskbar();
        if (taskbar != nullptr)
            ShowWindow(taskbar, SW_SHOWNORMAL);
    }

    void restoreWorkArea() override {
        if (!haveStartupWorkArea_)
            return;
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &startupWorkArea_, SPIF_SENDCHANGE);
        haveStartupWorkArea_ = false;
    }

    std::uintptr_t systemCommandOf(const void* nativeMessage) const override {
        const MSG* message = static_cast<const MSG*>(nativeMessage);
        if (message == nullptr || message->message != WM_SYSCOMMAND)
            return 0;
        return static_cast<std::uintptr_t>(message->wParam);
    }

private:
    RECT startupWorkArea_{};
    bool haveStartupWorkArea_ = false;
};

} // namespace

std::unique_ptr<PlatformShell> MakePlatformShell() {
    return std::make_unique<Win32Shell>();
}

} // namespace rez
