// The computed inverted header: its bytes, one delivery per pass, the range checks, misuse.
#include "Param/CComputedInvertedAdditionalParameterHeaderReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Param/CAdditionalParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
constexpr std::uint32_t FixedFileIdentifier = 0x770710E9u;
const char* const File = "CComputedInvertedAdditionalParameterHeaderReader.cpp";
const std::uint8_t CheckData[9] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'}; // CRC-32 0xC052A8C8

TEST(CComputedInvertedAdditionalParameterHeaderReader, DeliversTheComplementedHeaderOncePerPass)
{
    Param::CComputedInvertedAdditionalParameterHeaderReader reader;
    reader.SetAdditionalParameter(1023u, 3u, 0x11223344u, 9u, CheckData);
    // number 3, version 1, SADR 0x03FF, length 9, CRC 0xC052A8C8, timestamp 0x11223344; then complemented
    const std::vector<std::uint8_t> plain = {0x03, 0x01, 0xFF, 0x03, 0x09, 0x00, 0x00, 0x00,
                                             0xC8, 0xA8, 0x52, 0xC0, 0x44, 0x33, 0x22, 0x11};
    for (int pass = 0; pass < 2; ++pass)
    {
        reader.Open();
        std::uint16_t sadr = 0;
        std::uint8_t number = 0;
        const std::uint8_t* invertedHeader = nullptr;
        ASSERT_TRUE(reader.TryReadNext(sadr, number, invertedHeader)) << "pass " << pass;
        EXPECT_EQ(1023u, sadr);
        EXPECT_EQ(3u, number);
        for (std::size_t i = 0; i < plain.size(); ++i)
        {
            EXPECT_EQ(static_cast<std::uint8_t>(~plain[i]), invertedHeader[i]) << "byte " << i;
        }
        EXPECT_FALSE(reader.TryReadNext(sadr, number, invertedHeader));
        reader.Close();
    }
}

TEST(CComputedInvertedAdditionalParameterHeaderReader, IsAnEmptyStreamUntilSet)
{
    Param::CComputedInvertedAdditionalParameterHeaderReader reader;
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    EXPECT_FALSE(reader.TryReadNext(sadr, number, invertedHeader));
    reader.Close();
}

struct CHeaderArguments
{
    std::uint16_t m_safetyAddress;
    std::uint8_t m_parameterNumber;
    std::uint16_t m_code; // 0: accepted
    std::uint32_t m_information1;
};

class CComputedHeaderArguments : public ::testing::TestWithParam<CHeaderArguments>
{
};

TEST_P(CComputedHeaderArguments, ChecksSafetyAddressThenParameterNumber)
{
    const CHeaderArguments arguments = GetParam();
    Param::CComputedInvertedAdditionalParameterHeaderReader reader;
    if (arguments.m_code == 0u)
    {
        reader.SetAdditionalParameter(arguments.m_safetyAddress, arguments.m_parameterNumber, 0u, 0u, CheckData);
        reader.Open();
        std::uint16_t sadr = 0;
        std::uint8_t number = 0;
        const std::uint8_t* invertedHeader = nullptr;
        ASSERT_TRUE(reader.TryReadNext(sadr, number, invertedHeader));
        EXPECT_EQ(arguments.m_safetyAddress, sadr);
        EXPECT_EQ(arguments.m_parameterNumber, number);
        return;
    }
    Support::ExpectException(Support::CaptureException(
                                 [&] {
                                     reader.SetAdditionalParameter(arguments.m_safetyAddress,
                                                                   arguments.m_parameterNumber, 0u, 0u, CheckData);
                                 }),
                             arguments.m_code, 0u, arguments.m_information1);
    reader.Open();
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    EXPECT_FALSE(reader.TryReadNext(sadr, number, invertedHeader)) << "a refused header is not set";
}

constexpr std::uint16_t BadAddress = Param::CAdditionalParameterReaderEventCode::InvalidSafetyAddress;
constexpr std::uint16_t BadNumber = Param::CAdditionalParameterReaderEventCode::InvalidParameterNumber;

INSTANTIATE_TEST_SUITE_P(Boundaries, CComputedHeaderArguments,
                         ::testing::Values(CHeaderArguments{1u, 1u, 0u, 0u}, CHeaderArguments{1023u, 16u, 0u, 0u},
                                           CHeaderArguments{0u, 2u, BadAddress, 0u},
                                           CHeaderArguments{1024u, 2u, BadAddress, 1024u},
                                           CHeaderArguments{1024u, 0u, BadAddress, 1024u},
                                           CHeaderArguments{1u, 0u, BadNumber, 0u},
                                           CHeaderArguments{1u, 17u, BadNumber, 17u}));

TEST(CComputedInvertedAdditionalParameterHeaderReader, MisuseRaisesTheGuardWithTheFixedFileIdentifier)
{
    std::uint16_t sadr = 0;
    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    Param::CComputedInvertedAdditionalParameterHeaderReader reader;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)reader.TryReadNext(sadr, number, invertedHeader); }), File,
                         FixedFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), File, FixedFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.SetAdditionalParameter(1u, 2u, 0u, 0u, nullptr); }), File,
                         FixedFileIdentifier);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), File, FixedFileIdentifier);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.SetAdditionalParameter(1u, 2u, 0u, 0u, CheckData); }), File,
                         FixedFileIdentifier);
    reader.Close();
    reader.SetAdditionalParameter(1u, 2u, 0u, 0u, CheckData);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.SetAdditionalParameter(1u, 2u, 0u, 0u, CheckData); }), File,
                         FixedFileIdentifier);
}
} // namespace
