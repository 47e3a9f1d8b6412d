// Application additional-parameter headers out of a parameter stream: index and sub-index ranges, the refusals.
#include "Param/CParameterAdditionalParameterHeaderReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
Support::CAdditionalParameterRecord Parameter(std::uint16_t sadr, std::uint8_t number)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = sadr;
    parameter.m_parameterNumber = number;
    parameter.m_data = {1, 2, 3};
    parameter.m_timestamp = 0x01020304u;
    return parameter;
}

TEST(CParameterAdditionalParameterHeaderReader, DeliversHeadersOfTheAdditionalParameterRange)
{
    Support::CParameterStreamBuilder builder;
    Support::CAdditionalParameterRecord unchecked = Parameter(3u, 16u);
    unchecked.m_version = 9u;
    unchecked.m_spoilCrc = true; // version and CRC are the checker's business, not this reader's
    builder.AddAdditionalParameter(Parameter(1u, 1u), 0xE400u, 1u);
    builder.AddAdditionalParameter(Parameter(2u, 2u), 0xE7FEu, 17u);
    builder.AddAdditionalParameter(Parameter(2u, 3u), 0xE7FEu, 18u); // skipped
    builder.AddAdditionalParameter(Parameter(2u, 4u), 0xE7FFu, 1u);  // skipped
    builder.AddAdditionalParameter(Parameter(2u, 5u), 0xE3FFu, 1u);  // skipped
    builder.AddAdditionalParameter(Parameter(2u, 6u), 0xE401u, 0u);  // skipped
    builder.AddAdditionalParameter(unchecked);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterAdditionalParameterHeaderReader reader(stream.m_reader);
    reader.Open();
    std::vector<std::pair<std::uint16_t, std::uint8_t>> records;
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* header = nullptr;
    while (reader.TryReadNext(sadr, number, header))
    {
        records.emplace_back(sadr, number);
        EXPECT_EQ(number, header[0]);
        EXPECT_EQ(0x01u, header[15]) << "the whole 16-byte header, in place";
    }
    reader.Close();
    EXPECT_EQ((std::vector<std::pair<std::uint16_t, std::uint8_t>>{{1u, 1u}, {2u, 2u}, {3u, 16u}}), records);
}

struct CHeaderRefusal
{
    Support::Bytes m_data;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

class CParameterAdditionalParameterHeaderRefusal : public ::testing::TestWithParam<CHeaderRefusal>
{
};

TEST_P(CParameterAdditionalParameterHeaderRefusal, RefusesAndLeavesTheStreamClosed)
{
    const CHeaderRefusal refusal = GetParam();
    Support::CParameterStreamBuilder builder;
    builder.AddRecord(0xE512u, 5u, refusal.m_data);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterAdditionalParameterHeaderReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* header = nullptr;
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, number, header); }),
                             refusal.m_code, refusal.m_information0, refusal.m_information1);
    EXPECT_TRUE(stream.IsClosed());
}

Support::Bytes Header(std::uint8_t number, std::uint16_t sadr)
{
    Support::Bytes header(16u, 0u);
    header[0] = number;
    header[1] = 1u;
    header[2] = static_cast<std::uint8_t>(sadr);
    header[3] = static_cast<std::uint8_t>(sadr >> 8);
    return header;
}

constexpr std::uint16_t InvalidLength = Param::CAdditionalParameterReaderEventCode::InvalidLength;
constexpr std::uint16_t InvalidSafetyAddress = Param::CAdditionalParameterReaderEventCode::InvalidSafetyAddress;
constexpr std::uint16_t InvalidNumber = Param::CAdditionalParameterReaderEventCode::InvalidParameterNumber;

INSTANTIATE_TEST_SUITE_P(Headers, CParameterAdditionalParameterHeaderRefusal,
                         ::testing::Values(CHeaderRefusal{Support::Bytes(15u, 1u), InvalidLength, 0xE512u, 15u},
                                           CHeaderRefusal{{}, InvalidLength, 0xE512u, 0u},
                                           CHeaderRefusal{Header(1u, 0u), InvalidSafetyAddress, 0u, 0u},
                                           CHeaderRefusal{Header(0u, 1024u), InvalidSafetyAddress, 0u, 1024u},
                                           CHeaderRefusal{Header(0u, 1023u), InvalidNumber, 0u, 0u},
                                           CHeaderRefusal{Header(17u, 1u), InvalidNumber, 0u, 17u}));
} // namespace
