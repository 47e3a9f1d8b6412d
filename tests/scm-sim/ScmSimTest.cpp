// scm-sim run as its users run it: the command line and its exit codes, a description file from `init` run
// against a real checker, the capture dissected by Wireshark's openSAFETY dissector, no progress line in a pipe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/interop/ProcessRunner.h"

namespace
{
const std::string Program = SCM_SIM_PROGRAM;

struct CUsageCase
{
    std::string m_name;
    std::string m_arguments;
    int m_exitStatus;
    std::string m_printed;
};

class ScmSimCommandLine : public ::testing::TestWithParam<CUsageCase>
{
};

TEST_P(ScmSimCommandLine, ExitsWithItsDocumentedStatus)
{
    const InteropTest::CProcessResult result = InteropTest::Run(Program + " " + GetParam().m_arguments + " 2>&1");
    EXPECT_EQ(GetParam().m_exitStatus, result.m_exitStatus) << result.m_output;
    EXPECT_NE(std::string::npos, result.m_output.find(GetParam().m_printed)) << result.m_output;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ScmSimCommandLine,
    ::testing::Values(CUsageCase{"Help", "--help", 0, "Exit status: 0"},
                      CUsageCase{"List", "list", 0, "name=scm-bit-flip nodes=3 expected=fail-safe:0xE2C0"},
                      CUsageCase{"NoCommand", "", 2, "a command is needed"},
                      CUsageCase{"UnknownScenario", "run no-such-story", 2, "no scenario no-such-story"},
                      CUsageCase{"NameAndDescription", "run commission-auto --description x.json", 2,
                                 "a scenario name or --description"},
                      CUsageCase{"TooManyNodes", "run commission-auto --nodes 1023", 2, "the SCM holds SADR 1"},
                      CUsageCase{"UnreadableDescription", "run --description /nonexistent.json", 1, "cannot read"}),
    [](const ::testing::TestParamInfo<CUsageCase>& testCase) { return testCase.param.m_name; });

// The example a user starts from commissions its nodes, the operator acknowledging the newer firmware.
TEST(ScmSim, InitExampleIsCommissionedThroughTheChecker)
{
    InteropTest::CTemporaryDirectory directory;
    const std::string file = (directory.GetPath() / "domain.json").string();
    ASSERT_EQ(0, InteropTest::Run(Program + " init '" + file + "'").m_exitStatus);
    const InteropTest::CProcessResult result =
        InteropTest::Run(Program + " run --description '" + file + "' --summary 2>&1");
    EXPECT_EQ(0, result.m_exitStatus) << result.m_output;
    EXPECT_NE(std::string::npos, result.m_output.find("class=acknowledge-firmware")) << result.m_output;
    for (const char* node : {"node=2 result=commissioned", "node=3 result=commissioned", "node=4 result=commissioned"})
    {
        EXPECT_NE(std::string::npos, result.m_output.find(node)) << node;
    }
}

// Twenty nodes leave the frame lines out; in a pipe no progress line takes their place, on a terminal one line
// is rewritten in place (script(1) gives the run a terminal) and ends with every node operational.
TEST(ScmSim, ShowsOneUpdatingProgressLineOnATerminalAndNoneInAPipe)
{
    const std::string run = Program + " run commission-auto --nodes 20";
    const InteropTest::CProcessResult piped = InteropTest::Run(run + " 2>&1");
    EXPECT_EQ(0, piped.m_exitStatus) << piped.m_output;
    EXPECT_EQ(std::string::npos, piped.m_output.find('\r'));
    EXPECT_EQ(std::string::npos, piped.m_output.find("flow=frame"));

    const InteropTest::CProcessResult terminal = InteropTest::Run("script -qec '" + run + "' /dev/null");
    EXPECT_EQ(0, terminal.m_exitStatus) << terminal.m_output;
    const std::string update = "\rcycle ";
    std::size_t updates = 0u;
    for (std::size_t at = terminal.m_output.find(update); at != std::string::npos;
         at = terminal.m_output.find(update, at + 1u))
    {
        ++updates;
    }
    EXPECT_GE(updates, 2u) << terminal.m_output;
    EXPECT_NE(std::string::npos, terminal.m_output.find("20/20 nodes operational")) << terminal.m_output;
    EXPECT_EQ(std::string::npos, terminal.m_output.find("flow=frame"));
}

// The stack 1.4 SCM, and the 1.5.2 one with its initial CTs and preloaded downloads.
struct CCaptureCase
{
    std::string m_name;
    std::string m_run;
};

class ScmSimCapture : public ::testing::TestWithParam<CCaptureCase>
{
};

TEST_P(ScmSimCapture, IsDissectedWithoutMalformedFrames)
{
    if (!InteropTest::IsInstalled("tshark"))
    {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark)";
    }
    InteropTest::CTemporaryDirectory directory;
    const std::string capture = (directory.GetPath() / "run.pcap").string();
    const InteropTest::CProcessResult run =
        InteropTest::Run(Program + " run " + GetParam().m_run + " --quiet --pcap '" + capture + "'");
    ASSERT_EQ(0, run.m_exitStatus) << run.m_output;
    const std::string tshark = "tshark -r '" + capture +
                               "' -o opensafety_udp.network_udp_port:9999 -o opensafety.scm_udid:00:60:65:5C:3D:01"
                               " -o opensafety.scm_udid_autoset:FALSE 2>/dev/null";
    const std::size_t frames = InteropTest::SplitLines(InteropTest::Run(tshark).m_output).size();
    const std::size_t dissected =
        InteropTest::SplitLines(InteropTest::Run(tshark + " -Y opensafety").m_output).size();
    const std::string flagged = InteropTest::Run(tshark + " -Y '_ws.malformed || _ws.expert.severity >= warning'").m_output;
    EXPECT_NE(std::string::npos, run.m_output.find("frames=" + std::to_string(frames))) << run.m_output;
    EXPECT_GT(frames, 150u);
    EXPECT_EQ(frames, dissected);
    EXPECT_EQ("", flagged);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScmSimCapture,
                         ::testing::Values(CCaptureCase{"Release14", "commission-auto --nodes 10"},
                                           CCaptureCase{"Release152", "scm-release-1.5.2"}),
                         [](const ::testing::TestParamInfo<CCaptureCase>& testCase) { return testCase.param.m_name; });
} // namespace
