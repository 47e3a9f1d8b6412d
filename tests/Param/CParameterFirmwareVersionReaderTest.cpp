// Firmware versions out of a parameter stream: entry orders, lengths, addresses and the order refusal.
#include "Param/CParameterFirmwareVersionReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Param/CParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
using Support::Bytes;

struct CEntry
{
    std::uint16_t m_index;
    std::uint8_t m_subIndex;
    Bytes m_data;
};

const Bytes Sadr7 = {0x07, 0x00};
const Bytes Vendor = {0x44, 0x33, 0x22, 0x11};
const Bytes Product = {0x88, 0x77, 0x66, 0x55};
const Bytes Revision = {0x02, 0x00, 0x05, 0x00}; // minor 2, major 5

struct COrderCase
{
    const char* m_name;
    std::vector<CEntry> m_entries;
    std::uint16_t m_code = 0u; // 0: one version of SADR 7 is delivered
    std::uint16_t m_information0 = 0u;
    std::uint32_t m_information1 = 0u;
};

class CParameterFirmwareVersionReaderCase : public ::testing::TestWithParam<COrderCase>
{
};

TEST_P(CParameterFirmwareVersionReaderCase, DeliversOrRefusesAsTheEntriesDemand)
{
    const COrderCase& order = GetParam();
    Support::CParameterStreamBuilder builder;
    for (const CEntry& entry : order.m_entries)
    {
        builder.AddRecord(entry.m_index, entry.m_subIndex, entry.m_data);
    }
    StreamTest::CParameterStream stream(builder);
    Param::CParameterFirmwareVersionReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint32_t vendorId = 0;
    std::uint32_t productCode = 0;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    if (order.m_code == 0u)
    {
        ASSERT_TRUE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
        EXPECT_EQ(7u, sadr);
        EXPECT_EQ(0x11223344u, vendorId);
        EXPECT_EQ(0x55667788u, productCode);
        EXPECT_EQ(5u, major);
        EXPECT_EQ(2u, minor);
        EXPECT_FALSE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
        reader.Close();
        return;
    }
    Support::ExpectException(Support::CaptureException(
                                 [&]
                                 {
                                     while (reader.TryReadNext(sadr, vendorId, productCode, major, minor))
                                     {
                                     }
                                 }),
                             order.m_code, order.m_information0, order.m_information1);
    EXPECT_TRUE(stream.IsClosed());
}

constexpr std::uint16_t WrongOrder = Param::CParameterReaderEventCode::WrongOrder;
constexpr std::uint16_t InvalidLength = Param::CParameterReaderEventCode::InvalidLength;
constexpr std::uint16_t InvalidSafetyAddress = Param::CParameterReaderEventCode::InvalidSafetyAddress;

INSTANTIATE_TEST_SUITE_P(
    Orders, CParameterFirmwareVersionReaderCase,
    ::testing::Values(
        COrderCase{"InOrder", {{0xC407, 1, Sadr7}, {0xC407, 2, Vendor}, {0xC407, 3, Product}, {0xC407, 4, Revision}}},
        COrderCase{"SadrAfterVendorAndProduct",
                   {{0xC407, 2, Vendor}, {0xC407, 3, Product}, {0xC407, 1, Sadr7}, {0xC407, 4, Revision}}},
        COrderCase{"OtherRecordsBetween",
                   {{0xC407, 1, Sadr7},
                    {0x1000, 4, {1}},
                    {0xC407, 14, {1, 2, 3, 4}},
                    {0xC407, 2, Vendor},
                    {0xC7FF, 4, {1}},
                    {0xC407, 3, Product},
                    {0xC407, 4, Revision}}},
        COrderCase{"ProductCodeMissing",
                   {{0xC407, 1, Sadr7}, {0xC407, 2, Vendor}, {0xC407, 4, Revision}},
                   WrongOrder,
                   0u,
                   0xC407u},
        COrderCase{"RevisionOfANewIndexAfterACompleteModule",
                   {{0xC407, 1, Sadr7},
                    {0xC407, 2, Vendor},
                    {0xC407, 3, Product},
                    {0xC407, 4, Revision},
                    {0xC408, 4, Revision}},
                   WrongOrder,
                   0u,
                   0xC408u},
        COrderCase{"MarksDoNotSurviveAChangeOfIndex",
                   {{0xC407, 1, Sadr7},
                    {0xC407, 2, Vendor},
                    {0xC408, 1, {0x08, 0x00}},
                    {0xC407, 3, Product},
                    {0xC407, 4, Revision}},
                   WrongOrder,
                   0u,
                   0xC407u},
        COrderCase{"SadrOfThreeBytes", {{0xC407, 1, {7, 0, 0}}}, InvalidLength, 1u, 3u},
        COrderCase{"VendorOfTwoBytes", {{0xC407, 2, {1, 2}}}, InvalidLength, 2u, 2u},
        COrderCase{"ProductOfFiveBytes", {{0xC407, 3, {1, 2, 3, 4, 5}}}, InvalidLength, 3u, 5u},
        COrderCase{"RevisionOfTwoBytes", {{0xC407, 4, {1, 2}}}, InvalidLength, 4u, 2u},
        COrderCase{"SadrZero", {{0xC407, 1, {0, 0}}}, InvalidSafetyAddress, 0u, 0u},
        COrderCase{"Sadr1024", {{0xC407, 1, {0, 4}}}, InvalidSafetyAddress, 0u, 1024u}),
    [](const ::testing::TestParamInfo<COrderCase>& order) { return std::string(order.param.m_name); });

TEST(CParameterFirmwareVersionReader, OneCallPerModuleOverABuiltStream)
{
    Support::CParameterStreamBuilder builder;
    builder.AddModule({1u, 0xA1u, 0xB1u, 1u, 2u, {0, 0, 0, 1}});
    builder.AddUdid(1u, {1, 2, 3, 4, 5, 6});
    builder.AddModule({1023u, 0xA2u, 0xB2u, 0xFFFFu, 0u, {}});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterFirmwareVersionReader reader(stream.m_reader);
    for (int pass = 0; pass < 2; ++pass)
    {
        reader.Open();
        std::uint16_t sadr = 0;
        std::uint32_t vendorId = 0;
        std::uint32_t productCode = 0;
        std::uint16_t major = 0;
        std::uint16_t minor = 0;
        ASSERT_TRUE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
        EXPECT_EQ(1u, sadr);
        EXPECT_EQ(0xB1u, productCode);
        ASSERT_TRUE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
        EXPECT_EQ(1023u, sadr);
        EXPECT_EQ(0xA2u, vendorId);
        EXPECT_EQ(0xFFFFu, major);
        EXPECT_EQ(0u, minor);
        EXPECT_FALSE(reader.TryReadNext(sadr, vendorId, productCode, major, minor));
        reader.Close();
    }
}
} // namespace
