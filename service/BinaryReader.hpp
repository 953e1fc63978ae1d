#pragma once

#include <cstdint>

// Reads little-endian numbers forward over bytes it does not own. Every read is
// tested against the end first, so nothing past the end is ever touched.
class BinaryReader {
public:
    BinaryReader(const std::uint8_t* data, std::uint32_t length);

    // Throws std::out_of_range at the end.
    void advance();
    std::uint8_t readByte();
    std::uint16_t readUint16();
    // The four bytes as one 32-bit pattern.
    std::int32_t readInt32();
    std::uint32_t remaining() const;

private:
    const std::uint8_t* cursor;
    std::uint32_t position = 0;
    std::uint32_t length;
};
