// Classification and refusal of safety frames by the frame decoder, on frames built as a stack sends them.
#include "Epls/CFrameDecoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Epls/CFrameDecoderEventCode.h"
#include "FrameRecorder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;
using Code = Epls::CFrameDecoderEventCode;

const Support::Udid ModuleUdid{0x00u, 0x60u, 0x65u, 0x01u, 0x02u, 0x03u};
const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};
const Support::Udid OtherScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC4u};

struct CClassCase
{
    std::string m_name;
    Bytes m_frame;
    std::string m_expectedClass;
};

std::ostream& operator<<(std::ostream& stream, const CClassCase& testCase)
{
    return stream << testCase.m_name;
}

Bytes Ssdo(CFrameBuilder builder)
{
    return builder.ScmUdid(ScmUdid).Build();
}

std::vector<CClassCase> ClassCases()
{
    const Bytes data{1u, 2u, 3u, 4u};
    std::vector<CClassCase> cases = {
        {"AssignSadr", CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).Build(), "CDecodedSnmtAssignSadr"},
        {"ResponseUdid", CFrameBuilder::SnmtResponseUdid(5u, ModuleUdid).Build(), "CDecodedSnmtResponseUdid"},
        {"SadrAssigned", CFrameBuilder::SnmtSadrAssigned(5u, ModuleUdid).Build(), "CDecodedSnmtSadrAssigned"},
        {"AssignUdidScm", CFrameBuilder::SnmtAssignUdidScm(5u, ScmUdid).Build(), "CDecodedSnmtAssignUdidScm"},
        {"SnSetToOp", CFrameBuilder::SnmtSnSetToOp(5u, 0x12345678u).Build(), "CDecodedSnmtSnSetToOp"},
        {"SnSetToOpWithoutTimestamp", CFrameBuilder::SnmtExtendedServiceRequest(5u, 2u).Build(),
         "CDecodedSnmtSnSetToOp"},
        {"SnFail", CFrameBuilder::SnmtSnFail(5u, 3u, 2u).Build(), "CDecodedSnmtSnFail"},
        {"SnAck", CFrameBuilder::SnmtSnAck(5u, 3u, 2u).Build(), "CDecodedSnmtSnAck"},
        // SNMT frames the checker does not inspect.
        {"RequestUdid", CFrameBuilder::SnmtRequestUdid(5u).Build(), "CDecodedUnknownFrame"},
        {"ScmSetToStop", CFrameBuilder::SnmtExtendedServiceRequest(5u, 4u).Build(), "CDecodedUnknownFrame"},
        {"SnSetToPreOp", CFrameBuilder::SnmtExtendedServiceRequest(5u, 0u).Build(), "CDecodedUnknownFrame"},
        {"AckAsResponse", CFrameBuilder::SnmtExtendedServiceResponse(5u, 12u, {3u, 2u}).Build(),
         "CDecodedUnknownFrame"},
        {"SnFailAsRequest", CFrameBuilder::SnmtExtendedServiceRequest(5u, 7u, {3u, 2u}).Build(),
         "CDecodedUnknownFrame"},
        {"AssignUdidScmAsResponse", CFrameBuilder::SnmtExtendedServiceResponse(5u, 14u, Bytes(6u, 1u)).Build(),
         "CDecodedUnknownFrame"},
        {"SnmtId0x2E", CFrameBuilder::SnmtExtendedServiceRequest(5u, 2u).Id(0x2Eu).Build(), "CDecodedUnknownFrame"},
        // SSDO frames, basic and slim.
        {"DownloadInitiateExpedited", Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, data)),
         "CDecodedSsdoDownloadInitiateExpeditedRequest"},
        {"UploadInitiateExpedited", Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, data)),
         "CDecodedSsdoUploadInitiateExpeditedResponse"},
        {"SlimUploadInitiateExpedited",
         Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, data, true)),
         "CDecodedSsdoUploadInitiateExpeditedResponse"},
        {"DownloadOnResponse", Ssdo(CFrameBuilder::SsdoResponse(5u, 0x21u, {0x1Au, 0x10u, 0u})),
         "CDecodedUnknownFrame"},
        {"UploadOnRequest", Ssdo(CFrameBuilder::SsdoRequest(5u, 0x20u, {0x18u, 0x10u, 1u})), "CDecodedUnknownFrame"},
        {"SlimUploadOnRequest", Ssdo(CFrameBuilder::SsdoRequest(5u, 0x20u, {0x18u, 0x10u, 1u}, true)),
         "CDecodedUnknownFrame"},
        {"Abort", Ssdo(CFrameBuilder::SsdoRequest(5u, 0x04u, Bytes(7u, 0u))), "CDecodedUnknownFrame"},
        {"SsdoId0x3C", Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, data).Id(0x3Cu)),
         "CDecodedUnknownFrame"},
    };
    // Every segmented command, with and without preload, both toggles, basic and slim.
    for (const bool slim : {false, true})
    {
        const std::string form = slim ? "Slim" : "Basic";
        for (const bool preload : {false, true})
        {
            const std::string load = preload ? "Preload" : "";
            cases.push_back(
                {form + "DownloadInitiateSegmented" + load,
                 Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(5u, 0x101Au, 0u, 40u, data, preload, slim)),
                 "CDecodedSsdoDownloadInitiateSegmentedRequest"});
            cases.push_back(
                {form + "UploadInitiateSegmented" + load,
                 Ssdo(CFrameBuilder::SsdoUploadInitiateSegmentedResponse(5u, 0x1018u, 6u, 40u, data, preload, slim)),
                 "CDecodedSsdoUploadInitiateSegmentedResponse"});
            for (const bool odd : {false, true})
            {
                const std::string toggle = load + (odd ? "Odd" : "Even");
                cases.push_back({form + "DownloadMiddle" + toggle,
                                 Ssdo(CFrameBuilder::SsdoDownloadSegment(5u, false, odd, data, preload, slim)),
                                 "CDecodedSsdoDownloadMiddleSegmentRequest"});
                cases.push_back({form + "DownloadEnd" + toggle,
                                 Ssdo(CFrameBuilder::SsdoDownloadSegment(5u, true, odd, data, preload, slim)),
                                 "CDecodedSsdoDownloadEndSegmentRequest"});
                cases.push_back({form + "UploadMiddle" + toggle,
                                 Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(5u, false, odd, data, preload, slim)),
                                 "CDecodedSsdoUploadMiddleSegmentResponse"});
                cases.push_back({form + "UploadEnd" + toggle,
                                 Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(5u, true, odd, data, preload, slim)),
                                 "CDecodedSsdoUploadEndSegmentResponse"});
            }
        }
        cases.push_back({form + "DownloadInitiateExpedited",
                         Ssdo(CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, data, slim)),
                         "CDecodedSsdoDownloadInitiateExpeditedRequest"});
    }
    return cases;
}

class CFrameDecoderClassTest : public testing::TestWithParam<CClassCase>
{
};

TEST_P(CFrameDecoderClassTest, ChoosesTheClassOfIdentifierAndFirstPayloadByte)
{
    const CClassCase& testCase = GetParam();
    Epls::CFrameDecoder decoder;
    const auto& decoded = decoder.GetDecodedFrame(static_cast<std::uint16_t>(testCase.m_frame.size()),
                                                  testCase.m_frame.data(), ScmUdid.data());
    EXPECT_EQ(testCase.m_expectedClass, FrameTest::CFrameRecorder::Record(decoded).m_className);
}

INSTANTIATE_TEST_SUITE_P(CFrameDecoder, CFrameDecoderClassTest, testing::ValuesIn(ClassCases()),
                         [](const testing::TestParamInfo<CClassCase>& paramInfo) { return paramInfo.param.m_name; });

struct CRefusalCase
{
    std::string m_name;
    Bytes m_frame;
    std::uint16_t m_code;
    std::uint32_t m_information1;
};

std::ostream& operator<<(std::ostream& stream, const CRefusalCase& testCase)
{
    return stream << testCase.m_name;
}

Bytes Truncated(Bytes frame, std::size_t length)
{
    frame.resize(length);
    return frame;
}

Bytes Appended(Bytes frame, const Bytes& trailing)
{
    frame.insert(frame.end(), trailing.begin(), trailing.end());
    return frame;
}

Bytes Flipped(Bytes frame, std::size_t offset)
{
    frame.at(offset) ^= 0x01u;
    return frame;
}

std::vector<CRefusalCase> RefusalCases()
{
    const Bytes smallest = CFrameBuilder::SnmtRequestUdid(5u).Build();
    const Bytes le9 = CFrameBuilder::SnmtExtendedServiceRequest(5u, 2u, Bytes(8u, 0x5Au)).Build();
    const Bytes slim12 = Ssdo(CFrameBuilder::SsdoDownloadSegment(5u, false, false, Bytes(11u, 0x33u), false, true));
    const Bytes assign = CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).Build();
    const Bytes upload = Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, {1u, 2u, 3u, 4u}));
    return {
        {"TenBytes", Truncated(smallest, 10u), Code::FrameTooShort, 10u},
        {"BasicLe9OneByteShort", Truncated(le9, 30u), Code::InvalidLength, 0u},
        {"SlimLe12OneByteShort", Truncated(slim12, slim12.size() - 1u), Code::InvalidLength, 0u},
        {"CrcOneMismatch", Flipped(assign, 4u + 6u), Code::InvalidCrc, 0u},
        {"CrcTwoMismatch", Flipped(assign, assign.size() - 1u), Code::InvalidCrc, 0u},
        {"PayloadCopiesDiffer",
         CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).PayloadCopy({0x00u, 0x60u, 0x65u, 0x01u, 0x02u, 0x04u}).Build(),
         Code::InconsistentPayload, 0u},
        {"OtherScmUdid",
         CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, {1u, 2u, 3u, 4u})
             .ScmUdid(OtherScmUdid)
             .Build(),
         Code::InvalidCrc, 0u},
        {"UploadWithoutScmUdid",
         CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, {1u, 2u, 3u, 4u}).Build(),
         Code::InvalidCrc, 0u},
        {"Spdo0x30", CFrameBuilder().Id(0x30u).Build(), Code::SpdoNotAllowed, 0u},
        {"Spdo0x37", CFrameBuilder().Id(0x37u).Build(), Code::SpdoNotAllowed, 0u},
        {"Id0x00", CFrameBuilder().Id(0x00u).Build(), Code::InvalidFrameType, 0x00u},
        {"Id0x27", CFrameBuilder().Id(0x27u).Build(), Code::InvalidFrameType, 0x27u},
        {"Id0x05", CFrameBuilder().Id(0x05u).Build(), Code::InvalidFrameType, 0x05u},
        // Payloads too short for what the frame's class reads.
        {"AssignSadrWithFiveUdidBytes", CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).Payload(Bytes(5u, 1u)).Build(),
         Code::InvalidLength, 0u},
        {"ResponseUdidWithFiveUdidBytes",
         CFrameBuilder::SnmtResponseUdid(5u, ModuleUdid).Payload(Bytes(5u, 1u)).Build(), Code::InvalidLength, 0u},
        // The payload minimum is judged before either CRC.
        {"AssignSadrWithFiveUdidBytesAndBadCrcs",
         Flipped(Flipped(CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).Payload(Bytes(5u, 1u)).Build(), 4u + 5u), 10u),
         Code::InvalidLength, 0u},
        {"SadrAssignedEmpty", CFrameBuilder::SnmtSadrAssigned(5u, ModuleUdid).Payload({}).Build(), Code::InvalidLength,
         0u},
        {"AssignUdidScmWithFiveUdidBytes", CFrameBuilder::SnmtExtendedServiceRequest(5u, 14u, Bytes(5u, 1u)).Build(),
         Code::InvalidLength, 0u},
        {"SnFailWithoutErrorCode", CFrameBuilder::SnmtExtendedServiceResponse(5u, 7u, {3u}).Build(),
         Code::InvalidLength, 0u},
        {"SnAckWithoutErrorCode", CFrameBuilder::SnmtExtendedServiceRequest(5u, 12u, {3u}).Build(), Code::InvalidLength,
         0u},
        {"ExtendedServiceWithoutService", CFrameBuilder().Id(0x2Cu).Build(), Code::InvalidLength, 0u},
        {"ExtendedResponseWithoutService", CFrameBuilder().Id(0x2Du).Build(), Code::InvalidLength, 0u},
        {"SsdoWithoutCommand", Ssdo(CFrameBuilder().Id(0x38u)), Code::InvalidLength, 0u},
        {"SlimSsdoWithoutCommand", Ssdo(CFrameBuilder().Id(0x3Bu)), Code::InvalidLength, 0u},
        {"ExpeditedInitiateWithoutSubIndex", Ssdo(CFrameBuilder::SsdoRequest(5u, 0x21u, {0x1Au, 0x10u})),
         Code::InvalidLength, 0u},
        {"SegmentedInitiateWithoutTotalLength",
         Ssdo(CFrameBuilder::SsdoResponse(5u, 0x28u, {0x18u, 0x10u, 6u, 40u, 0u, 0u})), Code::InvalidLength, 0u},
        {"TruncatedUpload", Truncated(upload, upload.size() - 1u), Code::InvalidLength, 0u},
        // A queue message is one frame: whatever follows the frame that LE describes is refused.
        {"BasicLe9OneByteLong", Appended(le9, {0x00u}), Code::InvalidLength, 0u},
        {"SlimLe12OneByteLong", Appended(slim12, {0xFFu}), Code::InvalidLength, 0u},
        {"SmallestFollowedBySnSetToOp", Appended(smallest, CFrameBuilder::SnmtSnSetToOp(5u).Build()),
         Code::InvalidLength, 0u},
        {"UploadFollowedByItself", Appended(upload, upload), Code::InvalidLength, 0u},
    };
}

class CFrameDecoderRefusalTest : public testing::TestWithParam<CRefusalCase>
{
};

TEST_P(CFrameDecoderRefusalTest, RefusesWithItsCodeAndInformation)
{
    const CRefusalCase& testCase = GetParam();
    Epls::CFrameDecoder decoder;
    const Util::CException exception = Support::CaptureException(
        [&]
        {
            (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(testCase.m_frame.size()), testCase.m_frame.data(),
                                          ScmUdid.data());
        });
    Support::ExpectException(exception, testCase.m_code, 0u, testCase.m_information1);
}

INSTANTIATE_TEST_SUITE_P(CFrameDecoder, CFrameDecoderRefusalTest, testing::ValuesIn(RefusalCases()),
                         [](const testing::TestParamInfo<CRefusalCase>& paramInfo) { return paramInfo.param.m_name; });

TEST(CFrameDecoder, DecodesTheSmallestFrameAndThePayloadMinimumOfEachClass)
{
    const std::vector<Bytes> frames = {
        CFrameBuilder::SnmtRequestUdid(5u).Build(),
        CFrameBuilder::SnmtExtendedServiceRequest(5u, 2u).Build(),
        CFrameBuilder::SnmtExtendedServiceResponse(5u, 7u, {3u, 2u}).Build(),
        CFrameBuilder::SnmtExtendedServiceRequest(5u, 14u, Bytes(6u, 1u)).Build(),
        Ssdo(CFrameBuilder::SsdoRequest(5u, 0x21u, {0x1Au, 0x10u, 0u})),
        Ssdo(CFrameBuilder::SsdoRequest(5u, 0x29u, {0x1Au, 0x10u, 0u, 0u, 0u, 0u, 0u})),
        Ssdo(CFrameBuilder::SsdoRequest(5u, 0x49u, {})),
        Ssdo(CFrameBuilder::SsdoResponse(5u, 0x18u, {}, true)),
    };
    EXPECT_EQ(11u, frames.front().size());
    Epls::CFrameDecoder decoder;
    for (const Bytes& frame : frames)
    {
        EXPECT_NO_THROW(
            (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(frame.size()), frame.data(), ScmUdid.data()))
            << Support::ToHex(frame);
    }
}

// Any single bit flipped anywhere in a frame must be refused, whatever the class, form and CRC width.
TEST(CFrameDecoder, RefusesEverySingleBitFlip)
{
    const std::vector<Bytes> frames = {
        CFrameBuilder::SnmtAssignSadr(1023u, ModuleUdid).Sdn(1023u).Ct(0x1234u).Build(),
        CFrameBuilder::SnmtSnFail(700u, 3u, 2u).Sdn(77u).Build(),
        CFrameBuilder::SnmtRequestUdid(3u).Build(),
        Ssdo(CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 1u, {1u, 2u, 3u, 4u})),
        Ssdo(CFrameBuilder::SsdoDownloadInitiateSegmented(9u, 0x101Au, 0u, 300u, Bytes(100u, 0x42u))),
        Ssdo(CFrameBuilder::SsdoDownloadSegment(9u, true, true, Bytes(3u, 0x42u), false, true)),
        Ssdo(CFrameBuilder::SsdoUploadSegmentResponse(9u, false, false, Bytes(40u, 0x42u), true, true)),
    };
    Epls::CFrameDecoder decoder;
    for (const Bytes& original : frames)
    {
        ASSERT_NO_THROW((void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(original.size()), original.data(),
                                                      ScmUdid.data()));
        for (std::size_t offset = 0u; offset < original.size(); ++offset)
        {
            for (unsigned bit = 0u; bit < 8u; ++bit)
            {
                Bytes corrupted = original;
                corrupted[offset] = static_cast<std::uint8_t>(corrupted[offset] ^ (1u << bit));
                try
                {
                    (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(corrupted.size()), corrupted.data(),
                                                  ScmUdid.data());
                    ADD_FAILURE() << "accepted " << Support::ToHex(corrupted) << " (byte " << offset << ", bit " << bit
                                  << ")";
                }
                catch (const Util::CException& exception)
                {
                    EXPECT_GE(exception.m_eventCode, Code::FrameTooShort);
                    EXPECT_LE(exception.m_eventCode, Code::InvalidFrameType);
                }
            }
        }
    }
}

TEST(CFrameDecoder, LeavesAFrameThatFailedVerificationUnreadable)
{
    Epls::CFrameDecoder decoder;
    const Bytes good = CFrameBuilder::SnmtAssignSadr(5u, ModuleUdid).Build();
    const Epls::CDecodedFrame& decoded =
        decoder.GetDecodedFrame(static_cast<std::uint16_t>(good.size()), good.data(), ScmUdid.data());
    EXPECT_EQ(5u, decoded.GetAdr());

    const Bytes bad = Flipped(good, good.size() - 1u);
    EXPECT_THROW((void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(bad.size()), bad.data(), ScmUdid.data()),
                 Util::CException);
    // The same object was re-initialised from the bad frame: every accessor now refuses.
    const std::vector<std::function<void()>> accessors = {
        [&] { (void)decoded.GetAdr(); },
        [&] { (void)decoded.GetId(); },
        [&] { (void)decoded.GetLe(); },
        [&] { (void)decoded.GetCt(); },
        [&] { (void)decoded.GetSdn(); },
        [&] { (void)decoded.GetTadr(); },
        [&] { (void)decoded.GetTr(); },
        [&] { (void)decoded.GetDbs(); },
        [&] { (void)FrameTest::CFrameRecorder::Record(decoded); },
    };
    for (const auto& accessor : accessors)
    {
        Support::ExpectGuard(Support::CaptureGuard(accessor), "CDecodedFrame.cpp");
    }
}

TEST(CFrameDecoder, GuardsAgainstMissingFrameAndScmUdid)
{
    Epls::CFrameDecoder decoder;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)decoder.GetDecodedFrame(20u, nullptr, ScmUdid.data()); }),
                         "CDecodedFrame.cpp");
    const Bytes ssdo = Ssdo(CFrameBuilder::SsdoDownloadSegment(5u, true, false, {1u}));
    Support::ExpectGuard(
        Support::CaptureGuard(
            [&] { (void)decoder.GetDecodedFrame(static_cast<std::uint16_t>(ssdo.size()), ssdo.data(), nullptr); }),
        "CDecodedFrame.cpp");
}
} // namespace
