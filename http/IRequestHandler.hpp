#pragma once

#include "http/Reply.hpp"
#include "http/Request.hpp"

namespace http {

// Answers one parsed request by filling the reply completely: status, headers, content.
class IRequestHandler {
public:
    virtual ~IRequestHandler() = default;

    virtual void handleRequest(const Request& request, Reply& reply) = 0;
};

} // namespace http
