// The shell on platforms other than Windows: applications cannot reach the window manager's
// menu, taskbar or work area, so nothing global is touched and the window simply opens
// maximised. The About command is offered by the main window itself instead.
#include "platform_shell.h"

namespace rez {
namespace {

class PortableShell final : public PlatformShell {
public:
    void appendAboutEntry(std::uintptr_t) override {}
    bool hideTaskbar() override { return false; }
    void setFullScreenWorkArea() override {}
    void showTaskbar() override {}
    void restoreWorkArea() override {}
    std::uintptr_t systemCommandOf(const void*) const override { return 0; }
};

} // namespace

std::unique_ptr<PlatformShell> MakePlatformShell() {
    return std::make_unique<PortableShell>();
}

} // namespace rez
