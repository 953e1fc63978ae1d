#pragma once

#include "framework/CommandTarget.hpp"
#include "settings/IProfile.hpp"

#include <memory>
#include <string>

#include <windows.h>

namespace framework {

class Window;

// The program's one application object: start-up and shut-down around the message
// loop, the main window whose destruction ends the loop, the commands that reach it
// through its command map, and the application profile.
//
// The profile lives in memory until SetRegistryKey moves it to the registry.
class Application : public CommandTarget, public IProfile {
public:
    Application();
    ~Application() override;

    // The application object now alive, or null.
    static Application* current();

    // Start-up; false ends the program (after ExitInstance) without running the loop.
    virtual bool InitInstance();
    // Shut-down; returns the program's exit code, by default the message loop's.
    virtual int ExitInstance();

    // Runs the message loop until the quit message and returns its exit code. Without
    // a main window nothing could end the loop, so it then returns at once.
    int run();

    // From now on the profile is the registry under
    // HKEY_CURRENT_USER\Software\<key>\<application name>.
    void SetRegistryKey(std::wstring_view key);

    std::wstring getProfileString(std::wstring_view section, std::wstring_view entry,
                                  std::wstring_view defaultValue) const override;
    int getProfileInt(std::wstring_view section, std::wstring_view entry,
                      int defaultValue) const override;
    void writeProfileString(std::wstring_view section, std::wstring_view entry,
                            std::wstring_view value) override;
    void writeProfileInt(std::wstring_view section, std::wstring_view entry, int value) override;

    // The executable's base name.
    std::wstring applicationName() const;
    // The module that holds the program's resources.
    HINSTANCE resourceHandle() const;

    // The window whose destruction ends the message loop; null until one is chosen.
    Window* mainWindow = nullptr;

private:
    std::unique_ptr<IProfile> profile;
    int exitCode = 0;
};

// The whole life of the program: InitInstance, the message loop when start-up
// succeeded, ExitInstance. Returns the exit code for the entry function.
int runApplication(Application& application);

} // namespace framework
