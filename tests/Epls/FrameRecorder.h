// A frame visitor for the tests: records which class a decoded frame is and what its accessors give.
#ifndef TESTS_EPLS_FRAMERECORDER_H
#define TESTS_EPLS_FRAMERECORDER_H

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/CFrameDecoder.h"

namespace FrameTest
{
/// What a decoded frame shows through its class-specific accessors; absent where the class has none.
struct CFrameAccessors
{
    std::string m_className = "CDecodedUnknownFrame";
    std::optional<std::uint16_t> m_safetyAddress;
    std::optional<std::vector<std::uint8_t>> m_udid;
    std::optional<std::vector<std::uint8_t>> m_scmUdid;
    const std::uint8_t* m_udidPointer = nullptr;
    std::optional<std::uint8_t> m_errorGroup;
    std::optional<std::uint8_t> m_errorCode;
    std::optional<std::uint16_t> m_index;
    std::optional<std::uint8_t> m_subIndex;
    std::optional<std::vector<std::uint8_t>> m_parameterData;
    const std::uint8_t* m_parameterDataPointer = nullptr;
};

/// Unknown frames visit nothing, so the recorder keeps the unknown class name for them.
class CFrameRecorder : public Epls::CDecodedFrameVisitor
{
public:
    static CFrameAccessors Record(const Epls::CDecodedFrame& frame)
    {
        CFrameRecorder recorder;
        frame.Accept(recorder);
        return recorder.m_accessors;
    }

    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override
    {
        Name("CDecodedSnmtAssignSadr");
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
        Udid(frame.GetUdid());
    }
    void VisitSnmtAssignUdidScm(const Epls::CDecodedSnmtAssignUdidScm& frame) override
    {
        Name("CDecodedSnmtAssignUdidScm");
        m_accessors.m_scmUdid = std::vector<std::uint8_t>(frame.GetScmUdid(), frame.GetScmUdid() + 6);
        m_accessors.m_udidPointer = frame.GetScmUdid();
    }
    void VisitSnmtResponseUdid(const Epls::CDecodedSnmtResponseUdid& frame) override
    {
        Name("CDecodedSnmtResponseUdid");
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
        Udid(frame.GetUdid());
    }
    void VisitSnmtSadrAssigned(const Epls::CDecodedSnmtSadrAssigned& frame) override
    {
        Name("CDecodedSnmtSadrAssigned");
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
        Udid(frame.GetUdid());
    }
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override
    {
        Name("CDecodedSnmtSnSetToOp");
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
    }
    void VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame) override
    {
        Name("CDecodedSnmtSnFail");
        Error(frame);
    }
    void VisitSnmtSnAck(const Epls::CDecodedSnmtSnAck& frame) override
    {
        Name("CDecodedSnmtSnAck");
        Error(frame);
    }
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override
    {
        Name("CDecodedSsdoUploadInitiateExpeditedResponse");
        Initiate(frame);
    }
    void
    VisitSsdoUploadInitiateSegmentedResponse(const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame) override
    {
        Name("CDecodedSsdoUploadInitiateSegmentedResponse");
        Initiate(frame);
    }
    void VisitSsdoUploadMiddleSegmentResponse(const Epls::CDecodedSsdoUploadMiddleSegmentResponse& frame) override
    {
        Name("CDecodedSsdoUploadMiddleSegmentResponse");
        Segment(frame);
    }
    void VisitSsdoUploadEndSegmentResponse(const Epls::CDecodedSsdoUploadEndSegmentResponse& frame) override
    {
        Name("CDecodedSsdoUploadEndSegmentResponse");
        Segment(frame);
    }
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override
    {
        Name("CDecodedSsdoDownloadInitiateExpeditedRequest");
        Initiate(frame);
    }
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override
    {
        Name("CDecodedSsdoDownloadInitiateSegmentedRequest");
        Initiate(frame);
    }
    void VisitSsdoDownloadMiddleSegmentRequest(const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame) override
    {
        Name("CDecodedSsdoDownloadMiddleSegmentRequest");
        Segment(frame);
    }
    void VisitSsdoDownloadEndSegmentRequest(const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame) override
    {
        Name("CDecodedSsdoDownloadEndSegmentRequest");
        Segment(frame);
    }

private:
    void Name(const char* className)
    {
        // A frame visits exactly one operation.
        EXPECT_EQ("CDecodedUnknownFrame", m_accessors.m_className);
        m_accessors.m_className = className;
    }
    void Udid(const std::uint8_t* udid)
    {
        m_accessors.m_udid = std::vector<std::uint8_t>(udid, udid + 6);
        m_accessors.m_udidPointer = udid;
    }
    template <typename Frame> void Error(const Frame& frame)
    {
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
        m_accessors.m_errorGroup = frame.GetErrorGroup();
        m_accessors.m_errorCode = frame.GetErrorCode();
    }
    template <typename Frame> void Initiate(const Frame& frame)
    {
        m_accessors.m_index = frame.GetIndex();
        m_accessors.m_subIndex = frame.GetSubIndex();
        Segment(frame);
    }
    template <typename Frame> void Segment(const Frame& frame)
    {
        m_accessors.m_safetyAddress = frame.GetSafetyAddress();
        m_accessors.m_parameterData = std::vector<std::uint8_t>(
            frame.GetParameterData(), frame.GetParameterData() + frame.GetParameterDataLength());
        m_accessors.m_parameterDataPointer = frame.GetParameterData();
    }

    CFrameAccessors m_accessors;
};
} // namespace FrameTest

#endif
