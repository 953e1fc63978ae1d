#include "framework/Application.hpp"

#include "framework/Module.hpp"
#include "framework/RegistryProfile.hpp"
#include "framework/Window.hpp"
#include "settings/MemoryProfile.hpp"

namespace framework {

namespace {

Application* currentApplication = nullptr;

} // namespace

Application::Application()
    : profile(std::make_unique<MemoryProfile>())
{
    currentApplication = this;
}

Application::~Application()
{
    if (currentApplication == this) {
        currentApplication = nullptr;
    }
}

Application* Application::current()
{
    return currentApplication;
}

bool Application::InitInstance()
{
    return true;
}

int Application::ExitInstance()
{
    return exitCode;
}

int Application::run()
{
    if (mainWindow == nullptr) {
        return exitCode;
    }
    MSG message{};
    BOOL result = 0;
    while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // GetMessageW fails only for a bad window handle, which is never passed here.
    exitCode = result == 0 ? static_cast<int>(message.wParam) : -1;
    return exitCode;
}

void Application::SetRegistryKey(std::wstring_view key)
{
    profile = std::make_unique<RegistryProfile>(std::wstring(key), applicationName());
}

std::wstring Application::getProfileString(std::wstring_view section, std::wstring_view entry,
                                           std::wstring_view defaultValue) const
{
    return profile->getProfileString(section, entry, defaultValue);
}

int Application::getProfileInt(std::wstring_view section, std::wstring_view entry,
                               int defaultValue) const
{
    return profile->getProfileInt(section, entry, defaultValue);
}

void Application::writeProfileString(std::wstring_view section, std::wstring_view entry,
                                     std::wstring_view value)
{
    profile->writeProfileString(section, entry, value);
}

void Application::writeProfileInt(std::wstring_view section, std::wstring_view entry, int value)
{
    profile->writeProfileInt(section, entry, value);
}

std::wstring Application::applicationName() const
{
    return framework::applicationName();
}

HINSTANCE Application::resourceHandle() const
{
    return framework::resourceHandle();
}

int runApplication(Application& application)
{
    if (application.InitInstance()) {
        application.run();
    } else if (application.mainWindow != nullptr) {
        // A start-up that gave up after choosing its main window leaves no window behind.
        application.mainWindow->DestroyWindow();
    }
    return application.ExitInstance();
}

} // namespace framework
