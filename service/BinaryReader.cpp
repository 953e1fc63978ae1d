#include "service/BinaryReader.hpp"

#include <stdexcept>

BinaryReader::BinaryReader(const std::uint8_t* data, std::uint32_t length)
    : cursor(data)
    , length(length)
{}

void BinaryReader::advance()
{
    if (position >= length) {
        throw std::out_of_range("BinaryReader position is out of range");
    }
    ++cursor;
    ++position;
}

std::uint8_t BinaryReader::readByte()
{
    const std::uint8_t* byte = cursor;
    advance(); // throws at the end, before the byte is read
    return *byte;
}

std::uint16_t BinaryReader::readUint16()
{
    const std::uint16_t low = readByte();
    const std::uint16_t high = readByte();
    return static_cast<std::uint16_t>(low | high << 8);
}

std::int32_t BinaryReader::readInt32()
{
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        value |= static_cast<std::uint32_t>(readByte()) << shift;
    }
    return static_cast<std::int32_t>(value);
}

std::uint32_t BinaryReader::remaining() const
{
    return length - position;
}
