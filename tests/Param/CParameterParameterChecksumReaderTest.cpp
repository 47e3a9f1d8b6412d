// Parameter checksums out of a parameter stream: accepted lengths, the order refusal, addresses.
#include "Param/CParameterParameterChecksumReader.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "Param/CParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
class CParameterChecksumLength : public ::testing::TestWithParam<std::uint32_t>
{
};

TEST_P(CParameterChecksumLength, AcceptsPositiveMultiplesOfFourOnly)
{
    const std::uint32_t length = GetParam();
    Support::CParameterStreamBuilder builder;
    builder.AddRecord(0xC409u, 1u, {0x09, 0x00});
    builder.AddRecord(0xC409u, 14u, Support::Bytes(length, 0x3C));
    StreamTest::CParameterStream stream(builder);
    Param::CParameterParameterChecksumReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint32_t checksumLength = 0;
    const std::uint8_t* checksum = nullptr;
    if ((length >= 4u) && (length % 4u == 0u))
    {
        ASSERT_TRUE(reader.TryReadNext(sadr, checksumLength, checksum));
        EXPECT_EQ(9u, sadr);
        EXPECT_EQ(length, checksumLength);
        EXPECT_EQ(stream.m_bytes.data() + 9u + 7u, checksum) << "handed out in place";
        EXPECT_FALSE(reader.TryReadNext(sadr, checksumLength, checksum));
        reader.Close();
        return;
    }
    Support::ExpectException(
        Support::CaptureException([&] { (void)reader.TryReadNext(sadr, checksumLength, checksum); }),
        Param::CParameterReaderEventCode::InvalidLength, 14u, length);
    EXPECT_TRUE(stream.IsClosed());
}

INSTANTIATE_TEST_SUITE_P(Lengths, CParameterChecksumLength, ::testing::Values(4u, 8u, 256u, 260u, 0u, 2u, 6u, 257u));

TEST(CParameterParameterChecksumReader, ChecksumBeforeTheAddressOfItsIndexIsRefused)
{
    for (const bool otherIndexFirst : {false, true})
    {
        Support::CParameterStreamBuilder builder;
        if (otherIndexFirst)
        {
            builder.AddRecord(0xC401u, 1u, {0x02, 0x00}); // the mark belongs to 0xC401 only
        }
        builder.AddRecord(0xC402u, 14u, {1, 2, 3, 4});
        StreamTest::CParameterStream stream(builder);
        Param::CParameterParameterChecksumReader reader(stream.m_reader);
        reader.Open();
        std::uint16_t sadr = 0;
        std::uint32_t checksumLength = 0;
        const std::uint8_t* checksum = nullptr;
        Support::ExpectException(
            Support::CaptureException([&] { (void)reader.TryReadNext(sadr, checksumLength, checksum); }),
            Param::CParameterReaderEventCode::WrongOrder, 0u, 0xC402u);
        EXPECT_TRUE(stream.IsClosed());
    }
}

TEST(CParameterParameterChecksumReader, ModulesWithoutChecksumAreSkippedAndAddressesChecked)
{
    Support::CParameterStreamBuilder builder;
    builder.AddModule({3u, 1u, 2u, 3u, 4u, {}});
    builder.AddModule({4u, 1u, 2u, 3u, 4u, {0xDE, 0xAD, 0xBE, 0xEF}});
    builder.AddRecord(0xC7FEu, 1u, {0x00, 0x04});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterParameterChecksumReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint32_t checksumLength = 0;
    const std::uint8_t* checksum = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, checksumLength, checksum));
    EXPECT_EQ(4u, sadr);
    EXPECT_EQ(0xEFu, checksum[3]);
    Support::ExpectException(
        Support::CaptureException([&] { (void)reader.TryReadNext(sadr, checksumLength, checksum); }),
        Param::CParameterReaderEventCode::InvalidSafetyAddress, 0u, 1024u);
}
} // namespace
