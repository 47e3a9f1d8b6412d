// The decoder's classification tables against the classes' own predicates: every identifier, every first payload
// byte and every payload length up to the longest any class needs.
#include "Epls/CFrameDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Epls/CFrameDecoderEventCode.h"
#include "Epls/Id.h"
#include "FrameRecorder.h"
#include "Util/CException.h"
#include "support/Messages/CFrameBuilder.h"

namespace
{
using Support::Bytes;
using Code = Epls::CFrameDecoderEventCode;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};
// The longest payload minimum of any class (a segmented initiate frame).
constexpr std::uint8_t LeMax = 8u;

struct CExpectation
{
    std::string m_className;
    std::uint8_t m_leMin;
};

// The first class whose predicate holds, in the order the decoder documents, and the payload it needs. An unknown
// frame needs its classifying byte when its identifier has classes chosen by that byte, and every SSDO frame does.
CExpectation Expect(const Bytes& frame)
{
    using namespace Epls;
    const auto length = static_cast<std::uint16_t>(frame.size());
    const std::uint8_t* const data = frame.data();
    if (CDecodedFrame::IsSnmt(length, data))
    {
        if (CDecodedSnmtResponseUdid::IsSnmtResponseUdid(length, data))
        {
            return {"CDecodedSnmtResponseUdid", CDecodedSnmtResponseUdid::ms_LeMin};
        }
        if (CDecodedSnmtAssignSadr::IsSnmtAssignSadr(length, data))
        {
            return {"CDecodedSnmtAssignSadr", CDecodedSnmtAssignSadr::ms_LeMin};
        }
        if (CDecodedSnmtSadrAssigned::IsSnmtSadrAssigned(length, data))
        {
            return {"CDecodedSnmtSadrAssigned", CDecodedSnmtSadrAssigned::ms_LeMin};
        }
        if (CDecodedSnmtAssignUdidScm::IsSnmtAssignUdidScm(length, data))
        {
            return {"CDecodedSnmtAssignUdidScm", CDecodedSnmtAssignUdidScm::ms_LeMin};
        }
        if (CDecodedSnmtSnSetToOp::IsSnmtSnSetToOp(length, data))
        {
            return {"CDecodedSnmtSnSetToOp", CDecodedSnmtSnSetToOp::ms_LeMin};
        }
        if (CDecodedSnmtSnFail::IsSnmtSnFail(length, data))
        {
            return {"CDecodedSnmtSnFail", CDecodedSnmtSnFail::ms_LeMin};
        }
        if (CDecodedSnmtSnAck::IsSnmtSnAck(length, data))
        {
            return {"CDecodedSnmtSnAck", CDecodedSnmtSnAck::ms_LeMin};
        }
        const std::uint8_t id = CDecodedFrame::GetId(length, data);
        const bool byService = (id == Id::SnmtExtendedServiceRequest) || (id == Id::SnmtExtendedServiceResponse);
        return {"CDecodedUnknownFrame", static_cast<std::uint8_t>(byService ? 1u : 0u)};
    }
    if (CDecodedSsdoUploadInitiateExpeditedResponse::IsDecodedSsdoUploadInitiateExpeditedResponse(length, data))
    {
        return {"CDecodedSsdoUploadInitiateExpeditedResponse", CDecodedSsdoUploadInitiateExpeditedResponse::ms_LeMin};
    }
    if (CDecodedSsdoDownloadInitiateExpeditedRequest::IsDecodedSsdoDownloadInitiateExpeditedRequest(length, data))
    {
        return {"CDecodedSsdoDownloadInitiateExpeditedRequest", CDecodedSsdoDownloadInitiateExpeditedRequest::ms_LeMin};
    }
    if (CDecodedSsdoUploadInitiateSegmentedResponse::IsDecodedSsdoUploadInitiateSegmentedResponse(length, data))
    {
        return {"CDecodedSsdoUploadInitiateSegmentedResponse", CDecodedSsdoUploadInitiateSegmentedResponse::ms_LeMin};
    }
    if (CDecodedSsdoUploadMiddleSegmentResponse::IsDecodedSsdoUploadMiddleSegmentResponse(length, data))
    {
        return {"CDecodedSsdoUploadMiddleSegmentResponse", CDecodedSsdoUploadMiddleSegmentResponse::ms_LeMin};
    }
    if (CDecodedSsdoUploadEndSegmentResponse::IsDecodedSsdoUploadEndSegmentResponse(length, data))
    {
        return {"CDecodedSsdoUploadEndSegmentResponse", CDecodedSsdoUploadEndSegmentResponse::ms_LeMin};
    }
    if (CDecodedSsdoDownloadInitiateSegmentedRequest::IsDecodedSsdoDownloadInitiateSegmentedRequest(length, data))
    {
        return {"CDecodedSsdoDownloadInitiateSegmentedRequest", CDecodedSsdoDownloadInitiateSegmentedRequest::ms_LeMin};
    }
    if (CDecodedSsdoDownloadMiddleSegmentRequest::IsDecodedSsdoDownloadMiddleSegmentRequest(length, data))
    {
        return {"CDecodedSsdoDownloadMiddleSegmentRequest", CDecodedSsdoDownloadMiddleSegmentRequest::ms_LeMin};
    }
    if (CDecodedSsdoDownloadEndSegmentRequest::IsDecodedSsdoDownloadEndSegmentRequest(length, data))
    {
        return {"CDecodedSsdoDownloadEndSegmentRequest", CDecodedSsdoDownloadEndSegmentRequest::ms_LeMin};
    }
    return {"CDecodedUnknownFrame", 1u};
}

Bytes BuildFrame(std::uint8_t id, std::uint8_t firstPayloadByte, std::uint8_t le)
{
    Bytes payload(le, 0x5Au);
    if (le > 0u)
    {
        payload[0] = firstPayloadByte;
    }
    Support::CFrameBuilder builder;
    builder.Id(id).Payload(payload);
    if ((id & 0x38u) == 0x38u)
    {
        builder.ScmUdid(ScmUdid);
    }
    return builder.Build();
}

// A frame of a class is decoded into that class once its payload holds what the class reads, and refused with
// 0xE2BF below; identifiers outside SNMT and SSDO are refused whatever follows them.
TEST(CFrameDecoder, ClassifiesEveryIdentifierFirstPayloadByteAndPayloadLengthAsTheClassPredicates)
{
    Epls::CFrameDecoder decoder;
    unsigned decodedCount = 0u;
    for (unsigned id = 0u; id < 64u; ++id)
    {
        const bool isSpdo = (id & 0x38u) == 0x30u;
        const bool isDecodable = ((id & 0x38u) == 0x28u) || ((id & 0x38u) == 0x38u);
        for (unsigned byte = 0u; byte < 256u; ++byte)
        {
            for (unsigned le = 0u; le <= LeMax; ++le)
            {
                const Bytes frame = BuildFrame(static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(byte),
                                               static_cast<std::uint8_t>(le));
                SCOPED_TRACE("id " + std::to_string(id) + " byte " + std::to_string(byte) + " LE " +
                             std::to_string(le));
                const auto length = static_cast<std::uint16_t>(frame.size());
                if (!isDecodable)
                {
                    try
                    {
                        (void)decoder.GetDecodedFrame(length, frame.data(), ScmUdid.data());
                        ADD_FAILURE() << "decoded";
                    }
                    catch (const Util::CException& exception)
                    {
                        ASSERT_EQ(isSpdo ? Code::SpdoNotAllowed : Code::InvalidFrameType, exception.m_eventCode);
                        ASSERT_EQ(isSpdo ? 0u : id, exception.m_information1);
                    }
                    break;
                }
                const CExpectation expected = Expect(frame);
                if (le < expected.m_leMin)
                {
                    try
                    {
                        (void)decoder.GetDecodedFrame(length, frame.data(), ScmUdid.data());
                        ADD_FAILURE() << "decoded a " << expected.m_className << " without its payload";
                    }
                    catch (const Util::CException& exception)
                    {
                        ASSERT_EQ(Code::InvalidLength, exception.m_eventCode) << expected.m_className;
                    }
                    continue;
                }
                const Epls::CDecodedFrame& decoded = decoder.GetDecodedFrame(length, frame.data(), ScmUdid.data());
                ASSERT_EQ(expected.m_className, FrameTest::CFrameRecorder::Record(decoded).m_className);
                ++decodedCount;
            }
        }
    }
    // Sixteen identifiers of the two groups, 256 first bytes, and most lengths of each decode.
    EXPECT_GT(decodedCount, 16u * 256u * 5u);
}
} // namespace
