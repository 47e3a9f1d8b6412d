// Minor revision records read in place: records, trailing fragments, the safety address range, misuse.
#include "Param/CByteArrayMinorRevisionReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;

TEST(CByteArrayMinorRevisionReader, DeliversRecordsAndIgnoresATrailingFragment)
{
    const Bytes bytes = {0x01, 0x00, 0x34, 0x12, 0xFF, 0x03, 0x00, 0x00, 0x05, 0x00, 0x07};
    Param::CByteArrayMinorRevisionReader reader;
    reader.Initialize(static_cast<std::uint32_t>(bytes.size()), bytes.data());
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint16_t minor = 0;
    ASSERT_TRUE(reader.TryReadNext(sadr, minor));
    EXPECT_EQ(1u, sadr);
    EXPECT_EQ(0x1234u, minor);
    ASSERT_TRUE(reader.TryReadNext(sadr, minor));
    EXPECT_EQ(1023u, sadr);
    EXPECT_EQ(0u, minor);
    EXPECT_FALSE(reader.TryReadNext(sadr, minor));
    reader.Close();
    reader.Open();
    ASSERT_TRUE(reader.TryReadNext(sadr, minor));
    EXPECT_EQ(1u, sadr) << "a new Open() starts from the beginning";
}

TEST(CByteArrayMinorRevisionReader, RefusesSafetyAddressesOutsideTheRange)
{
    for (const std::uint16_t address : {std::uint16_t{0u}, std::uint16_t{1024u}, std::uint16_t{0x8001u}})
    {
        const Bytes record = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 1, 0};
        Param::CByteArrayMinorRevisionReader reader;
        reader.Initialize(4u, record.data());
        reader.Open();
        std::uint16_t sadr = 0;
        std::uint16_t minor = 0;
        Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, minor); }),
                                 Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, address);
    }
}

TEST(CByteArrayMinorRevisionReader, MisuseRaisesTheGuard)
{
    const char* const file = "CByteArrayMinorRevisionReader.cpp";
    const Bytes bytes = {1, 0, 1, 0};
    std::uint16_t sadr = 0;
    std::uint16_t minor = 0;
    Param::CByteArrayMinorRevisionReader reader;
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(4u, nullptr); }), file);
    reader.Initialize(4u, bytes.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)reader.TryReadNext(sadr, minor); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), file);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(4u, bytes.data()); }), file);
}
} // namespace
