#pragma once

#include "http/Reply.hpp"

#include <string>

namespace http {

// The bytes a reply puts on the wire.
inline std::string serialised(const Reply& reply)
{
    std::string bytes;
    for (const auto& buffer : reply.toBuffers()) {
        bytes.append(static_cast<const char*>(buffer.data()), buffer.size());
    }
    return bytes;
}

} // namespace http
