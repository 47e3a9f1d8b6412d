// Safety addresses of the required modules: which records count, and the refusals that leave the stream closed.
#include "Param/CParameterSafetyAddressReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
std::vector<std::uint16_t> ReadAll(Param::CSafetyAddressReader& reader)
{
    std::vector<std::uint16_t> addresses;
    std::uint16_t sadr = 0;
    reader.Open();
    while (reader.TryReadNext(sadr))
    {
        addresses.push_back(sadr);
    }
    reader.Close();
    return addresses;
}

TEST(CParameterSafetyAddressReader, DeliversSubIndexOneOfModuleIndicesOnly)
{
    Support::CParameterStreamBuilder builder;
    builder.AddRecord(0xC3FFu, 1u, {0x09, 0x00});          // below the module range
    builder.AddModule({1u, 2u, 3u, 4u, 5u, {1, 2, 3, 4}}); // 0xC400
    builder.AddRecord(0xC500u, 2u, {0x07, 0x00});          // vendor id, not an address
    builder.AddModule({1023u, 0u, 0u, 0u, 0u, {}});        // 0xC7FE
    builder.AddRecord(0xC7FFu, 1u, {0x08, 0x00});          // above the module range
    builder.AddRecord(0xC450u, 1u, {0x11, 0x00});          // the index need not match the address
    StreamTest::CParameterStream stream(builder);
    Param::CParameterSafetyAddressReader reader(stream.m_reader);
    EXPECT_EQ((std::vector<std::uint16_t>{1u, 1023u, 17u}), ReadAll(reader));
    EXPECT_EQ((std::vector<std::uint16_t>{1u, 1023u, 17u}), ReadAll(reader)) << "a second pass";
}

TEST(CParameterSafetyAddressReader, EmptyStreamEndsAtOnce)
{
    StreamTest::CParameterStream stream(Support::Bytes{});
    Param::CParameterSafetyAddressReader reader(stream.m_reader);
    EXPECT_TRUE(ReadAll(reader).empty());
}

struct CBadAddressEntry
{
    Support::Bytes m_data;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

class CParameterSafetyAddressReaderRefusal : public ::testing::TestWithParam<CBadAddressEntry>
{
};

TEST_P(CParameterSafetyAddressReaderRefusal, RefusesAndLeavesTheStreamClosed)
{
    const CBadAddressEntry entry = GetParam();
    Support::CParameterStreamBuilder builder;
    builder.AddModule({5u, 0u, 0u, 0u, 0u, {}});
    builder.AddRecord(0xC401u, 1u, entry.m_data);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterSafetyAddressReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    ASSERT_TRUE(reader.TryReadNext(sadr));
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr); }), entry.m_code,
                             entry.m_information0, entry.m_information1);
    EXPECT_TRUE(stream.IsClosed());
}

constexpr std::uint16_t InvalidLength = Param::CParameterReaderEventCode::InvalidLength;
constexpr std::uint16_t InvalidSafetyAddress = Param::CParameterReaderEventCode::InvalidSafetyAddress;

INSTANTIATE_TEST_SUITE_P(Entries, CParameterSafetyAddressReaderRefusal,
                         ::testing::Values(CBadAddressEntry{{0x01}, InvalidLength, 1u, 1u},
                                           CBadAddressEntry{{0x01, 0x00, 0x00}, InvalidLength, 1u, 3u},
                                           CBadAddressEntry{{0x00, 0x00}, InvalidSafetyAddress, 0u, 0u},
                                           CBadAddressEntry{{0x00, 0x04}, InvalidSafetyAddress, 0u, 1024u}));

TEST(CParameterSafetyAddressReader, MalformedStreamPassesItsCodeAndIsLeftClosed)
{
    Support::CParameterStreamBuilder builder;
    builder.AddModule({5u, 0u, 0u, 0u, 0u, {}});
    builder.m_tail = {0x00, 0xC4, 0x01}; // a record head cut short
    StreamTest::CParameterStream stream(builder);
    Param::CParameterSafetyAddressReader reader(stream.m_reader);
    reader.Open();
    std::uint16_t sadr = 0;
    ASSERT_TRUE(reader.TryReadNext(sadr));
    const auto position = static_cast<std::uint32_t>(stream.m_bytes.size() - 3u);
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr); }),
                             Param::CByteArrayReaderEventCode::IncompleteDescription, 0u, position);
    EXPECT_TRUE(stream.IsClosed());
}
} // namespace
