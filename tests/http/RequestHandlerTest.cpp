#include "http/RequestHandler.hpp"

#include "tests/http/Loopback.hpp"
#include "tests/http/PlayerFolder.hpp"
#include "tests/http/ReplyBytes.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace http {
namespace {

using namespace std::string_literals;

const std::string serverPage = "<html>\n"
                               "<head><title>Kelvo Player Remote Server</title></head>\n"
                               "<body><h1>Kelvo Player Remote Server 2.1</h1></body>\n"
                               "</html>";
const std::string serverDescription = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<server>\n"
                                      "<description>Kelvo Player Remote Server</description>\n"
                                      "<version>2.1</version>\n"
                                      "</server>";
const std::string errorDocument = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<settings version=\"1\">\n"
                                  "<error code=\"1\"/>\n"
                                  "</settings>";

std::string settingsDocument(const std::string& openingElement, const std::string& playlist,
                             const std::string& tvGuide)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + openingElement + "\n<playlist>" +
           playlist + "</playlist>\n<tvguide>" + tvGuide + "</tvguide>\n</settings>";
}

std::string narrow(const std::wstring& text)
{
    return std::filesystem::path(text).string();
}

// Bytes that a text-mode read or a conversion would change.
const std::string binaryBytes = "line\r\nnul\0 high\xFF\x80 end\r"s;

class RequestHandlerTest : public ::testing::Test {
protected:
    Reply answer(const std::string& uri, const std::string& method = "GET")
    {
        Reply reply;
        handler.handleRequest(Request{method, uri, 1, 0, {}}, reply);
        return reply;
    }

    void expectOk(const std::string& uri, const std::string& content,
                  const std::string& contentType)
    {
        EXPECT_EQ(serialised(answer(uri)), serialised(Reply(StatusType::ok, content, contentType)))
            << uri;
    }

    void expectStock(const std::string& uri, StatusType status)
    {
        EXPECT_EQ(serialised(answer(uri)), serialised(stockReply(status))) << uri;
    }

    void useCustomSources(const std::wstring& playlist, const std::wstring& tvGuide)
    {
        folder.preferences.sourceMode = 1;
        folder.preferences.playlist = playlist;
        folder.preferences.tvGuide = tvGuide;
    }

    PlayerFolder folder;
    RequestHandler handler{folder.preferences};
};

TEST_F(RequestHandlerTest, ServerPageAndDescription)
{
    expectOk("/", serverPage, "text/html");
    expectOk("/about/", serverDescription, "text/xml");
    expectOk("/%61bout/", serverDescription, "text/xml");
}

TEST_F(RequestHandlerTest, PathsThatAreNoRoute)
{
    const std::vector<std::pair<std::string, StatusType>> cases = {
        {"/about", StatusType::notFound},       {"/About/", StatusType::notFound},
        {"/about/?x=1", StatusType::notFound},  {"//about/", StatusType::notFound},
        {"/%4G", StatusType::notFound},         {"/a+b", StatusType::notFound},
        {"/%4", StatusType::badRequest},        {"/%zz", StatusType::badRequest},
        {"/about/%", StatusType::badRequest},   {"/..%2f", StatusType::badRequest},
        {"/x/../ini/", StatusType::badRequest}, {"/%2e%2e/ini/", StatusType::badRequest},
        {"/a..b", StatusType::badRequest},      {"http://host/about/", StatusType::badRequest},
        {"*", StatusType::badRequest},          {"", StatusType::badRequest},
    };
    for (const auto& [uri, status] : cases) {
        expectStock(uri, status);
    }
}

TEST(RequestHandlerDecoding, UrlDecode)
{
    const std::vector<std::pair<std::string, std::string>> decoded = {
        {"/a+b", "/a b"},
        {"/%61%62%2F", "/ab/"},
        {"/%4G", "/\x04"s},
        {"/% 4", "/\x04"s},
        {"/%-1", "/\xFF"},
        {"/%00x", "/\0x"s},
        {"/%e2%82%ac", "/\xE2\x82\xAC"},
    };
    for (const auto& [in, expected] : decoded) {
        std::string out = "stale";
        EXPECT_TRUE(RequestHandler::urlDecode(in, out)) << in;
        EXPECT_EQ(out, expected) << in;
    }
    for (const std::string in : {"/%4", "/%", "/%zz", "/%-", "/% x"}) {
        std::string out;
        EXPECT_FALSE(RequestHandler::urlDecode(in, out)) << in;
    }
}

TEST(RequestHandlerDecoding, XmlEscape)
{
    EXPECT_EQ(RequestHandler::xmlEscape("a\"b&c'd<e>f\x01\xC3\xA9"),
              "a&quot;b&amp;c&apos;d&lt;e&gt;f\x01\xC3\xA9");
}

TEST_F(RequestHandlerTest, AnyMethodGetsTheSameAnswer)
{
    folder.write(L"KelvoPlayer.User.ini", "[Settings]\r\nurl-tvg=http://host/tv.zip\r\n");
    const auto get = serialised(answer("/settings/"));
    EXPECT_EQ(serialised(answer("/settings/", "POST")), get);
    EXPECT_EQ(serialised(answer("/settings/", "BREW")), get);
}

TEST_F(RequestHandlerTest, SettingsDocumentFromThePlayersSources)
{
    folder.write(L"KelvoPlayer.User.ini",
                 "[Settings]\r\nurl-m3u=http://host/list.m3u?a=1&b=<2>\r\nurl-tvg=" +
                     narrow(folder.pathOf(L"tv.zip")) + "\r\n");
    folder.write(L"tv.zip", "PK");
    expectOk("/settings/",
             settingsDocument("<settings version=\"1\">",
                              "http://host/list.m3u?a=1&amp;b=&lt;2&gt;", "/tvguide/"),
             "text/xml");
}

TEST_F(RequestHandlerTest, SettingsDocumentFromCustomSources)
{
    useCustomSources(L"http://host/list.m3u?a=1&b=2", L"");
    expectOk("/settings/",
             settingsDocument("<settings version=\"1\" custom=\"true\">",
                              "http://host/list.m3u?a=1&amp;b=2", ""),
             "text/xml");
    expectStock("/playlist/", StatusType::notFound);
    expectStock("/tvguide/", StatusType::notFound);
    expectStock("/ini/", StatusType::forbidden);
}

TEST_F(RequestHandlerTest, CustomLocalChannelListIsServed)
{
    const auto list = folder.write(L"my list.m3u", "#EXTM3U\r\n#EXTINF:-1,One\r\nhttp://x/1\r\n");
    useCustomSources(list, L"http://host/tv.zip");
    expectOk("/settings/",
             settingsDocument("<settings version=\"1\" custom=\"true\">", "/playlist/",
                              "http://host/tv.zip"),
             "text/xml");
    expectOk("/playlist/", "#EXTM3U\r\n#EXTINF:-1,One\r\nhttp://x/1\r\n", "audio/x-mpegurl");
}

TEST_F(RequestHandlerTest, ErrorDocumentWhileTheLocalChannelListIsServed)
{
    folder.write(L"KelvoPlayer.m3u", binaryBytes);
    expectOk("/settings/", errorDocument, "text/xml");
    expectOk("/playlist/", binaryBytes, "audio/x-mpegurl");
    expectStock("/tvguide/", StatusType::notFound);
    expectStock("/ini/", StatusType::notFound);
}

TEST_F(RequestHandlerTest, FilesGoOutWholeAndUnchanged)
{
    std::string large;
    for (int i = 0; i < 1300; ++i) {
        large += static_cast<char>(i % 256);
    }
    const std::vector<std::string> contents = {"", binaryBytes, std::string(1024, 'b'), large};
    for (const auto& content : contents) {
        const auto ini = "[Settings]\r\nurl-tvg=" + narrow(folder.pathOf(L"guide.txt")) + "\r\n";
        folder.write(L"KelvoPlayer.User.ini", ini);
        folder.write(L"guide.txt", content);
        expectOk("/tvguide/", content, "application/zip");
        expectOk("/ini/", ini, "text/plain");
    }
}

TEST_F(RequestHandlerTest, FileRoutesWithNothingToSend)
{
    std::filesystem::create_directory(folder.path() / "folder");
    const std::vector<std::string> sources = {
        "",
        "http://host/tv.zip",
        narrow(folder.pathOf(L"missing.zip")),
        narrow(folder.pathOf(L"folder")),
    };
    for (const auto& source : sources) {
        folder.write(L"KelvoPlayer.User.ini", "[Settings]\r\nurl-tvg=" + source + "\r\n");
        expectStock("/tvguide/", StatusType::notFound);
    }
}

TEST_F(RequestHandlerTest, AnswersOverTheWire)
{
    RunningServer server(handler);
    LoopbackClient client(server.port());
    client.send("POST /%61bout/ HTTP/1.1\r\nContent-Length: 3\r\n\r\nx=1");
    EXPECT_EQ(client.receiveUntilClosed(),
              serialised(Reply(StatusType::ok, serverDescription, "text/xml")));
}

} // namespace
} // namespace http
