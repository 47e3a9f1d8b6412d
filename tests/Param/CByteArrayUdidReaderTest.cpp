// UDID records read in place: trailing fragments, the safety address range, misuse.
#include "Param/CByteArrayUdidReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;

Bytes MakeRecords(std::uint32_t count)
{
    Bytes bytes;
    for (std::uint32_t i = 1; i <= count; ++i)
    {
        const auto sadr = static_cast<std::uint16_t>(i * 100u);
        bytes.push_back(static_cast<std::uint8_t>(sadr));
        bytes.push_back(static_cast<std::uint8_t>(sadr >> 8));
        for (std::uint8_t b = 0; b < 6; ++b)
        {
            bytes.push_back(static_cast<std::uint8_t>(i * 16u + b));
        }
    }
    return bytes;
}

TEST(CByteArrayUdidReader, TrailingFragmentEndsTheStreamWithoutError)
{
    Bytes bytes = MakeRecords(3);
    bytes.insert(bytes.end(), {0x01, 0x00, 0x77}); // 8n + 3 bytes
    Param::CByteArrayUdidReader reader;
    reader.Initialize(static_cast<std::uint32_t>(bytes.size()), bytes.data());
    reader.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    for (std::uint32_t i = 1; i <= 3; ++i)
    {
        ASSERT_TRUE(reader.TryReadNext(sadr, udid)) << "record " << i;
        EXPECT_EQ(i * 100u, sadr);
        EXPECT_EQ(bytes.data() + (i - 1u) * 8u + 2u, udid);
    }
    EXPECT_FALSE(reader.TryReadNext(sadr, udid));
    reader.Close();
}

TEST(CByteArrayUdidReader, EmptyBufferEndsAtOnce)
{
    const std::uint8_t anything = 0;
    Param::CByteArrayUdidReader reader;
    reader.Initialize(0u, &anything);
    reader.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    EXPECT_FALSE(reader.TryReadNext(sadr, udid));
}

class CByteArrayUdidReaderAddress : public ::testing::TestWithParam<std::uint16_t>
{
};

TEST_P(CByteArrayUdidReaderAddress, AcceptsOneToOneThousandTwentyThree)
{
    const std::uint16_t address = GetParam();
    const Bytes record = {
        static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 1, 2, 3, 4, 5, 6};
    Param::CByteArrayUdidReader reader;
    reader.Initialize(8u, record.data());
    reader.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    if ((address >= 1u) && (address <= 1023u))
    {
        ASSERT_TRUE(reader.TryReadNext(sadr, udid));
        EXPECT_EQ(address, sadr);
    }
    else
    {
        Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, udid); }),
                                 Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, address);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, CByteArrayUdidReaderAddress,
                         ::testing::Values<std::uint16_t>(0u, 1u, 1023u, 1024u, 0xFFFFu));

TEST(CByteArrayUdidReader, MisuseRaisesTheGuard)
{
    const char* const file = "CByteArrayUdidReader.cpp";
    const Bytes bytes = MakeRecords(1);
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    Param::CByteArrayUdidReader reader;
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(8u, nullptr); }), file);
    reader.Initialize(8u, bytes.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)reader.TryReadNext(sadr, udid); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), file);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(8u, bytes.data()); }), file);
}
} // namespace
