// The SOD parameter stream written into a buffer: round trip through the reader, the room check, misuse.
#include "Param/CByteArrayParameterWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Param/CByteArrayParameterReader.h"
#include "Param/CByteArrayWriterEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
TEST(CByteArrayParameterWriter, WritesRecordsThatTheReaderDeliversBack)
{
    std::array<std::uint8_t, 64> buffer{};
    const std::uint8_t udid[6] = {1, 2, 3, 4, 5, 6};
    const std::uint8_t flag = 1;
    Param::CByteArrayParameterWriter writer;
    writer.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    writer.Open();
    writer.WriteNext(0xCFFFu, 1u, 6u, udid);
    EXPECT_EQ(13u, writer.GetContentLength());
    writer.WriteNext(0x210Bu, 3u, 1u, &flag);
    writer.WriteNext(0x0001u, 0u, 0u, &flag);
    const std::uint32_t written = writer.GetContentLength();
    writer.Close();
    EXPECT_EQ(13u + 8u + 7u, written);
    const std::vector<std::uint8_t> expectedFirst = {0xFF, 0xCF, 0x01, 0x06, 0x00, 0x00, 0x00, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(expectedFirst, std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 13));

    Param::CByteArrayParameterReader reader;
    reader.Initialize(written, buffer.data());
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0x210Bu, index);
    EXPECT_EQ(3u, subIndex);
    ASSERT_EQ(1u, length);
    EXPECT_EQ(1u, data[0]);
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0u, length);
    EXPECT_FALSE(reader.TryReadNext(index, subIndex, length, data));

    writer.Open();
    EXPECT_EQ(0u, writer.GetContentLength()) << "a new Open() writes from the buffer start again";
}

TEST(CByteArrayParameterWriter, RecordThatDoesNotFitIsRefusedAndNothingIsWritten)
{
    std::array<std::uint8_t, 20> buffer;
    buffer.fill(0x5A);
    const std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    Param::CByteArrayParameterWriter writer;
    writer.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    writer.Open();
    writer.WriteNext(0x1000u, 1u, 6u, data);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0x1000u, 2u, 1u, data); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 13u, 20u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0x1000u, 2u, 0xFFFFFFFFu, data); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 13u, 20u);
    for (std::size_t i = 13; i < buffer.size(); ++i)
    {
        EXPECT_EQ(0x5A, buffer[i]) << "byte " << i;
    }
    EXPECT_EQ(13u, writer.GetContentLength());
    writer.WriteNext(0x1000u, 2u, 0u, data);
    EXPECT_EQ(20u, writer.GetContentLength()) << "a record that fills the buffer exactly fits";
}

TEST(CByteArrayParameterWriter, MisuseRaisesTheGuard)
{
    const char* const file = "CByteArrayParameterWriter.cpp";
    std::array<std::uint8_t, 16> buffer{};
    const std::uint8_t data = 0;
    Param::CByteArrayParameterWriter writer;
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Initialize(16u, nullptr); }), file);
    writer.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.WriteNext(1u, 1u, 1u, &data); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)writer.GetContentLength(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Close(); }), file);
    writer.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.WriteNext(1u, 1u, 0u, nullptr); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { writer.Initialize(16u, buffer.data()); }), file);
}
} // namespace
