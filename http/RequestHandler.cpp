#include "http/RequestHandler.hpp"

#include "common/FileSystem.hpp"
#include "common/TextConversion.hpp"
#include "http/PlayerSettingsSource.hpp"

#include <array>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>

namespace http {
namespace {

constexpr std::string_view serverPagePath = "/";
constexpr std::string_view descriptionPath = "/about/";
constexpr std::string_view settingsDocumentPath = "/settings/";
constexpr std::string_view playlistPath = "/playlist/";
constexpr std::string_view tvGuidePath = "/tvguide/";
constexpr std::string_view playerSettingsFilePath = "/ini/";

constexpr std::string_view htmlType = "text/html";
constexpr std::string_view xmlType = "text/xml";
constexpr std::string_view playlistType = "audio/x-mpegurl";
constexpr std::string_view tvGuideType = "application/zip";
constexpr std::string_view plainType = "text/plain";

constexpr std::string_view xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr char lineEnd = '\n';
constexpr std::size_t fileBlockSize = 512;

// The lines joined by line ends; the last line has none.
std::string joinLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        if (line != lines.begin()) {
            text += lineEnd;
        }
        text += *line;
    }
    return text;
}

bool isAcceptablePath(const std::string& path)
{
    return !path.empty() && path.front() == '/' && path.find("..") == std::string::npos;
}

std::string settingsElement(int version, bool custom)
{
    std::string element = "<settings version=\"" + std::to_string(version) + "\"";
    if (custom) {
        element += " custom=\"true\"";
    }
    return element + ">";
}

// A source that names something on this computer is fetched from this server's route;
// anything else (a web address, a missing path, nothing) is passed on as it is.
std::string sourceText(const std::wstring& source, std::string_view routePath)
{
    const auto text = pathExists(source) ? std::string(routePath) : toNarrow(source);
    return RequestHandler::xmlEscape(text);
}

// The whole file, read in blocks of 512 bytes, or nothing when it cannot be opened. The
// standard file stream denies other processes neither reading nor writing, so the player
// can go on writing the file meanwhile.
std::optional<std::string> readWholeFile(const std::wstring& file)
{
    const std::filesystem::path path(file);
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        // Windows refuses to open a folder as a file; POSIX would open it and fail reading.
        return std::nullopt;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::string content;
    std::array<char, fileBlockSize> block{};
    do {
        stream.read(block.data(), block.size());
        content.append(block.data(), static_cast<std::size_t>(stream.gcount()));
    } while (stream.gcount() > 0);
    return content;
}

} // namespace

RequestHandler::RequestHandler(const IPreferences& preferences)
    : preferences(preferences)
{}

void RequestHandler::handleRequest(const Request& request, Reply& reply)
{
    std::string path;
    if (!urlDecode(request.uri, path) || !isAcceptablePath(path)) {
        reply = stockReply(StatusType::badRequest);
    } else if (path == serverPagePath) {
        reply = serverPage();
    } else if (path == descriptionPath) {
        reply = serverDescription();
    } else if (path == settingsDocumentPath) {
        reply = settingsDocument();
    } else {
        reply = fileRoute(path);
    }
}

bool RequestHandler::urlDecode(const std::string& in, std::string& out)
{
    constexpr std::size_t escapeLength = 3;
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '%') {
            if (i + escapeLength > in.size()) {
                return false;
            }
            std::istringstream digits(in.substr(i + 1, escapeLength - 1));
            int value = 0;
            if (!(digits >> std::hex >> value)) {
                return false;
            }
            out += static_cast<char>(value & 0xFF);
            i += escapeLength - 1;
        } else if (in[i] == '+') {
            out += ' ';
        } else {
            out += in[i];
        }
    }
    return true;
}

std::string RequestHandler::xmlEscape(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '"':
            escaped += "&quot;";
            break;
        case '&':
            escaped += "&amp;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

Reply RequestHandler::serverPage() const
{
    const auto name = toNarrow(preferences.getName());
    const auto version = toNarrow(preferences.getVersion());
    auto page = joinLines({
        "<html>",
        "<head><title>" + name + "</title></head>",
        "<body><h1>" + name + " " + version + "</h1></body>",
        "</html>",
    });
    return Reply(StatusType::ok, std::move(page), htmlType);
}

Reply RequestHandler::serverDescription() const
{
    auto document = joinLines({
        std::string(xmlDeclaration),
        "<server>",
        "<description>" + toNarrow(preferences.getName()) + "</description>",
        "<version>" + toNarrow(preferences.getVersion()) + "</version>",
        "</server>",
    });
    return Reply(StatusType::ok, std::move(document), xmlType);
}

Reply RequestHandler::settingsDocument() const
{
    const auto version = preferences.getSettingsVersion();
    const bool custom = preferences.useCustomPlaylist();
    std::wstring playlist;
    std::wstring tvGuide;
    if (custom) {
        playlist = preferences.getPlaylist();
        tvGuide = preferences.getTvGuide();
    } else {
        const auto settingsFile = playerSettingsPath(preferences);
        if (!pathExists(settingsFile)) {
            // The player's sources are in use, but the player has no settings file.
            auto document = joinLines({
                std::string(xmlDeclaration),
                settingsElement(version, false),
                "<error code=\"1\"/>",
                "</settings>",
            });
            return Reply(StatusType::ok, std::move(document), xmlType);
        }
        tvGuide = playerTvGuideSource(settingsFile);
        playlist = playerPlaylistSource(settingsFile, preferences);
    }
    auto document = joinLines({
        std::string(xmlDeclaration),
        settingsElement(version, custom),
        "<playlist>" + sourceText(playlist, playlistPath) + "</playlist>",
        "<tvguide>" + sourceText(tvGuide, tvGuidePath) + "</tvguide>",
        "</settings>",
    });
    return Reply(StatusType::ok, std::move(document), xmlType);
}

Reply RequestHandler::fileRoute(const std::string& path) const
{
    std::wstring file;
    std::string_view contentType = plainType;
    if (path == playlistPath) {
        file = effectivePlaylist(preferences);
        contentType = playlistType;
    } else if (path == tvGuidePath) {
        file = effectiveTvGuide(preferences);
        contentType = tvGuideType;
    } else if (path == playerSettingsFilePath) {
        if (preferences.useCustomPlaylist()) {
            return stockReply(StatusType::forbidden);
        }
        file = playerSettingsPath(preferences);
    }
    if (file.empty() || !pathExists(file)) {
        return stockReply(StatusType::notFound);
    }
    auto content = readWholeFile(file);
    if (!content) {
        return stockReply(StatusType::notFound);
    }
    return Reply(StatusType::ok, std::move(*content), contentType);
}

} // namespace http
