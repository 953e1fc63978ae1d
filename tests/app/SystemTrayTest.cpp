#include "app/SystemTray.hpp"

#include "UiDriver.hpp"
#include "common/Product.hpp"
#include "framework/Module.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "tests/app/UiTesting.hpp"

#include <cstddef>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace ui_testing;

// The program's own icon, from the resources linked into this test.
const HICON programIcon = LoadIconW(framework::resourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));

// The colour shown at a point of the screen, whichever program's window shows it.
COLORREF screenPixel(POINT point)
{
    using ScreenDc = platform::UniqueHandle<HDC, [](HDC dc) { ReleaseDC(nullptr, dc); }>;
    const ScreenDc screen(GetDC(nullptr));
    const platform::UniqueHandle<HDC, &DeleteDC> memory(CreateCompatibleDC(screen.get()));
    const platform::UniqueHandle<HBITMAP, &DeleteObject> pixel(
        CreateCompatibleBitmap(screen.get(), 1, 1));
    const auto previous = SelectObject(memory.get(), pixel.get());
    BitBlt(memory.get(), 0, 0, 1, 1, screen.get(), point.x, point.y, SRCCOPY);
    const auto colour = GetPixel(memory.get(), 0, 0);
    SelectObject(memory.get(), previous);
    return colour;
}

// Whether the window shows something other than the black empty screen near its lower
// right corner: inside any rounding, away from left-aligned text.
bool paintedNearCorner(HWND window)
{
    constexpr int inset = 12;
    RECT area{};
    GetWindowRect(window, &area);
    return screenPixel({area.right - inset, area.bottom - inset}) != RGB(0, 0, 0);
}

// A visible and painted top-level window of the class, or null.
HWND paintedWindowOf(const wchar_t* className)
{
    for (auto window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        if (IsWindowVisible(window) && paintedNearCorner(window)) {
            return window;
        }
    }
    return nullptr;
}

// A tray on the heap, as the program makes it, sending to a recorder. The tray deletes
// itself when its window goes, which the fixture makes sure of at the end.
class SystemTrayTest : public testing::Test {
protected:
    void TearDown() override
    {
        if (trayWindow != nullptr) {
            DestroyWindow(trayWindow);
        }
    }

    bool createIcon(const std::wstring& tooltip = L"tip") { return createIconIn(area, tooltip); }

    bool createIconIn(INotificationArea& notificationArea, const std::wstring& tooltip)
    {
        tray = new CSystemTray(notificationArea);
        const bool created = tray->createIcon(tooltip, programIcon);
        trayWindow = tray->handle();
        return created;
    }

    LRESULT iconMessage(WPARAM wParam, UINT mouseMessage)
    {
        return SendMessageW(trayWindow, CSystemTray::callbackMessage, wParam, mouseMessage);
    }

    RecordingNotificationArea area;
    CSystemTray* tray = nullptr;
    HWND trayWindow = nullptr;
};

TEST_F(SystemTrayTest, AddsTheIconWithItsRecord)
{
    ASSERT_TRUE(createIcon(L"Kelvo\nready"));
    ASSERT_NE(trayWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(trayWindow));

    ASSERT_EQ(area.calls.size(), 1u);
    const auto& [message, data] = area.calls.front();
    EXPECT_EQ(message, static_cast<DWORD>(NIM_ADD));
    // Up to and including dwInfoFlags: 936 bytes in a 32-bit program, 952 in a 64-bit one.
    EXPECT_EQ(data.cbSize, offsetof(NOTIFYICONDATAW, dwInfoFlags) + sizeof(DWORD));
    EXPECT_EQ(data.hWnd, trayWindow);
    EXPECT_EQ(data.uID, 129u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, 0x800Au);
    EXPECT_EQ(data.hIcon, programIcon);
    EXPECT_EQ(std::wstring(data.szTip), L"Kelvo\nready");
}

TEST_F(SystemTrayTest, TooltipKeepsWhatFitsAndIsSentOnlyWhileShown)
{
    ASSERT_TRUE(createIcon());
    const std::wstring longText(200, L'x');
    const struct {
        std::wstring text;
        std::wstring sent;
    } cases[] = {{longText, longText.substr(0, 127)}, {L"short", L"short"}, {L"", L""}};
    for (const auto& [text, sent] : cases) {
        area.calls.clear();
        tray->updateTooltip(text);
        ASSERT_EQ(area.calls.size(), 1u);
        EXPECT_EQ(area.calls[0].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(area.calls[0].data.uFlags, static_cast<UINT>(NIF_TIP));
        EXPECT_EQ(std::wstring(area.calls[0].data.szTip), sent);
    }
}

TEST_F(SystemTrayTest, RefusedIconTakesTooltipsWithoutSendingThem)
{
    area.accepts = false;
    EXPECT_FALSE(createIcon());
    area.calls.clear();
    tray->updateTooltip(L"stored");
    EXPECT_TRUE(area.calls.empty());
}

TEST_F(SystemTrayTest, BalloonIsCutSentOnceAndNotRepeatedByATooltip)
{
    ASSERT_TRUE(createIcon());
    area.calls.clear();
    const std::wstring text(300, L'b');
    EXPECT_TRUE(tray->showNotification(text, CSystemTray::warning));

    ASSERT_EQ(area.calls.size(), 1u);
    const auto& balloon = area.calls[0].data;
    EXPECT_EQ(area.calls[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(std::wstring(balloon.szInfo), text.substr(0, 255));
    EXPECT_EQ(std::wstring(balloon.szInfoTitle), productName);
    EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(balloon.uTimeout, 10000u);

    tray->updateTooltip(L"later");
    ASSERT_EQ(area.calls.size(), 2u);
    EXPECT_EQ(area.calls[1].data.uFlags, static_cast<UINT>(NIF_TIP));
    EXPECT_EQ(area.calls[1].data.szInfo[0], L'\0');
}

TEST_F(SystemTrayTest, CallbackForAnotherIconIsIgnored)
{
    ASSERT_TRUE(createIcon());
    CommandRecorder target;
    tray->setTargetWindow(&target);
    EXPECT_EQ(iconMessage(128, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(iconMessage(130, WM_RBUTTONUP), 0);
    EXPECT_EQ(iconMessage(129, WM_MOUSEMOVE), 1);
    EXPECT_TRUE(target.postedCommands().empty());
}

TEST_F(SystemTrayTest, DoubleClickPostsTheSettingsCommand)
{
    ASSERT_TRUE(createIcon());
    CommandRecorder target;
    tray->setTargetWindow(&target);
    EXPECT_EQ(iconMessage(129, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(target.postedCommands(), std::vector<UINT>{32772});
}

TEST_F(SystemTrayTest, NoTargetMeansNoCommand)
{
    ASSERT_TRUE(createIcon());
    EXPECT_EQ(iconMessage(129, WM_LBUTTONDBLCLK), 0);
}

TEST_F(SystemTrayTest, ShellRestartAddsAShownIconAgainWithItsLastTooltip)
{
    ASSERT_TRUE(createIcon());
    tray->updateTooltip(L"latest");
    area.calls.clear();
    SendMessageW(trayWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    auto adds = area.callsOf(NIM_ADD);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(adds[0].data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(std::wstring(adds[0].data.szTip), L"latest");

    area.calls.clear();
    SendMessageW(trayWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(area.callsOf(NIM_ADD).size(), 1u);
    SendMessageW(trayWindow, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    EXPECT_EQ(area.callsOf(NIM_ADD).size(), 1u);
}

TEST_F(SystemTrayTest, ShellRestartLeavesAnIconThatNeverShowed)
{
    area.accepts = false;
    ASSERT_FALSE(createIcon());
    area.calls.clear();
    SendMessageW(trayWindow, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    SendMessageW(trayWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(area.calls.empty());
}

TEST_F(SystemTrayTest, DestroyingTheWindowDeletesTheTrayAndRemovesTheIcon)
{
    ASSERT_TRUE(createIcon());
    area.calls.clear();
    DestroyWindow(std::exchange(trayWindow, nullptr));
    ASSERT_EQ(area.calls.size(), 1u);
    EXPECT_EQ(area.calls[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(area.calls[0].data.uID, 129u);
}

// The popup menu on the desktop: opened at the cursor with the settings item in bold,
// photographed for a person to look at, and closed with Escape without a command.
TEST_F(SystemTrayTest, RightClickOpensThePopupMenuAndEscapeClosesIt)
{
    ASSERT_TRUE(createIcon());
    CommandRecorder target;
    tray->setTargetWindow(&target);
    SetCursorPos(300, 200);

    struct Seen {
        int count = 0;
        UINT defaultPosition = 0;
        std::wstring texts;
        bool photographed = false;
    };
    auto watcher = std::async(std::launch::async, [] {
        Seen seen;
        HWND menuWindow = nullptr;
        ui::waitUntil([&] { return (menuWindow = paintedWindowOf(L"#32768")) != nullptr; });
        if (menuWindow == nullptr) {
            return seen;
        }
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        seen.count = GetMenuItemCount(menu);
        seen.defaultPosition = GetMenuDefaultItem(menu, TRUE, 0);
        for (int position = 0; position < seen.count; ++position) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
            seen.texts += std::wstring(text) + L"|";
        }
        seen.photographed = ui::saveScreenshot(menuWindow, L"screenshots\\tray-menu.bmp");
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        return seen;
    });

    EXPECT_EQ(iconMessage(129, WM_RBUTTONUP), 1);
    const auto seen = watcher.get();
    EXPECT_EQ(seen.count, 5);
    EXPECT_EQ(seen.defaultPosition, 0u);
    EXPECT_EQ(seen.texts, L"Настройки...||О программе||Выход|");
    EXPECT_TRUE(seen.photographed);
    EXPECT_TRUE(target.postedCommands().empty());
}

// The real notification area of Wine's shell: it takes the icon and shows the balloon,
// photographed for a person to look at.
TEST_F(SystemTrayTest, TheShellShowsTheIconAndTheBalloon)
{
    ASSERT_TRUE(createIconIn(shellNotificationArea(), std::wstring(productName)));
    EXPECT_TRUE(tray->showNotification(L"Сервер запущен", CSystemTray::information));
    // The balloon belongs to the shell's process; this thread keeps serving the icon's
    // window meanwhile.
    HWND balloon = nullptr;
    ASSERT_TRUE(
        pumpUntil([&] { return (balloon = paintedWindowOf(L"tooltips_class32")) != nullptr; }));
    EXPECT_TRUE(ui::saveScreenshot(balloon, L"screenshots\\tray-balloon.bmp"));
}

} // namespace
