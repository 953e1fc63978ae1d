#include "service/KelvoMessageHandler.hpp"

#include "service/BinaryReader.hpp"
#include "settings/IPreferences.hpp"

#include <exception>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

enum Command : std::uint8_t {
    switchChannelCommand = 0,
    keyCommand = 1,
    togglePlayerCommand = 2,
};

constexpr std::uint32_t channelSize = 2;
constexpr std::uint32_t keyCodeSize = 4;

const std::wstring playerWindowClass = L"KelvoPlayerMainWndClass";
constexpr std::string_view windowNotFoundLine = "Unable to find KelvoPlayerMainWndClass window";
constexpr std::string_view noAnswerLine = "No answer from KelvoPlayerMainWndClass window";

// The only place the worker thread can tell anybody about a failure.
void reportLine(std::string_view line)
{
    std::cerr << line << std::endl;
}

} // namespace

KelvoMessageHandler::KelvoMessageHandler(const IPreferences& preferences,
                                         platform::IDesktop& desktop)
    : playerFolder(preferences.getPlayerFolder())
    , playerLocation(preferences.getPlayerLocation())
    , desktop(desktop)
{}

void KelvoMessageHandler::handleMessage(const std::uint8_t* data, std::uint32_t length)
{
    try {
        BinaryReader reader(data, length);
        switch (reader.readByte()) {
        case switchChannelCommand:
            if (reader.remaining() >= channelSize) {
                switchChannel(reader.readUint16());
            }
            break;
        case keyCommand:
            if (reader.remaining() >= keyCodeSize) {
                pressKey(static_cast<std::uint32_t>(reader.readInt32()));
            }
            break;
        case togglePlayerCommand:
            togglePlayer();
            break;
        default:
            break;
        }
    } catch (const std::exception&) {
        // A datagram that cannot be handled is dropped; the next one is served.
    }
}

void KelvoMessageHandler::switchChannel(std::uint16_t channel)
{
    std::wostringstream parameters;
    parameters.imbue(std::locale::classic());
    parameters << L"/ch " << channel;
    startPlayer(parameters.str());
}

void KelvoMessageHandler::pressKey(std::uint32_t keyCode)
{
    const auto window = desktop.findWindow(playerWindowClass);
    if (window == nullptr) {
        reportLine(windowNotFoundLine);
        return;
    }
    sendToPlayer(window, platform::keyDownMessage, keyCode);
}

void KelvoMessageHandler::togglePlayer()
{
    const auto window = desktop.findWindow(playerWindowClass);
    if (window == nullptr) {
        startPlayer(L"");
        return;
    }
    sendToPlayer(window, platform::closeMessage, 0);
}

void KelvoMessageHandler::sendToPlayer(platform::WindowHandle window, std::uint32_t message,
                                       std::uintptr_t wParam)
{
    if (!desktop.sendMessage(window, message, wParam, 0)) {
        reportLine(noAnswerLine);
    }
}

void KelvoMessageHandler::startPlayer(const std::wstring& parameters)
{
    desktop.startProgram(playerLocation, parameters, playerFolder);
}
