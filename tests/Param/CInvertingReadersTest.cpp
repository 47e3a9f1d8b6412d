// The inverting decorators: every value but the safety address complemented, Booleans negated, the checksum limit.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "Param/CByteArrayMinorRevisionReader.h"
#include "Param/CByteArrayUdidReader.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CInvertingCommissioningFlagReader.h"
#include "Param/CInvertingConfigurationDataReader.h"
#include "Param/CInvertingFirmwareVersionReader.h"
#include "Param/CInvertingMinorRevisionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CInvertingUdidReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "Param/CParameterConfigurationDataReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
TEST(CInvertingUdidReader, ComplementsTheUdidIntoItsOwnBuffer)
{
    const std::array<std::uint8_t, 8> record = {0x05, 0x00, 0x00, 0xFF, 0x0F, 0xF0, 0x5A, 0xA5};
    Param::CByteArrayUdidReader plain;
    plain.Initialize(8u, record.data());
    Param::CInvertingUdidReader reader(plain);
    reader.Open();
    std::uint16_t sadr = 0;
    const std::uint8_t* invertedUdid = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, invertedUdid));
    EXPECT_EQ(5u, sadr);
    const std::array<std::uint8_t, 6> expected = {0xFF, 0x00, 0xF0, 0x0F, 0xA5, 0x5A};
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(expected[i], invertedUdid[i]) << "byte " << i;
    }
    EXPECT_NE(record.data() + 2, invertedUdid) << "the plain buffer is left as it is";
    EXPECT_FALSE(reader.TryReadNext(sadr, invertedUdid));
    reader.Close();
}

TEST(CInvertingMinorRevisionReader, ComplementsTheRevision)
{
    const std::array<std::uint8_t, 8> records = {0x01, 0x00, 0x00, 0x00, 0xFF, 0x03, 0x34, 0x12};
    Param::CByteArrayMinorRevisionReader plain;
    plain.Initialize(8u, records.data());
    Param::CInvertingMinorRevisionReader reader(plain);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint16_t invertedMinor = 0;
    ASSERT_TRUE(reader.TryReadNext(sadr, invertedMinor));
    EXPECT_EQ(1u, sadr);
    EXPECT_EQ(0xFFFFu, invertedMinor);
    ASSERT_TRUE(reader.TryReadNext(sadr, invertedMinor));
    EXPECT_EQ(1023u, sadr);
    EXPECT_EQ(0xEDCBu, invertedMinor);
    EXPECT_FALSE(reader.TryReadNext(sadr, invertedMinor));
    reader.Close();
}

TEST(CInvertingFirmwareVersionReader, ComplementsVendorProductAndBothRevisions)
{
    Support::CParameterStreamBuilder builder;
    builder.AddModule({12u, 0x11223344u, 0x0000FFFFu, 0x0102u, 0xF0F0u, {}});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterFirmwareVersionReader plain(stream.m_reader);
    Param::CInvertingFirmwareVersionReader reader(plain);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint32_t vendorId = 0;
    std::uint32_t productCode = 0;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    ASSERT_TRUE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
    EXPECT_EQ(12u, sadr);
    EXPECT_EQ(0xEEDDCCBBu, vendorId);
    EXPECT_EQ(0xFFFF0000u, productCode);
    EXPECT_EQ(0xFEFDu, major);
    EXPECT_EQ(0x0F0Fu, minor);
    EXPECT_FALSE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
    reader.Close();
}

class CInvertingParameterChecksumLength : public ::testing::TestWithParam<std::uint32_t>
{
};

TEST_P(CInvertingParameterChecksumLength, ComplementsUpToTwoHundredFiftySixBytesAndRefusesMore)
{
    const std::uint32_t length = GetParam();
    Support::Bytes checksum(length);
    for (std::uint32_t i = 0; i < length; ++i)
    {
        checksum[i] = static_cast<std::uint8_t>(i);
    }
    Support::CParameterStreamBuilder builder;
    builder.AddModule({40u, 0u, 0u, 0u, 0u, checksum});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterParameterChecksumReader plain(stream.m_reader);
    Param::CInvertingParameterChecksumReader reader(plain);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint32_t checksumLength = 0;
    const std::uint8_t* invertedChecksum = nullptr;
    if (length > 256u)
    {
        Support::ExpectException(
            Support::CaptureException([&] { (void)reader.TryReadNext(sadr, checksumLength, invertedChecksum); }),
            Param::CParameterReaderEventCode::InvalidLength, 14u, length);
        EXPECT_TRUE(stream.IsClosed());
        return;
    }
    ASSERT_TRUE(reader.TryReadNext(sadr, checksumLength, invertedChecksum));
    EXPECT_EQ(40u, sadr);
    ASSERT_EQ(length, checksumLength);
    for (std::uint32_t i = 0; i < length; ++i)
    {
        ASSERT_EQ(static_cast<std::uint8_t>(~i), invertedChecksum[i]) << "byte " << i;
    }
    EXPECT_FALSE(reader.TryReadNext(sadr, checksumLength, invertedChecksum));
    reader.Close();
}

INSTANTIATE_TEST_SUITE_P(Lengths, CInvertingParameterChecksumLength, ::testing::Values(4u, 252u, 256u, 260u, 1024u));

TEST(CInvertingCommissioningFlagReader, NegatesEveryFlagAndForwardsTheEnd)
{
    Support::CParameterStreamBuilder builder;
    builder.AddCommissioningFlags(true, false, true);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterCommissioningFlagReader plain(stream.m_reader);
    Param::CInvertingCommissioningFlagReader reader(plain);
    reader.Open();
    bool invertedSetup = true;
    bool invertedTessera = true;
    bool invertedFirmware = false;
    ASSERT_TRUE(reader.TryReadNext(invertedSetup, invertedTessera, invertedFirmware));
    EXPECT_FALSE(invertedSetup);
    EXPECT_FALSE(invertedTessera);
    EXPECT_TRUE(invertedFirmware);
    EXPECT_FALSE(reader.TryReadNext(invertedSetup, invertedTessera, invertedFirmware));
    reader.Close();
}

TEST(CInvertingConfigurationDataReader, NegatesTheFlag)
{
    for (const bool active : {false, true})
    {
        Support::CParameterStreamBuilder builder;
        builder.AddConfigurationData(active);
        StreamTest::CParameterStream stream(builder);
        Param::CParameterConfigurationDataReader plain(stream.m_reader);
        Param::CInvertingConfigurationDataReader reader(plain);
        reader.Open();
        bool inverted = active;
        ASSERT_TRUE(reader.TryReadNext(inverted));
        EXPECT_EQ(!active, inverted);
        EXPECT_FALSE(reader.TryReadNext(inverted));
        reader.Close();
    }
}

TEST(CInvertingAdditionalParameterHeaderReader, ComplementsTheSixteenHeaderBytesOnly)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = 700u;
    parameter.m_parameterNumber = 9u;
    parameter.m_data = {0xAA, 0xBB};
    parameter.m_timestamp = 0xCAFEF00Du;
    Support::CParameterStreamBuilder builder;
    builder.AddAdditionalParameter(parameter);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterAdditionalParameterHeaderReader plain(stream.m_reader);
    Param::CInvertingAdditionalParameterHeaderReader reader(plain);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, number, invertedHeader));
    EXPECT_EQ(700u, sadr);
    EXPECT_EQ(9u, number);
    const Support::Bytes header = Support::BuildAdditionalParameterHeader(parameter);
    for (std::size_t i = 0; i < 16u; ++i)
    {
        EXPECT_EQ(static_cast<std::uint8_t>(~header[i]), invertedHeader[i]) << "byte " << i;
    }
    EXPECT_FALSE(reader.TryReadNext(sadr, number, invertedHeader));
    reader.Close();
}
} // namespace
