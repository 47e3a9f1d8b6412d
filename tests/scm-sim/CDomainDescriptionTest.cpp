// Domain descriptions: the commented example reads back as written; a wrong field is named.
#include <gtest/gtest.h>

#include <string>

#include "tools/scm-sim/CDomainDescription.h"

namespace
{
using ScmSim::CDomainDescription;

TEST(CDomainDescription, CommentedExampleReadsBackAsWritten)
{
    CDomainDescription description = ScmSim::MakeGeneratedDomain(8u, 3u, false);
    description.m_setupMode = true;
    description.m_password = Support::Password{'s', 'e', 'c', 'r', 'e', 't'};
    description.m_nodes[1].m_deviceUdid = Support::Udid{0u, 0x60u, 0x65u, 1u, 2u, 3u};
    description.m_nodes[2].m_downloadChecksum = Support::Bytes{1u, 2u, 3u, 4u};
    description.m_nodes[2].m_deviceMinorRevision = 9u;
    Support::CAdditionalParameterRecord loadable;
    loadable.m_parameterNumber = 2u;
    loadable.m_safetyAddress = 5u;
    loadable.m_data = {7u, 8u};
    description.m_nodes[3].m_configured.m_loadableAdditionalParameters = {loadable};
    description.m_nodes[4].m_assignInitialCt = true;
    description.m_nodes[5].m_devicePreloadQueue = 3u;
    description.m_scmPreload = true;
    description.m_extendedMachineOptions = {0xE0u, 0xE1u};
    description.m_extendedMachineOptionsTimestamp = 42u;
    const std::string written = description.ToJson(true);
    EXPECT_EQ(description.ToJson(false), CDomainDescription::FromJson(written).ToJson(false));
}

struct CBadField
{
    std::string m_name;
    std::string m_json;
    std::string m_named;
};

class CDomainDescriptionRefusal : public ::testing::TestWithParam<CBadField>
{
};

TEST_P(CDomainDescriptionRefusal, NamesTheField)
{
    try
    {
        (void)CDomainDescription::FromJson(GetParam().m_json);
        FAIL() << "accepted";
    }
    catch (const std::invalid_argument& error)
    {
        EXPECT_NE(std::string::npos, std::string(error.what()).find(GetParam().m_named)) << error.what();
    }
}

const std::string Node = R"("udid": "006065000002", "parameter_checksum": "01020304")";

INSTANTIATE_TEST_SUITE_P(
    Fields, CDomainDescriptionRefusal,
    ::testing::Values(CBadField{"NoNodes", R"({"domain": 7, "nodes": []})", "nodes"},
                      CBadField{"DomainZero", R"({"domain": 0, "nodes": [{"sadr": 2, )" + Node + "}]}", "domain"},
                      CBadField{"ScmAddress", R"({"nodes": [{"sadr": 1, )" + Node + "}]}", "sadr"},
                      CBadField{"ShortUdid", R"({"nodes": [{"sadr": 2, "udid": "0060", "parameter_checksum": ""}]})",
                                "udid"},
                      CBadField{"OddChecksum", R"({"nodes": [{"sadr": 2, "udid": "006065000002", )"
                                               R"("parameter_checksum": "123"}]})",
                                "parameter_checksum"},
                      CBadField{"AdditionalSadrWithoutSpdo",
                                R"({"nodes": [{"sadr": 2, "additional_sadrs": [{"sadr": 9, "tx_spdo": 0}], )" + Node +
                                    "}]}",
                                "additional_sadrs"},
                      CBadField{"NotJson", "{nodes", "JSON"}),
    [](const ::testing::TestParamInfo<CBadField>& testCase) { return testCase.param.m_name; });
} // namespace
