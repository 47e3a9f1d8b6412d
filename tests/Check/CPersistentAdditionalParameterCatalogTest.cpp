// Additional-parameter catalog: configured headers per module and number, absent ones, and every refusal.
#include "Check/CPersistentAdditionalParameterCatalog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include "Check/CAdditionalParameterCheckEventCode.h"
#include "Param/CInvertedAdditionalParameterHeaderReader.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;

constexpr const char* FileName = "CPersistentAdditionalParameterCatalog.cpp";
constexpr std::uint32_t FileIdentifier = 0x8B281026u;

Support::CAdditionalParameterRecord MakeParameter(std::uint16_t safetyAddress, std::uint8_t parameterNumber,
                                                  std::uint32_t timestamp)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = safetyAddress;
    parameter.m_parameterNumber = parameterNumber;
    parameter.m_data = Bytes(20u, static_cast<std::uint8_t>(timestamp));
    parameter.m_timestamp = timestamp;
    return parameter;
}

Bytes InvertedHeader(const Support::CAdditionalParameterRecord& parameter)
{
    return Support::Complemented(Support::BuildAdditionalParameterHeader(parameter));
}

/// Records handed out by a plain list, for values that the stream filters refuse before the catalog sees them.
class CListedHeaderReader : public Param::CInvertedAdditionalParameterHeaderReader
{
public:
    using CRecord = std::tuple<std::uint16_t, std::uint8_t, Bytes>;

    explicit CListedHeaderReader(std::vector<CRecord> records) : m_records(std::move(records)) {}
    void Open() override
    {
        m_position = 0u;
        m_open = true;
    }
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint8_t& parameterNumber,
                     const std::uint8_t*& invertedHeader) override
    {
        if (m_position == m_records.size())
        {
            return false;
        }
        const CRecord& record = m_records[m_position++];
        safetyAddress = std::get<0>(record);
        parameterNumber = std::get<1>(record);
        invertedHeader = std::get<2>(record).empty() ? nullptr : std::get<2>(record).data();
        return true;
    }
    void Close() override
    {
        m_open = false;
    }

    std::vector<CRecord> m_records;
    std::size_t m_position = 0u;
    bool m_open = false;
};

TEST(CPersistentAdditionalParameterCatalog, HoldsTheLastConfiguredHeaderPerModuleAndNumber)
{
    Support::CParameterStreamBuilder stream;
    stream.AddAdditionalParameter(MakeParameter(3u, 1u, 100u));
    stream.AddAdditionalParameter(MakeParameter(3u, 16u, 200u));
    stream.AddAdditionalParameter(MakeParameter(1023u, 2u, 300u));
    stream.AddAdditionalParameter(MakeParameter(3u, 1u, 400u));
    CheckTest::CConfiguration configuration(stream);
    auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(configuration.m_invertedHeaderReader);
    catalog->Initialize();

    const std::vector<std::tuple<std::uint16_t, std::uint8_t, std::uint32_t>> present = {
        {3u, 1u, 400u}, {3u, 16u, 200u}, {1023u, 2u, 300u}};
    for (const auto& [safetyAddress, parameterNumber, timestamp] : present)
    {
        SCOPED_TRACE(testing::Message() << safetyAddress << "/" << int{parameterNumber});
        EXPECT_TRUE(catalog->HasAdditionalParameter(safetyAddress, parameterNumber));
        const std::uint8_t* header = catalog->GetInvertedAdditionalParameterHeader(safetyAddress, parameterNumber);
        EXPECT_EQ(InvertedHeader(MakeParameter(safetyAddress, parameterNumber, timestamp)), Bytes(header, header + 16));
    }
    for (const auto& absent :
         std::vector<std::pair<std::uint16_t, std::uint8_t>>{{3u, 2u}, {4u, 1u}, {1023u, 1u}, {1u, 16u}})
    {
        const std::uint16_t safetyAddress = absent.first;
        const std::uint8_t parameterNumber = absent.second;
        EXPECT_FALSE(catalog->HasAdditionalParameter(safetyAddress, parameterNumber));
        Support::ExpectException(
            Support::CaptureException(
                [&] { (void)catalog->GetInvertedAdditionalParameterHeader(safetyAddress, parameterNumber); }),
            Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, safetyAddress, parameterNumber);
    }
}

TEST(CPersistentAdditionalParameterCatalog, AStoredHeaderWhosePlainFirstByteIsZeroCountsAsAbsent)
{
    Bytes invertedHeader = InvertedHeader(MakeParameter(3u, 4u, 1u));
    invertedHeader[0] = 0xFFu;
    CListedHeaderReader reader({{3u, 4u, invertedHeader}});
    auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(reader);
    catalog->Initialize();
    EXPECT_FALSE(catalog->HasAdditionalParameter(3u, 4u));
    Support::ExpectException(
        Support::CaptureException([&] { (void)catalog->GetInvertedAdditionalParameterHeader(3u, 4u); }),
        Check::CAdditionalParameterCheckEventCode::UnknownAdditionalParameter, 3u, 4u);
}

TEST(CPersistentAdditionalParameterCatalog, RefusesRecordsOutOfRangeAndClosesTheReader)
{
    const Bytes header = InvertedHeader(MakeParameter(3u, 1u, 1u));
    const std::vector<std::tuple<CListedHeaderReader::CRecord, std::uint16_t, std::uint32_t>> cases = {
        {{0u, 1u, header}, Check::CAdditionalParameterCheckEventCode::InvalidSafetyAddress, 0u},
        {{1024u, 1u, header}, Check::CAdditionalParameterCheckEventCode::InvalidSafetyAddress, 1024u},
        {{3u, 0u, header}, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, 0u},
        {{3u, 17u, header}, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, 17u},
    };
    for (const auto& [record, eventCode, information1] : cases)
    {
        SCOPED_TRACE(information1);
        CListedHeaderReader reader({{2u, 1u, header}, record});
        auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(reader);
        Support::ExpectException(Support::CaptureException([&] { catalog->Initialize(); }), eventCode, 0u,
                                 information1);
        EXPECT_FALSE(reader.m_open);
        Support::ExpectGuard(Support::CaptureException([&] { (void)catalog->HasAdditionalParameter(2u, 1u); }),
                             FileName, FileIdentifier);
    }
    CListedHeaderReader reader({{2u, 1u, Bytes{}}});
    auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(reader);
    Support::ExpectGuard(Support::CaptureException([&] { catalog->Initialize(); }), FileName, FileIdentifier);
}

TEST(CPersistentAdditionalParameterCatalog, QueriesAreGuardedBeforeInitializeAndRefuseValuesOutOfRange)
{
    CListedHeaderReader reader({});
    auto catalog = std::make_unique<Check::CPersistentAdditionalParameterCatalog>(reader);
    Support::ExpectGuard(Support::CaptureException([&] { (void)catalog->HasAdditionalParameter(1u, 1u); }), FileName,
                         FileIdentifier);
    Support::ExpectGuard(
        Support::CaptureException([&] { (void)catalog->GetInvertedAdditionalParameterHeader(1u, 1u); }), FileName,
        FileIdentifier);
    catalog->Initialize();
    Support::ExpectGuard(Support::CaptureException([&] { catalog->Initialize(); }), FileName, FileIdentifier);

    const std::vector<std::tuple<std::uint16_t, std::uint8_t, std::uint16_t, std::uint32_t>> cases = {
        {0u, 1u, Check::CAdditionalParameterCheckEventCode::InvalidSafetyAddress, 0u},
        {1024u, 0u, Check::CAdditionalParameterCheckEventCode::InvalidSafetyAddress, 1024u},
        {1u, 0u, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, 0u},
        {1023u, 17u, Check::CAdditionalParameterCheckEventCode::InvalidAdditionalParameterNumber, 17u},
    };
    for (const auto& invalid : cases)
    {
        const std::uint16_t safetyAddress = std::get<0>(invalid);
        const std::uint8_t parameterNumber = std::get<1>(invalid);
        const std::uint16_t eventCode = std::get<2>(invalid);
        const std::uint32_t information1 = std::get<3>(invalid);
        SCOPED_TRACE(testing::Message() << safetyAddress << "/" << int{parameterNumber});
        Support::ExpectException(
            Support::CaptureException([&] { (void)catalog->HasAdditionalParameter(safetyAddress, parameterNumber); }),
            eventCode, 0u, information1);
        Support::ExpectException(
            Support::CaptureException(
                [&] { (void)catalog->GetInvertedAdditionalParameterHeader(safetyAddress, parameterNumber); }),
            eventCode, 0u, information1);
    }
}
} // namespace
