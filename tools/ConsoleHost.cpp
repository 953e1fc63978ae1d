// Runs the server host in a console with the stored settings until Ctrl+C: a stand-in
// for the notification-area program while that does not exist yet.
#include "common/Product.hpp"
#include "framework/RegistryProfile.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "service/ServerHost.hpp"
#include "settings/Preferences.hpp"

#include <exception>
#include <iostream>

#include <windows.h>

namespace {

// Set by the console's interrupt; the handler runs on a thread of its own.
HANDLE interrupted = nullptr;

BOOL WINAPI onConsoleEvent(DWORD)
{
    SetEvent(interrupted);
    return TRUE;
}

} // namespace

int main()
{
    const platform::UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    interrupted = event.get();
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);

    framework::RegistryProfile profile(std::wstring(productName), L"KelvoRemoteServer");
    Preferences preferences;
    preferences.load(profile);
    try {
        ServerHost host(preferences);
        std::cout << "Serving port " << preferences.getPort() << "; Ctrl+C stops." << std::endl;
        WaitForSingleObject(event.get(), INFINITE);
        host.stop();
    } catch (const std::exception& error) {
        std::cerr << error.what() << std::endl;
        return 1;
    }
    std::cout << "Stopped." << std::endl;
    return 0;
}
