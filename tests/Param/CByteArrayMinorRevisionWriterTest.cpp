// Minor revision records written into a buffer: layout, the room check before the address check, misuse.
#include "Param/CByteArrayMinorRevisionWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Param/CByteArrayWriterEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
TEST(CByteArrayMinorRevisionWriter, WritesLittleEndianRecordsInTheOrderGiven)
{
    std::array<std::uint8_t, 8> buffer{};
    Param::CByteArrayMinorRevisionWriter writer;
    writer.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    writer.Open();
    writer.WriteNext(1023u, 0xBEEFu);
    writer.WriteNext(1u, 0u);
    EXPECT_EQ(8u, writer.GetContentLength());
    writer.Close();
    const std::array<std::uint8_t, 8> expected = {0xFF, 0x03, 0xEF, 0xBE, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(expected, buffer);
}

TEST(CByteArrayMinorRevisionWriter, ChecksTheRoomBeforeTheSafetyAddress)
{
    std::array<std::uint8_t, 6> buffer;
    buffer.fill(0x5A);
    Param::CByteArrayMinorRevisionWriter writer;
    writer.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    writer.Open();
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0u, 1u); }),
                             Param::CByteArrayWriterEventCode::InvalidSafetyAddress, 0u, 0u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(1024u, 1u); }),
                             Param::CByteArrayWriterEventCode::InvalidSafetyAddress, 0u, 1024u);
    EXPECT_EQ(0u, writer.GetContentLength());
    writer.WriteNext(7u, 1u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0u, 1u); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 4u, 6u);
    EXPECT_EQ(0x5A, buffer[4]);
    EXPECT_EQ(0x5A, buffer[5]);
}

TEST(CByteArrayMinorRevisionWriter, MisuseRaisesTheGuard)
{
    const char* const file = "CByteArrayMinorRevisionWriter.cpp";
    std::array<std::uint8_t, 4> buffer{};
    Param::CByteArrayMinorRevisionWriter writer;
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Initialize(4u, nullptr); }), file);
    writer.Initialize(4u, buffer.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.WriteNext(1u, 1u); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)writer.GetContentLength(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Close(); }), file);
    writer.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Initialize(4u, buffer.data()); }), file);
}
} // namespace
