#pragma once

#include "http/Header.hpp"

#include <string>
#include <string_view>
#include <vector>

#include <boost/asio/buffer.hpp>

namespace http {

// The status codes a reply can carry; each value is the code itself.
enum class StatusType : int {
    ok = 200,
    created = 201,
    accepted = 202,
    noContent = 204,
    multipleChoices = 300,
    movedPermanently = 301,
    movedTemporarily = 302,
    notModified = 304,
    badRequest = 400,
    unauthorized = 401,
    forbidden = 403,
    notFound = 404,
    internalServerError = 500,
    notImplemented = 501,
    badGateway = 502,
    serviceUnavailable = 503,
};

// One HTTP/1.0 reply, built in memory and written in one gathered write.
struct Reply {
    Reply() = default;
    // Stores the status and the body and sets the two content headers.
    Reply(StatusType status, std::string content, std::string_view contentType);

    // Makes the headers exactly Content-Length (of the content as it is now) and
    // Content-Type.
    void setContentHeaders(std::string_view contentType);

    // The reply as byte ranges: status line, headers, blank line, content. They point
    // into this reply and into static constants, so the reply must stay alive and
    // unchanged until the write that uses them has completed.
    std::vector<boost::asio::const_buffer> toBuffers() const;

    // A code outside the enumeration is written as 500.
    StatusType status{};
    std::vector<Header> headers;
    std::string content;
};

// The status with its fixed HTML page as a "text/html" reply.
Reply stockReply(StatusType status);

} // namespace http
