#pragma once

#include "platform/Desktop.hpp"
#include "service/IMessageHandler.hpp"

#include <string>

class IPreferences;

// Turns command datagrams into actions on the player: start it on a channel, press a
// key in its main window, close it or start it. Nothing is ever answered.
class KelvoMessageHandler : public IMessageHandler {
public:
    // Keeps copies of the player's folder and executable: a running server does not
    // follow changed settings.
    KelvoMessageHandler(const IPreferences& preferences, platform::IDesktop& desktop);

    void handleMessage(const std::uint8_t* data, std::uint32_t length) override;

private:
    void switchChannel(std::uint16_t channel);
    void pressKey(std::uint32_t keyCode);
    void togglePlayer();
    void sendToPlayer(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam);
    void startPlayer(const std::wstring& parameters);

    std::wstring playerFolder;
    std::wstring playerLocation;
    platform::IDesktop& desktop;
};
