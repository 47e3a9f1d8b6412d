// UDID entries written into a parameter stream and read back.
#include "Param/CParameterUdidWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Param/CByteArrayParameterReader.h"
#include "Param/CByteArrayParameterWriter.h"
#include "Param/CByteArrayWriterEventCode.h"
#include "Param/CParameterUdidReader.h"
#include "Param/CParameterWriterEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
TEST(CParameterUdidWriter, WritesIndexFromTheAddressSubIndexOneAndSixBytes)
{
    std::array<std::uint8_t, 26> buffer{};
    Param::CByteArrayParameterWriter bytes;
    bytes.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    Param::CParameterUdidWriter writer(bytes);
    const std::uint8_t udidA[6] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    const std::uint8_t udidB[6] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6};
    writer.Open();
    writer.WriteNext(1023u, udidA);
    writer.WriteNext(1u, udidB);
    EXPECT_EQ(26u, writer.GetContentLength());
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0u, udidA); }),
                             Param::CParameterWriterEventCode::InvalidSafetyAddress, 0u, 0u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(1024u, udidA); }),
                             Param::CParameterWriterEventCode::InvalidSafetyAddress, 0u, 1024u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(5u, udidA); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 26u, 26u);
    writer.Close();
    const std::vector<std::uint8_t> first = {0xFF, 0xCF, 0x01, 0x06, 0x00, 0x00, 0x00,
                                             0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    EXPECT_EQ(first, std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 13));

    Param::CByteArrayParameterReader stream;
    stream.Initialize(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    Param::CParameterUdidReader reader(stream);
    reader.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, udid));
    EXPECT_EQ(1023u, sadr);
    ASSERT_TRUE(reader.TryReadNext(sadr, udid));
    EXPECT_EQ(1u, sadr);
    EXPECT_EQ(0xB6u, udid[5]);
    EXPECT_FALSE(reader.TryReadNext(sadr, udid));
}
} // namespace
