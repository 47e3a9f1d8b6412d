// Configuration data out of a parameter stream: sub-index 4 of 0x2106, one delivery per pass, empty entries.
#include "Param/CParameterConfigurationDataReader.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/Param/ParameterStreamFixture.h"

namespace
{
struct CConfigurationCase
{
    Support::CParameterStreamBuilder m_builder;
    bool m_delivered;
    bool m_active;
};

CConfigurationCase Case(std::initializer_list<Support::CParameterStreamBuilder::CRecord> records, bool delivered,
                        bool active)
{
    CConfigurationCase configuration{{}, delivered, active};
    for (const auto& record : records)
    {
        configuration.m_builder.m_records.push_back(record);
    }
    return configuration;
}

TEST(CParameterConfigurationDataReader, ReadsTheFirstSubIndexFourOfItsIndex)
{
    const CConfigurationCase cases[] = {
        Case({{0x2106u, 4u, {1}, {}}}, true, true),
        Case({{0x2106u, 4u, {0}, {}}}, true, false),
        Case({{0x2106u, 4u, {}, {}}}, true, false),                          // empty entry
        Case({{0x2106u, 1u, {1}, {}}}, true, false),                         // index without sub-index 4
        Case({{0x2106u, 4u, {0}, {}}, {0x2106u, 4u, {1}, {}}}, true, false), // the first one counts
        Case({{0x2107u, 4u, {1}, {}}, {0x210Bu, 4u, {1}, {}}}, false, false),
        Case({}, false, false),
    };
    for (std::size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        StreamTest::CParameterStream stream(cases[i].m_builder);
        Param::CParameterConfigurationDataReader reader(stream.m_reader);
        reader.Open();
        bool active = !cases[i].m_active;
        EXPECT_EQ(cases[i].m_delivered, reader.TryReadNext(active)) << "case " << i;
        EXPECT_EQ(cases[i].m_active, active) << "case " << i;
        EXPECT_FALSE(reader.TryReadNext(active)) << "one delivery per pass, case " << i;
        EXPECT_FALSE(active);
        reader.Close();
    }
}
} // namespace
