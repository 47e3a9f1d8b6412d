// Empty default visits of the frame visitor.
#include "Epls/CDecodedFrameVisitor.h"

namespace Epls
{
CDecodedFrameVisitor::~CDecodedFrameVisitor() = default;

void CDecodedFrameVisitor::VisitSnmtAssignSadr(const CDecodedSnmtAssignSadr& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtAssignUdidScm(const CDecodedSnmtAssignUdidScm& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtResponseUdid(const CDecodedSnmtResponseUdid& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtSadrAssigned(const CDecodedSnmtSadrAssigned& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtSnSetToOp(const CDecodedSnmtSnSetToOp& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtSnFail(const CDecodedSnmtSnFail& /*frame*/) {}

void CDecodedFrameVisitor::VisitSnmtSnAck(const CDecodedSnmtSnAck& /*frame*/) {}

void CDecodedFrameVisitor::VisitSsdoUploadInitiateExpeditedResponse(
    const CDecodedSsdoUploadInitiateExpeditedResponse& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoUploadInitiateSegmentedResponse(
    const CDecodedSsdoUploadInitiateSegmentedResponse& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoUploadMiddleSegmentResponse(
    const CDecodedSsdoUploadMiddleSegmentResponse& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoUploadEndSegmentResponse(const CDecodedSsdoUploadEndSegmentResponse& /*frame*/) {}

void CDecodedFrameVisitor::VisitSsdoDownloadInitiateExpeditedRequest(
    const CDecodedSsdoDownloadInitiateExpeditedRequest& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoDownloadInitiateSegmentedRequest(
    const CDecodedSsdoDownloadInitiateSegmentedRequest& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoDownloadMiddleSegmentRequest(
    const CDecodedSsdoDownloadMiddleSegmentRequest& /*frame*/)
{
}

void CDecodedFrameVisitor::VisitSsdoDownloadEndSegmentRequest(const CDecodedSsdoDownloadEndSegmentRequest& /*frame*/) {}
} // namespace Epls
