// Little-endian fields at every offset, and their round trips.
#include "Util/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace
{
class ByteOrderAtOffset : public ::testing::TestWithParam<std::uint32_t>
{
};

TEST_P(ByteOrderAtOffset, ReadsLowByteFirst)
{
    const std::uint32_t offset = GetParam();
    std::array<std::uint8_t, 16> buffer{};
    const std::uint8_t bytes[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    for (std::uint32_t i = 0; i < 8; ++i)
    {
        buffer[offset + i] = bytes[i];
    }
    EXPECT_EQ(0x0201u, Util::GetLittleEndianUInt16(buffer.data(), offset));
    EXPECT_EQ(0x04030201u, Util::GetLittleEndianUInt32(buffer.data(), offset));
    EXPECT_EQ(0x0807060504030201ull, Util::GetLittleEndianUInt64(buffer.data(), offset));
}

TEST_P(ByteOrderAtOffset, WritesLowByteFirstAndTouchesNothingElse)
{
    const std::uint32_t offset = GetParam();
    std::array<std::uint8_t, 16> buffer;
    buffer.fill(0xAA);
    Util::SetLittleEndianUInt64(buffer.data(), offset, 0x8877665544332211ull);
    for (std::uint32_t i = 0; i < buffer.size(); ++i)
    {
        const bool inside = (i >= offset) && (i < offset + 8);
        EXPECT_EQ(inside ? static_cast<std::uint8_t>(0x11 * (i - offset + 1)) : 0xAA, buffer[i]) << "byte " << i;
    }
    Util::SetLittleEndianUInt32(buffer.data(), offset, 0xFFFEFDFCu);
    EXPECT_EQ(0xFFFEFDFCu, Util::GetLittleEndianUInt32(buffer.data(), offset));
    EXPECT_EQ(0x8877665544332211ull >> 32, Util::GetLittleEndianUInt32(buffer.data(), offset + 4));
    Util::SetLittleEndianUInt16(buffer.data(), offset, 0xBEEF);
    EXPECT_EQ(0xEF, buffer[offset]);
    EXPECT_EQ(0xBE, buffer[offset + 1]);
}

INSTANTIATE_TEST_SUITE_P(EveryAlignment, ByteOrderAtOffset, ::testing::Values(0u, 1u, 2u, 3u, 5u, 7u, 8u));
} // namespace
