// The Windows shell against real Win32 calls (the Windows build runs it under Wine), and with
// stand-ins for the desktop-wide calls: a missing taskbar and calls that fail.
#include "platform_shell_win32.h"

#include "param_name.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

using rez::AboutCommandId;

// A top-level window with a system menu, destroyed at the end of the test.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"RezShellTest";
        RegisterClassW(&windowClass); // fails harmlessly when a test before registered it
        handle_ = CreateWindowExW(0, windowClass.lpszClassName, L"shell test", WS_OVERLAPPEDWINDOW,
                                  0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~TestWindow() {
        if (handle_ != nullptr)
            DestroyWindow(handle_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

struct MenuItem {
    UINT type;
    UINT id;
    std::wstring text;
    bool operator==(const MenuItem&) const = default;
};

void PrintTo(const MenuItem& item, std::ostream* os) {
    *os << "type " << item.type << ", id " << item.id << ", " << testing::PrintToString(item.text);
}

// An item of `menu` read back by position or by command identifier.
MenuItem ReadItem(HMENU menu, UINT item, bool byPosition) {
    std::array<wchar_t, 64> text{};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (GetMenuItemInfoW(menu, item, byPosition ? TRUE : FALSE, &info) == FALSE)
        return {0, 0, L"(no such item)"};
    return {info.fType, info.wID, text.data()};
}

TEST(SystemMenu, SeparatorThenAboutEntryAtTheEnd) {
    TestWindow window;
    ASSERT_NE(window.handle(), nullptr);
    HMENU menu = GetSystemMenu(window.handle(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int before = GetMenuItemCount(menu);
    ASSERT_GT(before, 0);

    rez::MakePlatformShell()->appendAboutEntry(reinterpret_cast<std::uintptr_t>(window.handle()));

    ASSERT_EQ(GetMenuItemCount(menu), before + 2);
    const MenuItem about{MFT_STRING, AboutCommandId, L"О программе"};
    EXPECT_EQ(ReadItem(menu, static_cast<UINT>(before), true), (MenuItem{MFT_SEPARATOR, 0, L""}));
    EXPECT_EQ(ReadItem(menu, static_cast<UINT>(before + 1), true), about);
    // The command the window receives names the entry, not the separator.
    EXPECT_EQ(ReadItem(menu, AboutCommandId, false), about);
}

struct CommandCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    std::uintptr_t command; // what systemCommandOf answers
};
REZ_PRINT_CASE_BY_NAME(CommandCase)

class SystemCommandOf : public testing::TestWithParam<CommandCase> {};

// The message goes through the window's real message queue, as the program receives it.
TEST_P(SystemCommandOf, PostedMessage) {
    const CommandCase& c = GetParam();
    TestWindow window;
    ASSERT_NE(window.handle(), nullptr);
    ASSERT_NE(PostMessageW(window.handle(), c.message, c.wParam, 0), FALSE);
    MSG message{};
    ASSERT_NE(PeekMessageW(&message, window.handle(), c.message, c.message, PM_REMOVE), FALSE);
    EXPECT_EQ(rez::MakePlatformShell()->systemCommandOf(&message), c.command);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SystemCommandOf,
    testing::Values(CommandCase{"About", WM_SYSCOMMAND, AboutCommandId, AboutCommandId},
                    CommandCase{"Minimise", WM_SYSCOMMAND, SC_MINIMIZE, SC_MINIMIZE},
                    CommandCase{"MenuCommandWithTheSameNumber", WM_COMMAND, AboutCommandId, 0},
                    CommandCase{"Key", WM_KEYDOWN, VK_F1, 0}),
    rez::test::ByName());

using Corners = std::array<LONG, 4>;

Corners CornersOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Corners WorkArea() {
    RECT area{};
    EXPECT_NE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0), FALSE);
    return CornersOf(area);
}

bool SetWorkArea(RECT area) {
    return SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, SPIF_SENDCHANGE) != FALSE;
}

// Sets the desktop's real work area: registered with a lock, so no other such test overlaps.
TEST(WorkArea, WholeScreenWhileRunningPutBackExactlyAtClose) {
    RECT original{};
    ASSERT_NE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &original, 0), FALSE);
    // Given back however the test ends, so a failure here leaves the next tests a clean desktop.
    const std::unique_ptr<RECT, void (*)(RECT*)> putBack(&original,
                                                         [](RECT* area) { SetWorkArea(*area); });
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    const RECT smaller{10, 20, width - 30, height - 40};
    ASSERT_TRUE(SetWorkArea(smaller));
    ASSERT_EQ(WorkArea(), CornersOf(smaller));

    const auto shell = rez::MakePlatformShell();
    shell->setFullScreenWorkArea();
    EXPECT_EQ(WorkArea(), (Corners{0, 0, width, height}));
    shell->restoreWorkArea();
    EXPECT_EQ(WorkArea(), CornersOf(smaller));

    // Closing twice: the second close leaves a work area set since then alone.
    const RECT later{0, 0, width - 100, height};
    ASSERT_TRUE(SetWorkArea(later));
    shell->restoreWorkArea();
    EXPECT_EQ(WorkArea(), CornersOf(later));
}

// Stand-ins for the desktop-wide calls: they log every call that changes the desktop and
// fail where the case says.
struct DesktopCase {
    const char* name;
    bool hasTaskbar;
    bool taskbarVisible;
    bool workAreaReadable;
    bool workAreaSettable;
    LONG screenWidth;
    std::vector<std::string> log; // after start-up and two closes
};
REZ_PRINT_CASE_BY_NAME(DesktopCase)

class StartAndClose : public testing::TestWithParam<DesktopCase> {};

TEST_P(StartAndClose, ClosingGivesBackOnlyWhatStartUpChanged) {
    const DesktopCase& c = GetParam();
    std::vector<std::string> log;
    HWND taskbar = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    rez::DesktopCalls calls{
        .findTaskbar = [&] { return c.hasTaskbar ? taskbar : HWND{}; },
        .showWindow =
            [&](HWND window, int command) {
                EXPECT_EQ(window, taskbar);
                log.push_back(command == SW_HIDE ? "hide" : "show");
                return c.taskbarVisible ? TRUE : FALSE;
            },
        .getWorkArea =
            [&](RECT& area) {
                area = RECT{0, 0, 1280, 984};
                return c.workAreaReadable ? TRUE : FALSE;
            },
        .setWorkArea =
            [&](const RECT& area) {
                log.push_back("set " + std::to_string(area.right) + "x" +
                              std::to_string(area.bottom));
                return c.workAreaSettable ? TRUE : FALSE;
            },
        .screenSize =
            [&] {
                return SIZE{c.screenWidth, 1024};
            },
    };
    const auto shell = rez::MakeWin32Shell(std::move(calls));
    // Start-up and close as the main window makes them.
    if (shell->hideTaskbar())
        shell->setFullScreenWorkArea();
    for (int close = 0; close < 2; ++close) {
        shell->showTaskbar();
        shell->restoreWorkArea();
    }
    EXPECT_EQ(log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, StartAndClose,
    testing::Values(
        DesktopCase{"Working",
                    true,
                    true,
                    true,
                    true,
                    1280,
                    {"hide", "set 1280x1024", "show", "set 1280x984"}},
        DesktopCase{"NoTaskbar", false, true, true, true, 1280, {}},
        DesktopCase{"TaskbarHiddenBefore",
                    true,
                    false,
                    true,
                    true,
                    1280,
                    {"hide", "set 1280x1024", "set 1280x984"}},
        DesktopCase{"WorkAreaUnreadable", true, true, false, true, 1280, {"hide", "show"}},
        DesktopCase{
            "WorkAreaNotSet", true, true, true, false, 1280, {"hide", "set 1280x1024", "show"}},
        DesktopCase{"NoScreenSize", true, true, true, true, 0, {"hide", "show"}}),
    rez::test::ByName());

} // namespace
