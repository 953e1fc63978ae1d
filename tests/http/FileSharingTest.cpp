#include "http/RequestHandler.hpp"
#include "platform/win32/UniqueHandle.hpp"
#include "tests/http/PlayerFolder.hpp"
#include "tests/http/ReplyBytes.hpp"

#include <string_view>

#include <gtest/gtest.h>

#include <windows.h>

namespace http {
namespace {

constexpr std::string_view channelList = "#EXTM3U\r\n#EXTINF:-1,One\r\nhttp://x/1\r\n";

// The player's channel list, created and held open for writing through a handle of its
// own, as the player holds files it is writing; share mode as given.
platform::UniqueKernelHandle holdChannelList(const PlayerFolder& folder, DWORD shareMode)
{
    const auto path = folder.pathOf(L"KelvoPlayer.m3u");
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, shareMode, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot create the channel list, error " << GetLastError();
        return {};
    }
    platform::UniqueKernelHandle holder(file);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, channelList.data(), static_cast<DWORD>(channelList.size()),
                          &written, nullptr));
    return holder;
}

Reply answer(RequestHandler& handler, const std::string& uri)
{
    Reply reply;
    handler.handleRequest(Request{"GET", uri, 1, 0, {}}, reply);
    return reply;
}

TEST(FileSharing, FileHeldOpenForWritingIsServed)
{
    PlayerFolder folder;
    RequestHandler handler(folder.preferences);
    const auto holder = holdChannelList(folder, FILE_SHARE_READ);
    EXPECT_EQ(serialised(answer(handler, "/playlist/")),
              serialised(Reply(StatusType::ok, std::string(channelList), "audio/x-mpegurl")));
}

// The same answer as for a file deleted between the existence test and the open.
TEST(FileSharing, FileLockedAgainstReadingIsNotFound)
{
    PlayerFolder folder;
    RequestHandler handler(folder.preferences);
    const auto holder = holdChannelList(folder, 0);
    EXPECT_EQ(serialised(answer(handler, "/playlist/")),
              serialised(stockReply(StatusType::notFound)));
}

} // namespace
} // namespace http
