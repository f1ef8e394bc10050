// The Win32 shell with its desktop-wide calls made replaceable: tests stand in a missing
// taskbar or a call that fails, and the program uses the real calls. The system menu belongs
// to the window alone and is always changed through the real calls.
#pragma once

#include "platform_shell.h"

#include <windows.h>

#include <functional>

namespace rez {

// Each member answers as the Win32 call it stands for.
struct DesktopCalls {
    // FindWindowW for the taskbar class "Shell_TrayWnd"; null when the desktop has none.
    std::function<HWND()> findTaskbar;
    // ShowWindow: nonzero when the window was visible before the call.
    std::function<BOOL(HWND, int)> showWindow;
    // SystemParametersInfoW with SPI_GETWORKAREA: nonzero on success.
    std::function<BOOL(RECT&)> getWorkArea;
    // SystemParametersInfoW with SPI_SETWORKAREA, broadcast but not stored in the user's
    // profile: nonzero on success.
    std::function<BOOL(const RECT&)> setWorkArea;
    // GetSystemMetrics with SM_CXSCREEN and SM_CYSCREEN, in pixels; 0 when it fails.
    std::function<SIZE()> screenSize;
};

DesktopCalls RealDesktopCalls();

std::unique_ptr<PlatformShell> MakeWin32Shell(DesktopCalls calls);

} // namespace rez
