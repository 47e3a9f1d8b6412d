// A copy cut short at any byte, as a write that was not replaced atomically would leave it, is torn; the whole
// copies, known or not, and an emptied one are not.
#include <gtest/gtest.h>

#include <string>

#include "support/Load/CFileVersions.h"
#include "support/Peers/CDomainConfiguration.h"

namespace
{
using Support::Bytes;

class CopyVersions : public ::testing::TestWithParam<std::string>
{
protected:
    // The example domain, or one that differs in every copy: a password, another signature, another module.
    Bytes BuildCopy(bool changed) const
    {
        Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
        if (changed)
        {
            configuration.m_password = Support::Password{'p', 'w', 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 7u};
            ++configuration.m_controller.m_signatureTimestamp;
            ++configuration.GetModule(2u).m_udid[5];
        }
        return configuration.BuildFile(GetParam());
    }
};

TEST_P(CopyVersions, EveryShortenedCopyIsTornAndOnlyThat)
{
    const Bytes whole = BuildCopy(false);
    Support::CFileVersions versions;
    versions.Add(GetParam(), whole);
    EXPECT_TRUE(versions.IsWhole(GetParam(), whole));
    EXPECT_TRUE(versions.IsWhole(GetParam(), Bytes()));
    // Another whole version the campaign never saw, written from other values, is whole too.
    EXPECT_FALSE(versions.IsKnown(GetParam(), BuildCopy(true)));
    EXPECT_TRUE(versions.IsWhole(GetParam(), BuildCopy(true)));
    for (std::size_t length = 1u; length < whole.size(); ++length)
    {
        EXPECT_FALSE(versions.IsWhole(GetParam(), Bytes(whole.begin(), whole.begin() + static_cast<long>(length))))
            << "cut after " << length << " of " << whole.size() << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(Copies, CopyVersions,
                         ::testing::Values("tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk"),
                         [](const ::testing::TestParamInfo<std::string>& testCase)
                         {
                             std::string name = testCase.param;
                             for (char& character : name)
                             {
                                 character = (character == '.') ? '_' : character;
                             }
                             return name;
                         });
} // namespace
