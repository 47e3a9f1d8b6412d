// The scm-decode program on built messages: its lines, its exit status and its input forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProcessRunner.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CDiagnosisBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"
#include "support/Messages/CStatusNewBuilder.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;
using Support::ToHex;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};
const Support::Udid ModuleUdid{0x00u, 0x60u, 0x65u, 0x01u, 0x02u, 0x03u};

InteropTest::CProcessResult ScmDecode(const std::string& arguments)
{
    return InteropTest::Run(std::string(SCM_DECODE_PATH) + " " + arguments + " 2>/dev/null");
}

struct CLineCase
{
    std::string m_name;
    std::string m_arguments;
    std::string m_expectedLine;
    int m_expectedExitStatus;
};

std::ostream& operator<<(std::ostream& stream, const CLineCase& testCase)
{
    return stream << testCase.m_name;
}

std::vector<CLineCase> LineCases()
{
    const Bytes assignSadr = CFrameBuilder::SnmtAssignSadr(1023u, ModuleUdid).Sdn(1000u).Ct(300u).Tr(5u).Build();
    const Bytes download =
        CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, {0xDEu, 0xADu}).Sdn(7u).ScmUdid(ScmUdid).Build();
    const Bytes segment =
        CFrameBuilder::SsdoUploadSegmentResponse(1023u, true, true, {1u, 2u}, false, true).ScmUdid(ScmUdid).Build();
    Bytes corrupted = assignSadr;
    corrupted.back() ^= 0x01u;
    const Support::Password password{1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u};
    const std::string passwordHex = ToHex(Bytes(password.begin(), password.end()));
    return {
        {"SnmtFrame", "frame " + ToHex(assignSadr),
         "class=CDecodedSnmtAssignSadr id=0x2A adr=1023 sdn=1000 le=6 ct=300 tadr=1 tr=5 sadr=1023 udid=006065010203",
         0},
        {"SsdoFrame", "frame --scm-udid 006065a1b2c3 " + ToHex(download),
         "class=CDecodedSsdoDownloadInitiateExpeditedRequest id=0x38 adr=5 sdn=7 le=6 ct=0 tadr=1 tr=0 command=0x21 "
         "sadr=5 index=0x101A subindex=0 data=dead",
         0},
        {"SlimSegment", "frame --scm-udid 00:60:65:A1:B2:C3 " + ToHex(segment),
         "class=CDecodedSsdoUploadEndSegmentResponse id=0x3B adr=1 sdn=1 le=3 ct=0 tadr=1023 tr=0 command=0x58 "
         "sadr=1023 data=0102",
         0},
        {"SsdoFrameWithoutScmUdid", "frame " + ToHex(download), "error=0xE2C0 name=InvalidCrc info0=0 info1=0", 1},
        {"UnknownFrame", "frame " + ToHex(CFrameBuilder::SnmtExtendedServiceRequest(3u, 4u).Build()),
         "class=CDecodedUnknownFrame id=0x2C adr=3 sdn=1 le=1 ct=0 tadr=1 tr=0 service=4", 0},
        {"CorruptedFrame", "frame " + ToHex(corrupted), "error=0xE2C0 name=InvalidCrc info0=0 info1=0", 1},
        {"ShortFrame", "frame 0102030405", "error=0xE2BE name=FrameTooShort info0=0 info1=5", 1},
        {"Spdo", "frame " + ToHex(CFrameBuilder().Id(0x30u).Build()),
         "error=0xE2C2 name=SpdoNotAllowed info0=0 info1=0", 1},
        {"Command", "command " + ToHex(Support::CCommandBuilder::AcknowledgeModules(password, 2u).Number(9u).Build()),
         "class=CDecodedAcknowledgeModules selector=3 command=0x0100 number=9 data=0x0050 password=" + passwordHex +
             " count=2",
         0},
        {"ShortCommand", "command 03000000", "error=0xE2C6 name=CommandTooShort info0=0 info1=4", 1},
        {"Status", "response " + ToHex(Support::CStatusBuilder().Status(1u).FailSafeFlags(0xAAu).Build()),
         "class=CDecodedStatus length=280 selector=4 command=0x0200 status=1 successful=0 fail_safe_flags=170 ok=0", 0},
        {"StatusNew", "response " + ToHex(Support::CStatusNewBuilder().FailSafe(true).Build()),
         "class=CDecodedStatusNew length=52 selector=4 command=0x0200 status=0 successful=1 fail_safe_flag=1 ok=0", 0},
        {"Diagnosis", "response " + ToHex(Support::CDiagnosisBuilder().Object(0x2432u, 1u, 2u, 7u).Build()),
         "class=CDecodedDiagnosis length=30 selector=7 command=0x8400 version=1 data=1 objects=1 index0=0x2432 "
         "subindex0=1 error0=2 value0=7",
         0},
        {"ShortResponse", "response 0400", "class=CDecodedUnknownResponse length=2", 0},
        {"Event",
         "event " +
             ToHex(Support::CEventBuilder::ModulesAcknowledged(Support::CEventBuilder::Acknowledgement::Automatic, 3u)
                       .Build()),
         "class=CDecodedModulesAcknowledged level=1 code=0xC095 info0=8 info1=3 kind=Automatic count=3", 0},
        {"ShortEvent", "event 01949c", "error=0xE2C8 name=EventTooShort info0=0 info1=3", 1},
    };
}

class ScmDecodeLineTest : public testing::TestWithParam<CLineCase>
{
};

TEST_P(ScmDecodeLineTest, PrintsOneLineAndTheExitStatus)
{
    const InteropTest::CProcessResult result = ScmDecode(GetParam().m_arguments);
    EXPECT_EQ(GetParam().m_expectedLine + "\n", result.m_output);
    EXPECT_EQ(GetParam().m_expectedExitStatus, result.m_exitStatus);
}

INSTANTIATE_TEST_SUITE_P(ScmDecode, ScmDecodeLineTest, testing::ValuesIn(LineCases()),
                         [](const testing::TestParamInfo<CLineCase>& paramInfo) { return paramInfo.param.m_name; });

TEST(ScmDecode, ReadsOneMessagePerLineAndFailsWhenAnyIsRefused)
{
    const Bytes good = CFrameBuilder::SnmtSnFail(5u, 3u, 2u).Build();
    const InteropTest::CProcessResult result =
        InteropTest::Run("printf '%s\\n\\n%s\\r\\n' " + ToHex(good) + " 0102 | " + SCM_DECODE_PATH + " frame");
    const std::vector<std::string> lines = InteropTest::SplitLines(result.m_output);
    ASSERT_EQ(2u, lines.size()) << result.m_output;
    EXPECT_EQ(0u, lines[0].rfind("class=CDecodedSnmtSnFail ", 0u)) << lines[0];
    EXPECT_EQ("error=0xE2BE name=FrameTooShort info0=0 info1=2", lines[1]);
    EXPECT_EQ(1, result.m_exitStatus);
}

TEST(ScmDecode, RefusesMisuseWithStatusTwo)
{
    for (const std::string& arguments : std::vector<std::string>{
             "", "beacon 00", "frame 0g", "frame 012", "frame --scm-udid 0102 00", "command --scm-udid 006065a1b2c3 00",
             "frame --verbose 00", "event " + std::string(2u * 256u, '0')})
    {
        SCOPED_TRACE(arguments);
        const InteropTest::CProcessResult result = ScmDecode(arguments);
        EXPECT_EQ(2, result.m_exitStatus);
        EXPECT_EQ("", result.m_output);
    }
}

TEST(ScmDecode, DocumentsEveryKindAndExitStatus)
{
    const InteropTest::CProcessResult result = ScmDecode("--help");
    EXPECT_EQ(0, result.m_exitStatus);
    for (const char* text : {"frame", "command", "response", "event", "--scm-udid", "Exit status", "0x"})
    {
        EXPECT_NE(std::string::npos, result.m_output.find(text)) << text;
    }
}
} // namespace
