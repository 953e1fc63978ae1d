#include "service/BinaryReader.hpp"

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

// Exactly as many bytes on the heap as the reader is told of, so that the address
// sanitizer catches any read past the end.
std::unique_ptr<std::uint8_t[]> bytesOf(std::initializer_list<std::uint8_t> bytes)
{
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return copy;
}

void expectOutOfRange(BinaryReader& reader, void (*read)(BinaryReader&))
{
    try {
        read(reader);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "BinaryReader position is out of range");
    }
}

TEST(BinaryReader, ReadsLittleEndianNumbersInOrder)
{
    const auto data = bytesOf({0x07, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF});
    BinaryReader reader(data.get(), 11);
    EXPECT_EQ(reader.remaining(), 11u);
    EXPECT_EQ(reader.readByte(), 0x07);
    EXPECT_EQ(reader.readUint16(), 0x1234);
    EXPECT_EQ(reader.remaining(), 8u);
    EXPECT_EQ(reader.readInt32(), 0x12345678);
    EXPECT_EQ(reader.readInt32(), -1);
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(BinaryReader, ReadingPastTheEndThrowsWithoutTouchingMemoryBeyond)
{
    const auto data = bytesOf({0x01});
    BinaryReader reader(data.get(), 1);
    expectOutOfRange(reader, [](BinaryReader& r) { r.readUint16(); });
    EXPECT_EQ(reader.remaining(), 0u);
    expectOutOfRange(reader, [](BinaryReader& r) { r.readByte(); });
    expectOutOfRange(reader, [](BinaryReader& r) { r.readInt32(); });
    expectOutOfRange(reader, [](BinaryReader& r) { r.advance(); });
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(BinaryReader, EmptyRangeIsNeverRead)
{
    BinaryReader reader(nullptr, 0);
    EXPECT_EQ(reader.remaining(), 0u);
    expectOutOfRange(reader, [](BinaryReader& r) { r.readByte(); });
}

} // namespace
