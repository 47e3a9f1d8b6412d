// The SOD parameter stream read in place: records, clean ends, cut heads and cut data, misuse.
#include "Param/CByteArrayParameterReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;

// Two records: 0x2106/4 with one byte, 0xC401/14 with four bytes (7 + 1 + 7 + 4 = 19 bytes).
const Bytes TwoRecords = {0x06, 0x21, 0x04, 0x01, 0x00, 0x00, 0x00, 0xAB, 0x01, 0xC4,
                          0x0E, 0x04, 0x00, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44};

TEST(CByteArrayParameterReader, DeliversEachRecordWithDataInsideTheBuffer)
{
    Param::CByteArrayParameterReader reader;
    reader.Initialize(static_cast<std::uint32_t>(TwoRecords.size()), TwoRecords.data());
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0x2106u, index);
    EXPECT_EQ(4u, subIndex);
    EXPECT_EQ(1u, length);
    EXPECT_EQ(TwoRecords.data() + 7, data);
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0xC401u, index);
    EXPECT_EQ(14u, subIndex);
    EXPECT_EQ(4u, length);
    EXPECT_EQ(TwoRecords.data() + 15, data);
    EXPECT_FALSE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_FALSE(reader.TryReadNext(index, subIndex, length, data)) << "the end stays the end";
    reader.Close();

    reader.Open();
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0x2106u, index) << "a new Open() starts from the beginning";
    reader.Close();
}

TEST(CByteArrayParameterReader, EmptyBufferEndsAtOnce)
{
    const std::uint8_t anything = 0;
    Param::CByteArrayParameterReader reader;
    reader.Initialize(0u, &anything);
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    EXPECT_FALSE(reader.TryReadNext(index, subIndex, length, data));
    reader.Close();
}

TEST(CByteArrayParameterReader, RecordOfZeroLengthAtTheVeryEndIsComplete)
{
    const Bytes stream = {0x0B, 0x21, 0x01, 0x00, 0x00, 0x00, 0x00};
    Param::CByteArrayParameterReader reader;
    reader.Initialize(static_cast<std::uint32_t>(stream.size()), stream.data());
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 99;
    const std::uint8_t* data = nullptr;
    ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    EXPECT_EQ(0u, length);
    EXPECT_FALSE(reader.TryReadNext(index, subIndex, length, data));
}

struct CCutStream
{
    std::uint32_t m_length; // bytes of TwoRecords kept
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

class CByteArrayParameterReaderCut : public ::testing::TestWithParam<CCutStream>
{
};

TEST_P(CByteArrayParameterReaderCut, RefusesTheIncompleteRecordAfterTheCompleteOnes)
{
    const CCutStream cut = GetParam();
    Param::CByteArrayParameterReader reader;
    reader.Initialize(cut.m_length, TwoRecords.data());
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    if (cut.m_length >= 8u)
    {
        ASSERT_TRUE(reader.TryReadNext(index, subIndex, length, data));
    }
    Support::ExpectException(
        Support::CaptureException([&] { (void)reader.TryReadNext(index, subIndex, length, data); }), cut.m_code,
        cut.m_information0, cut.m_information1);
}

constexpr std::uint16_t IncompleteDescription = Param::CByteArrayReaderEventCode::IncompleteDescription;
constexpr std::uint16_t IncompleteParameter = Param::CByteArrayReaderEventCode::IncompleteParameter;

INSTANTIATE_TEST_SUITE_P(
    EveryCut, CByteArrayParameterReaderCut,
    ::testing::Values(CCutStream{1u, IncompleteDescription, 0u, 0u}, CCutStream{6u, IncompleteDescription, 0u, 0u},
                      CCutStream{7u, IncompleteParameter, 7u, 1u}, CCutStream{9u, IncompleteDescription, 0u, 8u},
                      CCutStream{14u, IncompleteDescription, 0u, 8u}, CCutStream{15u, IncompleteParameter, 15u, 4u},
                      CCutStream{18u, IncompleteParameter, 15u, 4u}));

TEST(CByteArrayParameterReader, DeclaredLengthNearTheTopOfTheRangeDoesNotWrapAround)
{
    const Bytes stream = {0x01, 0xC4, 0x01, 0xFA, 0xFF, 0xFF, 0xFF, 0x01, 0x02};
    Param::CByteArrayParameterReader reader;
    reader.Initialize(static_cast<std::uint32_t>(stream.size()), stream.data());
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    Support::ExpectException(
        Support::CaptureException([&] { (void)reader.TryReadNext(index, subIndex, length, data); }),
        IncompleteParameter, 7u, 0xFFFFFFFAu);
}

TEST(CByteArrayParameterReader, MisuseRaisesTheGuard)
{
    const char* const file = "CByteArrayParameterReader.cpp";
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    Param::CByteArrayParameterReader reader;
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(1u, nullptr); }), file);
    reader.Initialize(static_cast<std::uint32_t>(TwoRecords.size()), TwoRecords.data());
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)reader.TryReadNext(index, subIndex, length, data); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), file);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Initialize(1u, TwoRecords.data()); }), file);
}
} // namespace
