// The shell on Windows: the About entry in the window's system menu, the hidden taskbar and
// the full-screen work area, both given back at close. Free of Qt, so the Windows build of
// the Qt-free layers tests it under Wine.
//
// A Win32 call that fails never stops start-up: the step it belongs to is left out, and
// close gives back only what start-up really changed.
#include "platform_shell_win32.h"

namespace rez {
namespace {

class Win32Shell final : public PlatformShell {
public:
    explicit Win32Shell(DesktopCalls calls)
        : calls_(std::move(calls)) {}

    void appendAboutEntry(std::uintptr_t window) override {
        HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window), FALSE);
        if (menu == nullptr)
            return; // no such window, or one without a system menu
        // The separator carries no command identifier: with the About command's, a lookup of
        // that command would find the separator instead of the entry.
        const bool separated = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) != FALSE;
        if (AppendMenuW(menu, MF_STRING, AboutCommandId, L"О программе") == FALSE && separated) {
            // No entry to separate: take the separator away again. Should that fail too, a
            // separator at the end of the menu is all that is left; start-up goes on.
            const int count = GetMenuItemCount(menu);
            if (count > 0) {
                [[maybe_unused]] const BOOL removed =
                    DeleteMenu(menu, static_cast<UINT>(count - 1), MF_BYPOSITION);
            }
        }
    }

    bool hideTaskbar() override {
        HWND taskbar = calls_.findTaskbar();
        if (taskbar == nullptr)
            return false;
        // Only a taskbar that was visible is shown again at close: one hidden before start-up
        // (say by another running copy of the program) stays as it was.
        taskbarHidden_ = calls_.showWindow(taskbar, SW_HIDE) != FALSE;
        return true;
    }

    void setFullScreenWorkArea() override {
        RECT before{};
        // A work area that cannot be read could not be put back, so it is not changed.
        if (calls_.getWorkArea(before) == FALSE)
            return;
        const SIZE screen = calls_.screenSize();
        if (screen.cx <= 0 || screen.cy <= 0)
            return;
        if (calls_.setWorkArea(RECT{0, 0, screen.cx, screen.cy}) == FALSE)
            return;
        startupWorkArea_ = before;
        workAreaChanged_ = true;
    }

    void showTaskbar() override {
        if (!taskbarHidden_)
            return;
        taskbarHidden_ = false;
        // Looked up again: the shell may have been restarted while the program ran.
        if (HWND taskbar = calls_.findTaskbar(); taskbar != nullptr)
            calls_.showWindow(taskbar, SW_SHOWNORMAL); // answers the old visibility, no failure
    }

    void restoreWorkArea() override {
        if (!workAreaChanged_)
            return;
        workAreaChanged_ = false;
        // At close nothing else can be tried when this fails.
        [[maybe_unused]] const BOOL restored = calls_.setWorkArea(startupWorkArea_);
    }

    std::uintptr_t systemCommandOf(const void* nativeMessage) const override {
        const MSG* message = static_cast<const MSG*>(nativeMessage);
        if (message == nullptr || message->message != WM_SYSCOMMAND)
            return 0;
        // Not masked with 0xFFF0: that holds for the system's own SC_ commands, while the
        // About entry's identifier 1025 uses the low bits.
        return static_cast<std::uintptr_t>(message->wParam);
    }

private:
    DesktopCalls calls_;
    bool taskbarHidden_ = false;
    RECT startupWorkArea_{};
    bool workAreaChanged_ = false;
};

} // namespace

DesktopCalls RealDesktopCalls() {
    return DesktopCalls{
        .findTaskbar = [] { return FindWindowW(L"Shell_TrayWnd", nullptr); },
        .showWindow = [](HWND window, int command) { return ShowWindow(window, command); },
        .getWorkArea =
            [](RECT& area) { return SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0); },
        .setWorkArea =
            [](const RECT& area) {
                RECT copy = area;
                return SystemParametersInfoW(SPI_SETWORKAREA, 0, &copy, SPIF_SENDCHANGE);
            },
        .screenSize =
            [] {
                return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            },
    };
}

std::unique_ptr<PlatformShell> MakeWin32Shell(DesktopCalls calls) {
    return std::make_unique<Win32Shell>(std::move(calls));
}

std::unique_ptr<PlatformShell> MakePlatformShell() {
    return MakeWin32Shell(RealDesktopCalls());
}

} // namespace rez
