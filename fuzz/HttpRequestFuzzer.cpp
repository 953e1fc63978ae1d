// Arbitrary bytes as a request head, through the parser and the API handler over a small
// player folder. Every reply must be a well-formed HTTP/1.0 reply with exactly the two
// content headers and a Content-Length that matches its body.
#include "http/RequestHandler.hpp"
#include "http/RequestParser.hpp"
#include "settings/Preferences.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace {

// A player folder with a settings file, a channel list and a TV guide; removed at exit.
class PlayerFolder {
public:
    PlayerFolder()
        : folder(std::filesystem::temp_directory_path() /
                 ("kelvo-http-fuzz-" + std::to_string(std::random_device()())))
    {
        std::filesystem::create_directories(folder);
        write("KelvoPlayer.User.ini", "[Settings]\r\nurl-m3u=http://host/list.m3u?a=1&b=2\r\n"
                                      "url-tvg=" +
                                          (folder / "guide.zip").string() + "\r\n");
        write("KelvoPlayer.m3u", "#EXTM3U\r\n#EXTINF:-1,One\r\nhttp://host/1\r\n");
        write("guide.zip", std::string(1300, 'z'));
        preferences.playerLocation = (folder / "KelvoPlayer.exe").wstring();
    }
    PlayerFolder(const PlayerFolder&) = delete;
    PlayerFolder& operator=(const PlayerFolder&) = delete;
    ~PlayerFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    Preferences preferences;

private:
    void write(const char* name, const std::string& bytes) const
    {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }

    std::filesystem::path folder;
};

[[noreturn]] void fail(const char* what, std::string_view reply)
{
    std::fprintf(stderr, "malformed reply (%s):\n%.*s\n", what, static_cast<int>(reply.size()),
                 reply.data());
    std::abort();
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Takes the line up to CR LF off the front of the text; empty when there is none.
std::string_view takeLine(std::string_view& text, const char* what, std::string_view reply)
{
    const auto end = text.find("\r\n");
    if (end == std::string_view::npos) {
        fail(what, reply);
    }
    const auto line = text.substr(0, end);
    text.remove_prefix(end + 2);
    return line;
}

void checkWellFormed(std::string_view reply)
{
    auto rest = reply;
    const auto statusLine = takeLine(rest, "status line", reply);
    if (!statusLine.starts_with("HTTP/1.0 ") || statusLine.size() < 14 ||
        !isDigits(statusLine.substr(9, 3)) || statusLine[12] != ' ') {
        fail("status line", reply);
    }
    const auto lengthLine = takeLine(rest, "Content-Length", reply);
    constexpr std::string_view lengthName = "Content-Length: ";
    const auto length = lengthLine.substr(std::min(lengthName.size(), lengthLine.size()));
    if (!lengthLine.starts_with(lengthName) || !isDigits(length) ||
        (length.size() > 1 && length.front() == '0')) {
        fail("Content-Length", reply);
    }
    const auto typeLine = takeLine(rest, "Content-Type", reply);
    if (!typeLine.starts_with("Content-Type: ") || typeLine.size() == 14) {
        fail("Content-Type", reply);
    }
    if (!takeLine(rest, "end of the head", reply).empty()) {
        fail("more than two headers", reply);
    }
    if (std::to_string(rest.size()) != length) {
        fail("body length", reply);
    }
}

std::string serialised(const http::Reply& reply)
{
    std::string bytes;
    for (const auto& buffer : reply.toBuffers()) {
        bytes.append(static_cast<const char*>(buffer.data()), buffer.size());
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static PlayerFolder folder;
    static http::RequestHandler handler(folder.preferences);

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    http::RequestParser parser;
    http::Request request;
    const auto [result, position] = parser.parse(request, input.begin(), input.end());

    // The same bytes in two pieces, cut where the first byte says, decide alike.
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    http::RequestParser splitParser;
    http::Request splitRequest;
    auto split = splitParser.parse(splitRequest, input.begin(), input.begin() + cut);
    if (boost::logic::indeterminate(split.first)) {
        split = splitParser.parse(splitRequest, input.begin() + cut, input.end());
    }
    if (split.first.value != result.value || split.second != position ||
        !(splitRequest == request)) {
        std::fprintf(stderr, "parsing in two pieces decided differently\n");
        std::abort();
    }

    http::Reply reply;
    if (result) {
        handler.handleRequest(request, reply);
    } else if (!result) {
        reply = http::stockReply(http::StatusType::badRequest);
    } else {
        return 0;
    }
    checkWellFormed(serialised(reply));
    return 0;
}
