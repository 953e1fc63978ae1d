#pragma once

#include "http/Header.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace http {

// A parsed request head. The URI is kept exactly as received, still percent-encoded.
struct Request {
    std::string method;
    std::string uri;
    std::int32_t versionMajor = 0;
    std::int32_t versionMinor = 0;
    std::vector<Header> headers;

    bool operator==(const Request&) const = default;
};

} // namespace http
