// Commissioning flags out of a parameter stream: the mapping of sub-indices, one delivery per pass, empty entries.
#include "Param/CParameterCommissioningFlagReader.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "Param/CByteArrayReaderEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Param/ParameterStreamFixture.h"

namespace
{
struct CFlags
{
    bool m_setupModeActive;
    bool m_acknowledgeTessera;
    bool m_acknowledgeMinorRevisions;
};

class CParameterCommissioningFlagCombination : public ::testing::TestWithParam<int>
{
};

TEST_P(CParameterCommissioningFlagCombination, MapsEachSubIndexToItsFlag)
{
    const int bits = GetParam();
    const bool setup = (bits & 1) != 0;
    const bool firmware = (bits & 2) != 0;
    const bool tessera = (bits & 4) != 0;
    Support::CParameterStreamBuilder builder;
    builder.AddModule({1u, 0u, 0u, 0u, 0u, {}});
    builder.AddCommissioningFlags(setup, firmware, tessera);
    StreamTest::CParameterStream stream(builder);
    Param::CParameterCommissioningFlagReader reader(stream.m_reader);
    reader.Open();
    CFlags flags{!setup, !tessera, !firmware};
    ASSERT_TRUE(
        reader.TryReadNext(flags.m_setupModeActive, flags.m_acknowledgeTessera, flags.m_acknowledgeMinorRevisions));
    EXPECT_EQ(setup, flags.m_setupModeActive);
    EXPECT_EQ(tessera, flags.m_acknowledgeTessera);
    EXPECT_EQ(firmware, flags.m_acknowledgeMinorRevisions);
    reader.Close();
}

INSTANTIATE_TEST_SUITE_P(AllEight, CParameterCommissioningFlagCombination, ::testing::Range(0, 8));

TEST(CParameterCommissioningFlagReader, DeliversOncePerPassAndFalseWhenTheIndexIsAbsent)
{
    Support::CParameterStreamBuilder present;
    present.AddCommissioningFlags(false, false, false);
    StreamTest::CParameterStream stream(present);
    Param::CParameterCommissioningFlagReader reader(stream.m_reader);
    bool setup = true;
    bool tessera = true;
    bool firmware = true;
    reader.Open();
    EXPECT_TRUE(reader.TryReadNext(setup, tessera, firmware)) << "zeros are a record";
    EXPECT_FALSE(setup || tessera || firmware);
    EXPECT_FALSE(reader.TryReadNext(setup, tessera, firmware)) << "one delivery per pass";
    reader.Close();
    reader.Open();
    EXPECT_TRUE(reader.TryReadNext(setup, tessera, firmware)) << "again after Close and Open";
    reader.Close();

    Support::CParameterStreamBuilder absent;
    absent.AddConfigurationData(true);
    StreamTest::CParameterStream otherStream(absent);
    Param::CParameterCommissioningFlagReader otherReader(otherStream.m_reader);
    otherReader.Open();
    setup = true;
    EXPECT_FALSE(otherReader.TryReadNext(setup, tessera, firmware));
    EXPECT_FALSE(setup) << "the flags are cleared even without a record";
}

TEST(CParameterCommissioningFlagReader, EmptyEntryIsFalseAndTheFirstEntryOfASubIndexCounts)
{
    Support::CParameterStreamBuilder builder;
    builder.AddRecord(0x210Bu, 1u, {});
    builder.AddRecord(0x210Bu, 2u, {0x00, 0x01});
    builder.AddRecord(0x210Bu, 1u, {0x01}); // a later duplicate of sub-index 1
    builder.AddRecord(0x210Bu, 3u, {0x80});
    StreamTest::CParameterStream stream(builder);
    Param::CParameterCommissioningFlagReader reader(stream.m_reader);
    reader.Open();
    bool setup = true;
    bool tessera = false;
    bool firmware = true;
    ASSERT_TRUE(reader.TryReadNext(setup, tessera, firmware));
    EXPECT_FALSE(setup);
    EXPECT_FALSE(firmware) << "only the first data byte counts";
    EXPECT_TRUE(tessera);
}

TEST(CParameterCommissioningFlagReader, MalformedStreamPassesItsCodeAndIsLeftClosed)
{
    Support::CParameterStreamBuilder builder;
    builder.AddCommissioningFlags(true, false, false);
    builder.m_records.back().m_declaredLength = 2u; // sub-index 3 claims one byte more than the stream holds
    StreamTest::CParameterStream stream(builder);
    Param::CParameterCommissioningFlagReader reader(stream.m_reader);
    reader.Open();
    bool setup = false;
    bool tessera = false;
    bool firmware = false;
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(setup, tessera, firmware); }),
                             Param::CByteArrayReaderEventCode::IncompleteParameter, 23u, 2u);
    EXPECT_TRUE(stream.IsClosed());
}
} // namespace
