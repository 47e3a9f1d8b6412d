// Accessors of the fifteen decoded frame classes, read through the visitor as the inspectors read them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Epls/CFrameDecoder.h"
#include "FrameRecorder.h"
#include "support/Messages/CFrameBuilder.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

const Support::Udid ModuleUdid{0x00u, 0x60u, 0x65u, 0x01u, 0x02u, 0x03u};
const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};
const Bytes ModuleUdidBytes(ModuleUdid.begin(), ModuleUdid.end());

struct CAccessorCase
{
    std::string m_name;
    Bytes m_frame;
    FrameTest::CFrameAccessors m_expected;
    // Offset of the UDID or parameter data from the frame start, where the class has one.
    std::size_t m_pointerOffset;
};

std::ostream& operator<<(std::ostream& stream, const CAccessorCase& testCase)
{
    return stream << testCase.m_name;
}

FrameTest::CFrameAccessors Expect(const char* className)
{
    FrameTest::CFrameAccessors accessors;
    accessors.m_className = className;
    return accessors;
}

FrameTest::CFrameAccessors ExpectUdid(const char* className, std::uint16_t safetyAddress)
{
    FrameTest::CFrameAccessors accessors = Expect(className);
    accessors.m_safetyAddress = safetyAddress;
    accessors.m_udid = ModuleUdidBytes;
    return accessors;
}

FrameTest::CFrameAccessors ExpectError(const char* className, std::uint16_t safetyAddress, std::uint8_t group,
                                       std::uint8_t code)
{
    FrameTest::CFrameAccessors accessors = Expect(className);
    accessors.m_safetyAddress = safetyAddress;
    accessors.m_errorGroup = group;
    accessors.m_errorCode = code;
    return accessors;
}

FrameTest::CFrameAccessors ExpectData(const char* className, std::uint16_t safetyAddress, const Bytes& data)
{
    FrameTest::CFrameAccessors accessors = Expect(className);
    accessors.m_safetyAddress = safetyAddress;
    accessors.m_parameterData = data;
    return accessors;
}

FrameTest::CFrameAccessors ExpectObject(const char* className, std::uint16_t safetyAddress, std::uint16_t index,
                                        std::uint8_t subIndex, const Bytes& data)
{
    FrameTest::CFrameAccessors accessors = ExpectData(className, safetyAddress, data);
    accessors.m_index = index;
    accessors.m_subIndex = subIndex;
    return accessors;
}

Bytes Ssdo(CFrameBuilder builder)
{
    return builder.ScmUdid(ScmUdid).Build();
}

std::vector<CAccessorCase> AccessorCases()
{
    const Bytes four{0xD1u, 0xD2u, 0xD3u, 0xD4u};
    const Bytes long200(200u, 0x5Cu);
    FrameTest::CFrameAccessors assignUdidScm = Expect("CDecodedSnmtAssignUdidScm");
    assignUdidScm.m_scmUdid = Bytes(ScmUdid.begin(), ScmUdid.end());
    // The address a frame is about: ADR from the SCM to a module, TADR back. The opposite address is set to
    // something else each time, so that a swap shows.
    return {
        {"AssignSadrReportsAdr", CFrameBuilder::SnmtAssignSadr(1023u, ModuleUdid).Tadr(2u).Build(),
         ExpectUdid("CDecodedSnmtAssignSadr", 1023u), 4u},
        {"ResponseUdidReportsTadr", CFrameBuilder::SnmtResponseUdid(1023u, ModuleUdid).Adr(2u).Build(),
         ExpectUdid("CDecodedSnmtResponseUdid", 1023u), 4u},
        {"SadrAssignedReportsTadr", CFrameBuilder::SnmtSadrAssigned(600u, ModuleUdid).Adr(2u).Build(),
         ExpectUdid("CDecodedSnmtSadrAssigned", 600u), 4u},
        {"AssignUdidScm", CFrameBuilder::SnmtAssignUdidScm(5u, ScmUdid).Build(), assignUdidScm, 5u},
        {"SnSetToOpReportsAdr", CFrameBuilder::SnmtSnSetToOp(1000u).Tadr(2u).Build(),
         []
         {
             FrameTest::CFrameAccessors accessors = Expect("CDecodedSnmtSnSetToOp");
             accessors.m_safetyAddress = 1000u;
             return accessors;
         }(),
         0u},
        {"SnFailReportsTadr", CFrameBuilder::SnmtSnFail(1022u, 5u, 0x81u).Adr(2u).Build(),
         ExpectError("CDecodedSnmtSnFail", 1022u, 5u, 0x81u), 0u},
        {"SnAckReportsAdr", CFrameBuilder::SnmtSnAck(513u, 3u, 2u).Tadr(2u).Build(),
         ExpectError("CDecodedSnmtSnAck", 513u, 3u, 2u), 0u},
        // An expedited initiate of LE 8 carries 4 data bytes after command, index and sub-index.
        {"DownloadInitiateExpedited",
         Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(1023u, 0x101Au, 0u, four).Tadr(2u)),
         ExpectObject("CDecodedSsdoDownloadInitiateExpeditedRequest", 1023u, 0x101Au, 0u, four), 8u},
        {"SlimUploadInitiateExpedited",
         Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(700u, 0x1018u, 6u, long200, true).Adr(2u)),
         ExpectObject("CDecodedSsdoUploadInitiateExpeditedResponse", 700u, 0x1018u, 6u, long200), 8u},
        {"InitiateWithoutData", Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(7u, 0xABCDu, 0xFEu, {})),
         ExpectObject("CDecodedSsdoUploadInitiateExpeditedResponse", 7u, 0xABCDu, 0xFEu, {}), 8u},
        // Segmented initiates hand on the 4-byte total length with the data.
        {"DownloadInitiateSegmented",
         Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(9u, 0x101Au, 0u, 0x01020304u, four)),
         ExpectObject("CDecodedSsdoDownloadInitiateSegmentedRequest", 9u, 0x101Au, 0u,
                      {0x04u, 0x03u, 0x02u, 0x01u, 0xD1u, 0xD2u, 0xD3u, 0xD4u}),
         8u},
        {"UploadInitiateSegmented",
         Ssdo(CFrameBuilder::SsdoUploadInitiateSegmentedResponse(9u, 0x1018u, 6u, 300u, four, true, true)),
         ExpectObject("CDecodedSsdoUploadInitiateSegmentedResponse", 9u, 0x1018u, 6u,
                      {0x2Cu, 0x01u, 0x00u, 0x00u, 0xD1u, 0xD2u, 0xD3u, 0xD4u}),
         8u},
        {"DownloadMiddleSegment", Ssdo(CFrameBuilder::SsdoDownloadSegment(1023u, false, true, long200)),
         ExpectData("CDecodedSsdoDownloadMiddleSegmentRequest", 1023u, long200), 5u},
        {"DownloadEndSegment", Ssdo(CFrameBuilder::SsdoDownloadSegment(4u, true, false, four, true, true)),
         ExpectData("CDecodedSsdoDownloadEndSegmentRequest", 4u, four), 5u},
        {"UploadMiddleSegment", Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(1u, false, false, four)),
         ExpectData("CDecodedSsdoUploadMiddleSegmentResponse", 1u, four), 5u},
        {"EmptyUploadEndSegment", Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(1023u, true, true, {}, false, true)),
         ExpectData("CDecodedSsdoUploadEndSegmentResponse", 1023u, {}), 5u},
    };
}

class CDecodedFrameClassesTest : public testing::TestWithParam<CAccessorCase>
{
};

TEST_P(CDecodedFrameClassesTest, AccessorsReadTheFrameAsSent)
{
    const CAccessorCase& testCase = GetParam();
    Epls::CFrameDecoder decoder;
    const FrameTest::CFrameAccessors actual = FrameTest::CFrameRecorder::Record(decoder.GetDecodedFrame(
        static_cast<std::uint16_t>(testCase.m_frame.size()), testCase.m_frame.data(), ScmUdid.data()));
    const FrameTest::CFrameAccessors& expected = testCase.m_expected;
    EXPECT_EQ(expected.m_className, actual.m_className);
    EXPECT_EQ(expected.m_safetyAddress, actual.m_safetyAddress);
    EXPECT_EQ(expected.m_udid, actual.m_udid);
    EXPECT_EQ(expected.m_scmUdid, actual.m_scmUdid);
    EXPECT_EQ(expected.m_errorGroup, actual.m_errorGroup);
    EXPECT_EQ(expected.m_errorCode, actual.m_errorCode);
    EXPECT_EQ(expected.m_index, actual.m_index);
    EXPECT_EQ(expected.m_subIndex, actual.m_subIndex);
    EXPECT_EQ(expected.m_parameterData, actual.m_parameterData);
    // Pointers lead into the caller's frame buffer, not into a copy.
    if (actual.m_udidPointer != nullptr)
    {
        EXPECT_EQ(testCase.m_frame.data() + testCase.m_pointerOffset, actual.m_udidPointer);
    }
    if (actual.m_parameterDataPointer != nullptr)
    {
        EXPECT_EQ(testCase.m_frame.data() + testCase.m_pointerOffset, actual.m_parameterDataPointer);
    }
}

INSTANTIATE_TEST_SUITE_P(CDecodedFrameClasses, CDecodedFrameClassesTest, testing::ValuesIn(AccessorCases()),
                         [](const testing::TestParamInfo<CAccessorCase>& paramInfo) { return paramInfo.param.m_name; });
} // namespace
