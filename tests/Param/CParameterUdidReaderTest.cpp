// UDID entries of a parameter stream: the index and sub-index ranges, the length check.
#include "Param/CParameterUdidReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "Param/CParameterReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
TEST(CParameterUdidReader, DeliversEntriesOfTheUdidIndicesWithUsableSubIndices)
{
    Support::CParameterStreamBuilder builder;
    builder.AddUdid(1u, {1, 1, 1, 1, 1, 1});            // 0xCC01/1
    builder.AddUdid(2u, {2, 2, 2, 2, 2, 2}, 0u);        // sub-index 0: skipped
    builder.AddUdid(3u, {3, 3, 3, 3, 3, 3}, 255u);      // sub-index 255: skipped
    builder.AddUdid(0u, {4, 4, 4, 4, 4, 4});            // 0xCC00: skipped
    builder.AddRecord(0xD000u, 1u, {5, 5, 5, 5, 5, 5}); // skipped
    builder.AddUdid(1023u, {6, 6, 6, 6, 6, 6}, 254u);   // 0xCFFF/254
    builder.AddRecord(0xC401u, 1u, {1, 0});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterUdidReader reader(stream.m_reader);
    reader.Open();
    std::vector<std::pair<std::uint16_t, std::uint8_t>> records;
    std::uint16_t sadr = 0;
    const std::uint8_t* udid = nullptr;
    while (reader.TryReadNext(sadr, udid))
    {
        records.emplace_back(sadr, udid[5]);
        EXPECT_GE(udid, stream.m_bytes.data());
        EXPECT_LT(udid, stream.m_bytes.data() + stream.m_bytes.size()) << "handed out in place";
    }
    reader.Close();
    EXPECT_EQ((std::vector<std::pair<std::uint16_t, std::uint8_t>>{{1u, 1u}, {1023u, 6u}}), records);
}

TEST(CParameterUdidReader, RefusesAnEntryThatIsNotSixBytesLong)
{
    for (const std::size_t length : {std::size_t{0}, std::size_t{5}, std::size_t{7}})
    {
        Support::CParameterStreamBuilder builder;
        builder.AddRecord(0xCC05u, 1u, Support::Bytes(length, 0xAB));
        StreamTest::CParameterStream stream(builder);
        Param::CParameterUdidReader reader(stream.m_reader);
        reader.Open();
        std::uint16_t sadr = 0;
        const std::uint8_t* udid = nullptr;
        Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, udid); }),
                                 Param::CParameterReaderEventCode::InvalidLength, 0u,
                                 static_cast<std::uint32_t>(length));
        EXPECT_TRUE(stream.IsClosed());
    }
}
} // namespace
