#include "http/Reply.hpp"

#include "tests/http/ReplyBytes.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace http {
namespace {

Reply withThreeHeaders()
{
    Reply reply;
    reply.status = StatusType::ok;
    reply.headers = {{"A", "1"}, {"B", "2"}, {"C", "3"}};
    reply.content = "abc";
    reply.setContentHeaders("text/plain");
    return reply;
}

struct SerialisationCase {
    const char* name;
    Reply reply;
    std::string expected;
};

TEST(Reply, SerialisesByteForByte)
{
    const std::vector<SerialisationCase> cases = {
        {"stock 400", stockReply(StatusType::badRequest),
         "HTTP/1.0 400 Bad Request\r\nContent-Length: 89\r\nContent-Type: text/html\r\n\r\n"
         "<html><head><title>Bad Request</title></head><body><h1>400 Bad "
         "Request</h1></body></html>"},
        {"stock 204 keeps its heading", stockReply(StatusType::noContent),
         "HTTP/1.0 204 No Content\r\nContent-Length: 84\r\nContent-Type: text/html\r\n\r\n"
         "<html><head><title>No Content</title></head><body><h1>204 Content</h1></body></html>"},
        {"stock 200 is empty", stockReply(StatusType::ok),
         "HTTP/1.0 200 OK\r\nContent-Length: 0\r\nContent-Type: text/html\r\n\r\n"},
        {"unknown code is written as 500", stockReply(static_cast<StatusType>(418)),
         "HTTP/1.0 500 Internal Server Error\r\nContent-Length: 109\r\nContent-Type: "
         "text/html\r\n\r\n<html><head><title>Internal Server Error</title></head><body><h1>500 "
         "Internal Server Error</h1></body></html>"},
        {"content headers replace three headers", withThreeHeaders(),
         "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Type: text/plain\r\n\r\nabc"},
        {"built reply", Reply(StatusType::ok, "<a/>", "text/xml"),
         "HTTP/1.0 200 OK\r\nContent-Length: 4\r\nContent-Type: text/xml\r\n\r\n<a/>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serialised(c.reply), c.expected) << c.name;
    }
}

TEST(Reply, LengthOfALargeBodyHasNoSeparators)
{
    const Reply reply(StatusType::ok, std::string(1'048'576, 'x'), "application/zip");
    ASSERT_EQ(reply.headers.size(), 2U);
    EXPECT_EQ(reply.headers[0].name, "Content-Length");
    EXPECT_EQ(reply.headers[0].value, "1048576");
}

TEST(Reply, BuffersReferToTheReplyAndToSharedConstants)
{
    const auto first = stockReply(StatusType::notFound);
    const auto second = stockReply(StatusType::notFound);
    const auto firstBuffers = first.toBuffers();
    const auto secondBuffers = second.toBuffers();
    // Status line, four ranges per header, blank line, content.
    ASSERT_EQ(firstBuffers.size(), 1 + 4 * first.headers.size() + 2);
    EXPECT_EQ(firstBuffers.front().data(), secondBuffers.front().data());
    EXPECT_EQ(firstBuffers[2].data(), secondBuffers[2].data());
    EXPECT_EQ(firstBuffers[3].data(), first.headers[0].value.data());
    EXPECT_EQ(firstBuffers.back().data(), first.content.data());
    EXPECT_EQ(firstBuffers.back().size(), 85U);
}

} // namespace
} // namespace http
