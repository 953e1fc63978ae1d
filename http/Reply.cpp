#include "http/Reply.hpp"

#include <algorithm>
#include <array>
#include <utility>

namespace http {
namespace {

struct StatusText {
    StatusType status;
    std::string_view line;
    std::string_view body;
};

// Status lines and stock bodies, byte for byte as clients have always received them
// (the 204 page's heading included).
constexpr std::array statusTexts{
    StatusText{StatusType::ok, "HTTP/1.0 200 OK\r\n", ""},
    StatusText{StatusType::created, "HTTP/1.0 201 Created\r\n",
               "<html><head><title>Created</title></head><body><h1>201 Created</h1></body></html>"},
    StatusText{
        StatusType::accepted, "HTTP/1.0 202 Accepted\r\n",
        "<html><head><title>Accepted</title></head><body><h1>202 Accepted</h1></body></html>"},
    StatusText{
        StatusType::noContent, "HTTP/1.0 204 No Content\r\n",
        "<html><head><title>No Content</title></head><body><h1>204 Content</h1></body></html>"},
    StatusText{StatusType::multipleChoices, "HTTP/1.0 300 Multiple Choices\r\n",
               "<html><head><title>Multiple Choices</title></head><body><h1>300 Multiple "
               "Choices</h1></body></html>"},
    StatusText{StatusType::movedPermanently, "HTTP/1.0 301 Moved Permanently\r\n",
               "<html><head><title>Moved Permanently</title></head><body><h1>301 Moved "
               "Permanently</h1></body></html>"},
    StatusText{StatusType::movedTemporarily, "HTTP/1.0 302 Moved Temporarily\r\n",
               "<html><head><title>Moved Temporarily</title></head><body><h1>302 Moved "
               "Temporarily</h1></body></html>"},
    StatusText{StatusType::notModified, "HTTP/1.0 304 Not Modified\r\n",
               "<html><head><title>Not Modified</title></head><body><h1>304 Not "
               "Modified</h1></body></html>"},
    StatusText{StatusType::badRequest, "HTTP/1.0 400 Bad Request\r\n",
               "<html><head><title>Bad Request</title></head><body><h1>400 Bad "
               "Request</h1></body></html>"},
    StatusText{StatusType::unauthorized, "HTTP/1.0 401 Unauthorized\r\n",
               "<html><head><title>Unauthorized</title></head><body><h1>401 "
               "Unauthorized</h1></body></html>"},
    StatusText{
        StatusType::forbidden, "HTTP/1.0 403 Forbidden\r\n",
        "<html><head><title>Forbidden</title></head><body><h1>403 Forbidden</h1></body></html>"},
    StatusText{
        StatusType::notFound, "HTTP/1.0 404 Not Found\r\n",
        "<html><head><title>Not Found</title></head><body><h1>404 Not Found</h1></body></html>"},
    StatusText{StatusType::internalServerError, "HTTP/1.0 500 Internal Server Error\r\n",
               "<html><head><title>Internal Server Error</title></head><body><h1>500 Internal "
               "Server Error</h1></body></html>"},
    StatusText{StatusType::notImplemented, "HTTP/1.0 501 Not Implemented\r\n",
               "<html><head><title>Not Implemented</title></head><body><h1>501 Not "
               "Implemented</h1></body></html>"},
    StatusText{StatusType::badGateway, "HTTP/1.0 502 Bad Gateway\r\n",
               "<html><head><title>Bad Gateway</title></head><body><h1>502 Bad "
               "Gateway</h1></body></html>"},
    StatusText{StatusType::serviceUnavailable, "HTTP/1.0 503 Service Unavailable\r\n",
               "<html><head><title>Service Unavailable</title></head><body><h1>503 Service "
               "Unavailable</h1></body></html>"},
};

constexpr std::string_view nameValueSeparator = ": ";
constexpr std::string_view lineEnd = "\r\n";
constexpr std::string_view stockContentType = "text/html";
constexpr std::size_t contentHeaderCount = 2;

const StatusText& textOf(StatusType status)
{
    const auto found =
        std::find_if(statusTexts.begin(), statusTexts.end(),
                     [status](const StatusText& text) { return text.status == status; });
    if (found != statusTexts.end()) {
        return *found;
    }
    return textOf(StatusType::internalServerError);
}

boost::asio::const_buffer bufferOf(std::string_view text)
{
    return boost::asio::buffer(text.data(), text.size());
}

} // namespace

Reply::Reply(StatusType status, std::string content, std::string_view contentType)
    : status(status)
    , content(std::move(content))
{
    setContentHeaders(contentType);
}

void Reply::setContentHeaders(std::string_view contentType)
{
    headers.resize(contentHeaderCount);
    headers[0] = Header{"Content-Length", std::to_string(content.size())};
    headers[1] = Header{"Content-Type", std::string(contentType)};
}

std::vector<boost::asio::const_buffer> Reply::toBuffers() const
{
    std::vector<boost::asio::const_buffer> buffers;
    buffers.push_back(bufferOf(textOf(status).line));
    for (const auto& header : headers) {
        buffers.push_back(bufferOf(header.name));
        buffers.push_back(bufferOf(nameValueSeparator));
        buffers.push_back(bufferOf(header.value));
        buffers.push_back(bufferOf(lineEnd));
    }
    buffers.push_back(bufferOf(lineEnd));
    buffers.push_back(bufferOf(content));
    return buffers;
}

Reply stockReply(StatusType status)
{
    return Reply(status, std::string(textOf(status).body), stockContentType);
}

} // namespace http
