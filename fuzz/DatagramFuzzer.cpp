// Arbitrary bytes as a command datagram, and as a range for the binary reader. The command
// handler must do exactly what a straight reading of the datagram says, with the player's
// window there and without it; the reader must follow its bytes and refuse to read past
// the end, whatever order of reads the input picks.
#include "service/BinaryReader.hpp"
#include "service/KelvoMessageHandler.hpp"
#include "settings/Preferences.hpp"
#include "tests/service/RecordingDesktop.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::wstring>;

const std::wstring playerLocation = L"C:\\Kelvo\\KelvoPlayer.exe";
const std::wstring playerFolder = L"C:\\Kelvo";
const std::wstring findCall = L"find KelvoPlayerMainWndClass";
constexpr std::string_view windowNotFoundLine = "Unable to find KelvoPlayerMainWndClass window\n";

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::uint32_t littleEndian(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

std::wstring startCall(const std::wstring& parameters)
{
    return L"start " + playerLocation + L" \"" + parameters + L"\" in " + playerFolder;
}

std::wstring sendCall(std::uint32_t message, std::uint32_t wParam)
{
    std::wostringstream line;
    line << std::hex << L"send player 0x" << message << L" 0x" << wParam << L" 0x0";
    return line.str();
}

// What the handler writes to the standard error stream, caught for the whole run.
std::ostringstream& errors()
{
    static std::ostringstream captured;
    static std::streambuf* const previous = std::cerr.rdbuf(captured.rdbuf());
    static_cast<void>(previous);
    return captured;
}

// What the handler must ask of the desktop for this datagram.
Calls expectedCalls(const std::uint8_t* data, std::size_t size, bool playerRuns)
{
    if (size == 0) {
        return {};
    }
    switch (data[0]) {
    case 0:
        if (size < 3) {
            return {};
        }
        return {startCall(L"/ch " + std::to_wstring(littleEndian(data + 1, 2)))};
    case 1:
        if (size < 5) {
            return {};
        }
        if (!playerRuns) {
            return {findCall};
        }
        return {findCall, sendCall(0x0100, littleEndian(data + 1, 4))};
    case 2:
        return {findCall, playerRuns ? sendCall(0x0010, 0) : startCall(L"")};
    default:
        return {};
    }
}

void checkHandler(const std::uint8_t* data, std::size_t size, bool playerRuns)
{
    static Preferences preferences = [] {
        Preferences fixed;
        fixed.playerLocation = playerLocation;
        return fixed;
    }();
    RecordingDesktop desktop;
    desktop.playerRuns = playerRuns;
    KelvoMessageHandler handler(preferences, desktop);
    errors().str("");

    handler.handleMessage(data, static_cast<std::uint32_t>(size));

    if (desktop.calls() != expectedCalls(data, size, playerRuns)) {
        fail("the handler did something else than the datagram says");
    }
    const bool keyWithoutPlayer = size >= 5 && data[0] == 1 && !playerRuns;
    if (errors().str() != (keyWithoutPlayer ? windowNotFoundLine : "")) {
        fail("unexpected standard error output");
    }
}

// Reads of 1, 2 or 4 bytes in an order the input picks, each checked against the bytes.
void checkReader(const std::uint8_t* data, std::size_t size)
{
    const auto length = static_cast<std::uint32_t>(size);
    BinaryReader reader(data, length);
    std::uint32_t position = 0;
    for (std::uint32_t step = 0; step <= length; ++step) {
        const int width = 1 << (size == 0 ? 0 : data[step % size] % 3);
        const bool fits = length - position >= static_cast<std::uint32_t>(width);
        try {
            std::uint32_t value = 0;
            switch (width) {
            case 1:
                value = reader.readByte();
                break;
            case 2:
                value = reader.readUint16();
                break;
            default:
                value = static_cast<std::uint32_t>(reader.readInt32());
                break;
            }
            if (!fits || value != littleEndian(data + position, width)) {
                fail("read a value the bytes do not hold");
            }
            position += static_cast<std::uint32_t>(width);
        } catch (const std::out_of_range&) {
            if (fits) {
                fail("refused a read that fits");
            }
            // A read that does not fit has consumed what was left before it threw.
            position = length;
        }
        if (reader.remaining() != length - position) {
            fail("remaining does not match the bytes read");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkHandler(data, size, false);
    checkHandler(data, size, true);
    checkReader(data, size);
    return 0;
}
