// The platform's part of start-up and close: the About entry of the window's system menu,
// the taskbar and the desktop work area. Includes no Qt header, so the Windows implementation
// can be compile-checked without Qt; the window arrives as its native handle value.
#pragma once

#include <cstdint>
#include <memory>

namespace rez {

// Command identifier of the About entry ("О программе") in the window's system menu.
inline constexpr std::uintptr_t AboutCommandId = 1025;

class PlatformShell {
public:
    virtual ~PlatformShell() = default;

    // Appends a separator and the About entry (AboutCommandId) to the system menu of
    // `window`, a native window handle.
    virtual void appendAboutEntry(std::uintptr_t window) = 0;
    // Hides the taskbar. False when the desktop has none; then nothing changed.
    virtual bool hideTaskbar() = 0;
    // Makes the desktop work area the whole screen, first noting the work area in force so
    // that restoreWorkArea can put it back. Leaves it unchanged when that cannot be noted.
    virtual void setFullScreenWorkArea() = 0;
    // Shows the taskbar in its normal state if hideTaskbar hid it; once.
    virtual void showTaskbar() = 0;
    // Puts back the work area noted by setFullScreenWorkArea, once; nothing if it never
    // changed the work area.
    virtual void restoreWorkArea() = 0;
    // The command identifier carried by a native system-menu command message, or 0 for any
    // other message. `nativeMessage` is the platform's message structure.
    virtual std::uintptr_t systemCommandOf(const void* nativeMessage) const = 0;
};

// The shell of the platform the program is built for: Win32 calls on Windows; elsewhere a
// shell that touches nothing global and whose system menu the program cannot reach.
std::unique_ptr<PlatformShell> MakePlatformShell();

} // namespace rez
