#pragma once

#include <cstdint>

// Receives each command datagram. The bytes are valid only during the call: the
// listener reuses its buffer for the next datagram.
class IMessageHandler {
public:
    virtual ~IMessageHandler() = default;

    virtual void handleMessage(const std::uint8_t* data, std::uint32_t length) = 0;
};
