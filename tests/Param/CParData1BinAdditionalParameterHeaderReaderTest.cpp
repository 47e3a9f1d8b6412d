// The loadable additional-parameter headers of "pardata1.bin": entries, blob entries of version 0x200 files, refusals.
#include "Param/CParData1BinAdditionalParameterHeaderReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Reason = Param::CAdditionalParameterReaderOtherReasonInformation0;

Support::CAdditionalParameterRecord Parameter(std::uint16_t sadr, std::uint8_t number)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = sadr;
    parameter.m_parameterNumber = number;
    parameter.m_data = {number, 0x10, 0x20};
    parameter.m_timestamp = 77u;
    return parameter;
}

struct CFile
{
    explicit CFile(const Support::CParData1BinBuilder& builder)
        : m_bytes(builder.Build()), m_parData1Bin(static_cast<std::uint32_t>(m_bytes.size()), m_bytes.data()),
          m_reader(m_parData1Bin)
    {
        m_parData1Bin.ReadContent(static_cast<std::uint32_t>(m_bytes.size()));
    }
    std::vector<std::pair<std::uint16_t, std::uint8_t>> ReadAll()
    {
        std::vector<std::pair<std::uint16_t, std::uint8_t>> records;
        std::uint16_t sadr = 0;
        std::uint8_t number = 0;
        const std::uint8_t* header = nullptr;
        m_reader.Open();
        while (m_reader.TryReadNext(sadr, number, header))
        {
            EXPECT_EQ(sadr, Support::ReadUInt16(Bytes(header, header + 16), 2u));
            records.emplace_back(sadr, number);
        }
        m_reader.Close();
        return records;
    }
    Bytes m_bytes;
    Param::CParData1Bin m_parData1Bin;
    Param::CParData1BinAdditionalParameterHeaderReader m_reader;
};

TEST(CParData1BinAdditionalParameterHeaderReader, DeliversEveryEntryAndIgnoresATrailingFragment)
{
    Support::CParData1BinBuilder builder;
    builder.m_parameters = {Parameter(1u, 1u), Parameter(1023u, 16u), Parameter(300u, 0u)};
    builder.m_dataTail = Bytes(15u, 0x01);
    CFile file(builder);
    const std::vector<std::pair<std::uint16_t, std::uint8_t>> expected = {{1u, 1u}, {1023u, 16u}, {300u, 0u}};
    EXPECT_EQ(expected, file.ReadAll()) << "the parameter number is not range-checked here";
    EXPECT_EQ(expected, file.ReadAll()) << "a second pass";
}

TEST(CParData1BinAdditionalParameterHeaderReader, EmptyFileHasNoEntries)
{
    Bytes buffer(4u, 0u);
    Param::CParData1Bin parData1Bin(4u, buffer.data());
    parData1Bin.ReadContent(0u);
    Param::CParData1BinAdditionalParameterHeaderReader reader(parData1Bin);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* header = nullptr;
    EXPECT_FALSE(reader.TryReadNext(sadr, number, header));
    reader.Close();
}

TEST(CParData1BinAdditionalParameterHeaderReader, BlobEntriesOfVersionTwoHundredFilesAreCheckedAndSkipped)
{
    Support::CParData1BinBuilder builder;
    builder.m_fileVersion = Support::CParData1BinBuilder::ms_LumoFileVersion;
    builder.m_parameters = {Parameter(2000u, 1u), Parameter(4u, 2u), Parameter(0xFFFFu, 3u)};
    CFile file(builder);
    EXPECT_EQ((std::vector<std::pair<std::uint16_t, std::uint8_t>>{{4u, 2u}}), file.ReadAll());
}

struct CEntryDamage
{
    const char* m_name;
    std::uint16_t m_fileVersion;
    Support::CAdditionalParameterRecord m_entry;
    std::uint16_t m_reason;
    std::uint32_t m_information1;
};

Support::CAdditionalParameterRecord With(Support::CAdditionalParameterRecord parameter,
                                         void (*change)(Support::CAdditionalParameterRecord&))
{
    change(parameter);
    return parameter;
}

class CParData1BinEntryDamage : public ::testing::TestWithParam<CEntryDamage>
{
};

TEST_P(CParData1BinEntryDamage, RefusesTheEntryAfterTheGoodOnesAndReleasesTheFile)
{
    const CEntryDamage& damage = GetParam();
    Support::CParData1BinBuilder builder;
    builder.m_fileVersion = damage.m_fileVersion;
    builder.m_parameters = {Parameter(9u, 1u), damage.m_entry};
    CFile file(builder);
    file.m_reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* header = nullptr;
    ASSERT_TRUE(file.m_reader.TryReadNext(sadr, number, header));
    Support::ExpectException(Support::CaptureException([&] { (void)file.m_reader.TryReadNext(sadr, number, header); }),
                             Param::CAdditionalParameterReaderEventCode::OtherReason, damage.m_reason,
                             damage.m_information1);
    EXPECT_NO_THROW(file.m_reader.Open()) << "the refusal released the data area";
}

constexpr std::uint16_t Legacy = 0x100u;
constexpr std::uint16_t Lumo = 0x200u;

INSTANTIATE_TEST_SUITE_P(
    Entries, CParData1BinEntryDamage,
    ::testing::Values(
        CEntryDamage{"Version", Legacy, With(Parameter(10u, 2u), [](auto& p) { p.m_version = 2u; }),
                     Reason::InvalidDomainVersion, 2u},
        CEntryDamage{"SafetyAddressZero", Legacy, Parameter(0u, 2u), Reason::InvalidSafetyAddress, 0u},
        CEntryDamage{"BlobAddressInALegacyFile", Legacy, Parameter(2000u, 2u), Reason::InvalidSafetyAddress, 2000u},
        CEntryDamage{"GapAddressInALegacyFile", Legacy, Parameter(1500u, 2u), Reason::InvalidSafetyAddress, 1500u},
        CEntryDamage{"GapAddressInALumoFile", Lumo, Parameter(1500u, 2u), Reason::InvalidSafetyAddress, 1500u},
        CEntryDamage{"Address1024InALumoFile", Lumo, Parameter(1024u, 2u), Reason::InvalidSafetyAddress, 1024u},
        CEntryDamage{"DataBeyondTheDataArea", Legacy,
                     With(Parameter(10u, 2u), [](auto& p) { p.m_declaredLength = 4u; }), Reason::InvalidDomainLength,
                     4u},
        CEntryDamage{"DataLengthWrapsAround", Legacy,
                     With(Parameter(10u, 2u), [](auto& p) { p.m_declaredLength = 0xFFFFFFF8u; }),
                     Reason::InvalidDomainLength, 0xFFFFFFF8u},
        CEntryDamage{"DataCrcReportsTheStoredValue", Legacy,
                     With(Parameter(10u, 2u), [](auto& p) { p.m_spoilCrc = true; }), Reason::InvalidDomainCrc,
                     Support::ReadUInt32(Support::BuildAdditionalParameterHeader(With(Parameter(10u, 2u), [](auto& p)
                                                                                      { p.m_spoilCrc = true; })),
                                         8u)},
        CEntryDamage{"DataCrcOfABlobEntry", Lumo, With(Parameter(2001u, 2u), [](auto& p) { p.m_spoilCrc = true; }),
                     Reason::InvalidDomainCrc,
                     Support::ReadUInt32(Support::BuildAdditionalParameterHeader(With(Parameter(2001u, 2u), [](auto& p)
                                                                                      { p.m_spoilCrc = true; })),
                                         8u)}),
    [](const ::testing::TestParamInfo<CEntryDamage>& damage) { return std::string(damage.param.m_name); });

TEST(CParData1BinAdditionalParameterHeaderReader, MisuseRaisesTheGuard)
{
    const char* const file = "CParData1BinAdditionalParameterHeaderReader.cpp";
    Bytes buffer(4u, 0u);
    Param::CParData1Bin parData1Bin(4u, buffer.data());
    Param::CParData1BinAdditionalParameterHeaderReader reader(parData1Bin);
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* header = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)reader.TryReadNext(sadr, number, header); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), file);
    // The file has not been read yet.
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), "CParData1Bin.cpp");
    parData1Bin.ReadContent(0u);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
}
} // namespace
