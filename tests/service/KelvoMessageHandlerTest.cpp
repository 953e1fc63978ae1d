#include "service/KelvoMessageHandler.hpp"

#include "settings/Preferences.hpp"
#include "tests/service/RecordingDesktop.hpp"
#include "tests/support/CerrCapture.hpp"

#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::wstring>;

enum class Player { absent, answering, hung };

const std::wstring find = L"find KelvoPlayerMainWndClass";
const std::wstring startPrefix = L"start C:\\Players\\Kelvo\\KelvoPlayer.exe \"";
const std::wstring startSuffix = L"\" in C:\\Players\\Kelvo";
const std::string notFoundLine = "Unable to find KelvoPlayerMainWndClass window\n";
const std::string noAnswerLine = "No answer from KelvoPlayerMainWndClass window\n";

std::wstring start(const std::wstring& parameters)
{
    return startPrefix + parameters + startSuffix;
}

struct HandlerCase {
    const char* name;
    Bytes datagram;
    Player player;
    Calls calls;
    std::string errorText;
};

void PrintTo(const HandlerCase& c, std::ostream* out)
{
    *out << c.name;
}

class KelvoMessageHandlerTable : public testing::TestWithParam<HandlerCase> {};

TEST_P(KelvoMessageHandlerTable, DrivesThePlayer)
{
    const auto& param = GetParam();
    Preferences preferences;
    preferences.playerLocation = L"C:\\Players\\Kelvo\\KelvoPlayer.exe";
    RecordingDesktop desktop;
    desktop.playerRuns = param.player != Player::absent;
    desktop.playerAnswers = param.player == Player::answering;
    KelvoMessageHandler handler(preferences, desktop);
    // The handler keeps what it was built with; a running server ignores new settings.
    preferences.playerLocation = L"D:\\Elsewhere\\Other.exe";

    testing_support::CerrCapture errors;
    handler.handleMessage(param.datagram.data(), static_cast<std::uint32_t>(param.datagram.size()));

    EXPECT_EQ(desktop.calls(), param.calls);
    EXPECT_EQ(errors.text(), param.errorText);
}

const std::wstring keyDown26 = L"send player 0x100 0x26 0x0";
const std::wstring close = L"send player 0x10 0x0 0x0";

INSTANTIATE_TEST_SUITE_P(
    Datagrams, KelvoMessageHandlerTable,
    testing::Values(
        HandlerCase{"channel5", {0x00, 0x05, 0x00}, Player::answering, {start(L"/ch 5")}, ""},
        HandlerCase{"channel4660", {0x00, 0x34, 0x12}, Player::absent, {start(L"/ch 4660")}, ""},
        HandlerCase{"channel65535", {0x00, 0xFF, 0xFF}, Player::absent, {start(L"/ch 65535")}, ""},
        HandlerCase{"channel0", {0x00, 0x00, 0x00}, Player::absent, {start(L"/ch 0")}, ""},
        HandlerCase{"channelTrailingBytes",
                    {0x00, 0x05, 0x00, 0x99, 0x77},
                    Player::absent,
                    {start(L"/ch 5")},
                    ""},
        HandlerCase{"channelShort", {0x00, 0x05}, Player::absent, {}, ""},
        HandlerCase{"channelNoOperand", {0x00}, Player::absent, {}, ""},
        HandlerCase{
            "key", {0x01, 0x26, 0x00, 0x00, 0x00}, Player::answering, {find, keyDown26}, ""},
        HandlerCase{"keyAllBits",
                    {0x01, 0xFF, 0xFF, 0xFF, 0xFF},
                    Player::answering,
                    {find, L"send player 0x100 0xffffffff 0x0"},
                    ""},
        HandlerCase{"keyTrailingBytes",
                    {0x01, 0x26, 0x00, 0x00, 0x00, 0x01},
                    Player::answering,
                    {find, keyDown26},
                    ""},
        HandlerCase{"keyShort", {0x01, 0x26, 0x00, 0x00}, Player::answering, {}, ""},
        HandlerCase{"keyWithoutPlayer",
                    {0x01, 0x26, 0x00, 0x00, 0x00},
                    Player::absent,
                    {find},
                    notFoundLine},
        HandlerCase{"keyToHungPlayer",
                    {0x01, 0x26, 0x00, 0x00, 0x00},
                    Player::hung,
                    {find, keyDown26},
                    noAnswerLine},
        HandlerCase{"toggleCloses", {0x02}, Player::answering, {find, close}, ""},
        HandlerCase{"toggleStarts", {0x02, 0x01, 0x02}, Player::absent, {find, start(L"")}, ""},
        HandlerCase{"toggleHungPlayer", {0x02}, Player::hung, {find, close}, noAnswerLine},
        HandlerCase{"unassigned3", {0x03}, Player::answering, {}, ""},
        HandlerCase{"unassignedFF", {0xFF, 0x02, 0x00}, Player::answering, {}, ""},
        HandlerCase{"empty", {}, Player::answering, {}, ""}),
    [](const testing::TestParamInfo<HandlerCase>& param) { return param.param.name; });

// Failures while driving the player must not reach the listener's thread.
class ThrowingDesktop : public RecordingDesktop {
public:
    void startProgram(const std::wstring&, const std::wstring&, const std::wstring&) override
    {
        throw std::runtime_error("refused");
    }
};

TEST(KelvoMessageHandler, DropsTheDatagramWhenThePlayerCannotBeDriven)
{
    Preferences preferences;
    ThrowingDesktop desktop;
    KelvoMessageHandler handler(preferences, desktop);
    const Bytes channel{0x00, 0x05, 0x00};
    testing_support::CerrCapture errors;
    EXPECT_NO_THROW(handler.handleMessage(channel.data(), 3));
    EXPECT_EQ(errors.text(), "");
}

} // namespace
