#include "framework/Application.hpp"

#include "framework/Window.hpp"

#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr UINT applicationCommand = 40001;
constexpr UINT windowCommand = 40002;

class TestApplication : public framework::Application {
public:
    TestApplication()
    {
        mapCommand(applicationCommand, &TestApplication::onApplicationCommand);
        mapCommand(windowCommand, &TestApplication::onWindowCommand);
    }

    bool InitInstance() override
    {
        ++initCalls;
        return startUpSucceeds;
    }
    int ExitInstance() override
    {
        ++exitCalls;
        return Application::ExitInstance();
    }

    void onApplicationCommand() { ++applicationCommands; }
    void onWindowCommand() { ++windowCommandsSeenByApplication; }

    bool startUpSucceeds = true;
    int initCalls = 0;
    int exitCalls = 0;
    int applicationCommands = 0;
    int windowCommandsSeenByApplication = 0;
};

// An invisible window like the program's tray window, with one command and one
// registered message of its own.
class TestWindow : public framework::Window {
public:
    TestWindow()
    {
        mapCommand(windowCommand, &TestWindow::onWindowCommand);
        mapMessage(registeredMessage(), &TestWindow::onRegisteredMessage);
    }

    bool create()
    {
        return CreateEx(0, registerWindowClass(0), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    }

    static UINT registeredMessage()
    {
        static const UINT message = RegisterWindowMessageW(L"framework test: registered");
        return message;
    }

    LRESULT sendCommand(UINT id, HWND control = nullptr)
    {
        return SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(id, 0),
                            reinterpret_cast<LPARAM>(control));
    }

    void onWindowCommand() { ++windowCommands; }
    LRESULT onRegisteredMessage(WPARAM wParam, LPARAM lParam)
    {
        return static_cast<LRESULT>(wParam + lParam);
    }
    void OnSettingChange(UINT flags, const wchar_t* section) override
    {
        settingChanges += std::to_wstring(flags) + L":" + (section ? section : L"-") + L";";
    }

    int windowCommands = 0;
    std::wstring settingChanges;
};

// Deletes itself when its window is destroyed, and says so.
class SelfDeletingWindow : public TestWindow {
public:
    explicit SelfDeletingWindow(bool& deleted)
        : deleted(deleted)
    {}
    ~SelfDeletingWindow() override { deleted = true; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    bool& deleted;
};

TEST(Application, IsTheCurrentApplicationWhileItLives)
{
    EXPECT_EQ(framework::Application::current(), nullptr);
    {
        TestApplication application;
        EXPECT_EQ(framework::Application::current(), &application);
        EXPECT_EQ(application.applicationName(), L"framework_tests");
    }
    EXPECT_EQ(framework::Application::current(), nullptr);
}

TEST(Window, RoutesCommandsToItselfFirstThenToTheApplication)
{
    TestApplication application;
    TestWindow window;
    ASSERT_TRUE(window.create());

    window.sendCommand(applicationCommand);
    window.sendCommand(windowCommand);
    EXPECT_EQ(application.applicationCommands, 1);
    EXPECT_EQ(window.windowCommands, 1);
    EXPECT_EQ(application.windowCommandsSeenByApplication, 0);

    // A control's notification stays with the control's window.
    window.sendCommand(applicationCommand, window.handle());
    EXPECT_EQ(application.applicationCommands, 1);
}

TEST(Window, DispatchesRegisteredMessagesAndSettingChanges)
{
    TestWindow window;
    ASSERT_TRUE(window.create());
    EXPECT_EQ(SendMessageW(window.handle(), TestWindow::registeredMessage(), 40, 2), 42);

    SendMessageW(window.handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    SendMessageW(window.handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(window.settingChanges, std::to_wstring(SPI_SETWORKAREA) + L":-;0:intl;");
}

TEST(Window, LetsGoOfItsWindowWhenDestroyed)
{
    TestWindow window;
    ASSERT_TRUE(window.create());
    const auto handle = window.handle();
    EXPECT_EQ(framework::Window::fromHandle(handle), &window);

    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.handle(), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(window.DestroyWindow());
}

TEST(Window, DestroysTheWindowItStillHoldsWhenDeleted)
{
    HWND handle = nullptr;
    {
        TestWindow window;
        ASSERT_TRUE(window.create());
        handle = window.handle();
    }
    EXPECT_FALSE(IsWindow(handle));
}

TEST(Window, DeletesItselfThroughPostNcDestroy)
{
    bool deleted = false;
    auto* window = new SelfDeletingWindow(deleted);
    ASSERT_TRUE(window->create());
    const auto handle = window->handle();

    DestroyWindow(handle);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(framework::Window::fromHandle(handle), nullptr);
}

TEST(Application, MessageLoopEndsWhenTheMainWindowIsClosed)
{
    TestApplication application;
    bool deleted = false;
    auto* window = new SelfDeletingWindow(deleted);
    ASSERT_TRUE(window->create());
    application.mainWindow = window;

    PostMessageW(window->handle(), WM_COMMAND, applicationCommand, 0);
    PostMessageW(window->handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(framework::runApplication(application), 0);

    EXPECT_EQ(application.initCalls, 1);
    EXPECT_EQ(application.exitCalls, 1);
    EXPECT_EQ(application.applicationCommands, 1);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(application.mainWindow, nullptr);
}

TEST(Application, FailedStartUpSkipsTheLoopAndDestroysTheMainWindow)
{
    TestApplication application;
    application.startUpSucceeds = false;
    bool deleted = false;
    auto* window = new SelfDeletingWindow(deleted);
    ASSERT_TRUE(window->create());
    application.mainWindow = window;
    // Would run if the loop ran.
    PostMessageW(window->handle(), WM_COMMAND, applicationCommand, 0);

    framework::runApplication(application);

    EXPECT_EQ(application.exitCalls, 1);
    EXPECT_EQ(application.applicationCommands, 0);
    EXPECT_TRUE(deleted);
    // The loop did not run: drop what it would have handled, the quit message too.
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(Application, ProfileMovesToTheRegistryWithTheRegistryKey)
{
    constexpr wchar_t key[] = L"Kelvo framework test";
    const std::wstring keyPath = std::wstring(L"Software\\") + key;
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());

    TestApplication application;
    application.writeProfileInt(L"General", L"Port", 8080);
    EXPECT_EQ(application.getProfileInt(L"General", L"Port", 1331), 8080);

    application.SetRegistryKey(key);
    EXPECT_EQ(application.getProfileInt(L"General", L"Port", 1331), 1331);
    application.writeProfileInt(L"General", L"Port", 2000);
    application.writeProfileString(L"General", L"Playlist", L"http://example/list.m3u");

    DWORD port = 0;
    DWORD size = sizeof(port);
    const auto section = keyPath + L"\\framework_tests\\General";
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, section.c_str(), L"Port", RRF_RT_REG_DWORD, nullptr,
                           &port, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(port, 2000u);
    EXPECT_EQ(application.getProfileString(L"General", L"Playlist", L""),
              L"http://example/list.m3u");
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());
}

} // namespace
