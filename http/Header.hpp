#pragma once

#include <string>

namespace http {

// One header line of a request or a reply, as bytes on the wire.
struct Header {
    std::string name;
    std::string value;

    bool operator==(const Header&) const = default;
};

} // namespace http
