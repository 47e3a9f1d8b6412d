// Fuzz target: the safety frame decoder. Built twice: with SCM_FUZZ_SCM_UDID the first six input bytes are the
// SCM UDID with which SSDO frames are decoded and the rest is the frame; without it SSDO frames get the zero UDID.
// Every field of the decoded class is read, and every pointer it hands out must lie in the payload of sub-frame 1.
#include <cstddef>
#include <cstdint>

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/CFrameDecoder.h"
#include "Epls/CFrameDecoderEventCode.h"
#include "fuzz/common/CExactCopy.h"
#include "fuzz/common/FuzzSupport.h"

namespace
{
// Reads every field of the class and checks each handed-out range against the payload.
class CFieldReader : public Epls::CDecodedFrameVisitor
{
public:
    explicit CFieldReader(const Epls::CDecodedFrame& frame)
        : m_payloadBegin(frame.GetDbs()), m_payloadEnd(frame.GetDbs() + frame.GetLe()), m_sum(0u)
    {
    }

    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override
    {
        Add(frame.GetSafetyAddress());
        Range(frame.GetUdid(), 6u);
    }
    void VisitSnmtAssignUdidScm(const Epls::CDecodedSnmtAssignUdidScm& frame) override
    {
        Range(frame.GetScmUdid(), 6u);
    }
    void VisitSnmtResponseUdid(const Epls::CDecodedSnmtResponseUdid& frame) override
    {
        Add(frame.GetSafetyAddress());
        Range(frame.GetUdid(), 6u);
    }
    void VisitSnmtSadrAssigned(const Epls::CDecodedSnmtSadrAssigned& frame) override
    {
        Add(frame.GetSafetyAddress());
        Range(frame.GetUdid(), 6u);
    }
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override
    {
        Add(frame.GetSafetyAddress());
    }
    void VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame) override
    {
        Add(frame.GetSafetyAddress() + frame.GetErrorGroup() + frame.GetErrorCode());
    }
    void VisitSnmtSnAck(const Epls::CDecodedSnmtSnAck& frame) override
    {
        Add(frame.GetSafetyAddress() + frame.GetErrorGroup() + frame.GetErrorCode());
    }
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override
    {
        Initiate(frame);
    }
    void
    VisitSsdoUploadInitiateSegmentedResponse(const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame) override
    {
        Initiate(frame);
    }
    void VisitSsdoUploadMiddleSegmentResponse(const Epls::CDecodedSsdoUploadMiddleSegmentResponse& frame) override
    {
        Segment(frame);
    }
    void VisitSsdoUploadEndSegmentResponse(const Epls::CDecodedSsdoUploadEndSegmentResponse& frame) override
    {
        Segment(frame);
    }
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override
    {
        Initiate(frame);
    }
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override
    {
        Initiate(frame);
    }
    void VisitSsdoDownloadMiddleSegmentRequest(const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame) override
    {
        Segment(frame);
    }
    void VisitSsdoDownloadEndSegmentRequest(const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame) override
    {
        Segment(frame);
    }

    std::uint32_t GetSum() const
    {
        return m_sum;
    }

private:
    template <typename Frame> void Initiate(const Frame& frame)
    {
        Add(frame.GetSafetyAddress() + frame.GetIndex() + frame.GetSubIndex());
        Segment(frame);
    }
    template <typename Frame> void Segment(const Frame& frame)
    {
        Add(frame.GetSafetyAddress());
        Range(frame.GetParameterData(), frame.GetParameterDataLength());
    }
    void Add(std::uint32_t value)
    {
        m_sum += value;
    }
    // The bytes are read, so that AddressSanitizer sees them too.
    void Range(const std::uint8_t* data, std::size_t length)
    {
        FUZZ_REQUIRE((data >= m_payloadBegin) && (data <= m_payloadEnd) &&
                         (length <= static_cast<std::size_t>(m_payloadEnd - data)),
                     "a decoded field lies in the payload of sub-frame 1");
        for (std::size_t i = 0u; i < length; ++i)
        {
            m_sum += data[i];
        }
    }

    const std::uint8_t* m_payloadBegin;
    const std::uint8_t* m_payloadEnd;
    std::uint32_t m_sum;
};

// Kept across runs like the session's decoder, which re-initialises one object per frame.
Epls::CFrameDecoder decoder;
volatile std::uint32_t sink;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t scmUdid[6] = {};
#if defined(SCM_FUZZ_SCM_UDID)
    if (size < sizeof scmUdid)
    {
        return 0;
    }
    for (std::size_t i = 0u; i < sizeof scmUdid; ++i)
    {
        scmUdid[i] = data[i];
    }
    data += sizeof scmUdid;
    size -= sizeof scmUdid;
#endif
    if (size > 0xFFFFu)
    {
        return 0;
    }
    const Fuzz::CExactCopy frame(data, size);
    const auto length = static_cast<std::uint16_t>(size);
    try
    {
        const Epls::CDecodedFrame& decoded = decoder.GetDecodedFrame(length, frame.Data(), scmUdid);
        FUZZ_REQUIRE(decoded.GetDbs() == frame.Data() + Epls::CDecodedFrame::ms_SubFrame1DbOffset,
                     "the payload starts at byte 4 of the frame");
        FUZZ_REQUIRE(Epls::CDecodedFrame::ms_SubFrame1DbOffset + decoded.GetLe() <= size,
                     "a decoded frame holds its payload");
        CFieldReader reader(decoded);
        decoded.Accept(reader);
        sink = reader.GetSum() + decoded.GetAdr() + decoded.GetId() + decoded.GetCt() + decoded.GetSdn() +
               decoded.GetTadr() + decoded.GetTr();
    }
    catch (const Util::CException& refusal)
    {
        using Code = Epls::CFrameDecoderEventCode;
        Fuzz::RequireRefusal(refusal,
                             {Code::FrameTooShort, Code::InvalidLength, Code::InvalidCrc, Code::InconsistentPayload,
                              Code::SpdoNotAllowed, Code::InvalidFrameType},
                             "the frame decoder");
    }
    return 0;
}
