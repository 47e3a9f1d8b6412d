// Visitor over the decoded frame classes; every operation does nothing unless overridden.
#ifndef EPLS_CDECODEDFRAMEVISITOR_H
#define EPLS_CDECODEDFRAMEVISITOR_H

namespace Epls
{
class CDecodedSnmtAssignSadr;
class CDecodedSnmtAssignUdidScm;
class CDecodedSnmtResponseUdid;
class CDecodedSnmtSadrAssigned;
class CDecodedSnmtSnSetToOp;
class CDecodedSnmtSnFail;
class CDecodedSnmtSnAck;
class CDecodedSsdoUploadInitiateExpeditedResponse;
class CDecodedSsdoUploadInitiateSegmentedResponse;
class CDecodedSsdoUploadMiddleSegmentResponse;
class CDecodedSsdoUploadEndSegmentResponse;
class CDecodedSsdoDownloadInitiateExpeditedRequest;
class CDecodedSsdoDownloadInitiateSegmentedRequest;
class CDecodedSsdoDownloadMiddleSegmentRequest;
class CDecodedSsdoDownloadEndSegmentRequest;

/// One operation per known frame class; unknown frames visit nothing. Override only the kinds of interest.
class CDecodedFrameVisitor
{
public:
    virtual ~CDecodedFrameVisitor();

    virtual void VisitSnmtAssignSadr(const CDecodedSnmtAssignSadr& frame);
    virtual void VisitSnmtAssignUdidScm(const CDecodedSnmtAssignUdidScm& frame);
    virtual void VisitSnmtResponseUdid(const CDecodedSnmtResponseUdid& frame);
    virtual void VisitSnmtSadrAssigned(const CDecodedSnmtSadrAssigned& frame);
    virtual void VisitSnmtSnSetToOp(const CDecodedSnmtSnSetToOp& frame);
    virtual void VisitSnmtSnFail(const CDecodedSnmtSnFail& frame);
    virtual void VisitSnmtSnAck(const CDecodedSnmtSnAck& frame);
    virtual void VisitSsdoUploadInitiateExpeditedResponse(const CDecodedSsdoUploadInitiateExpeditedResponse& frame);
    virtual void VisitSsdoUploadInitiateSegmentedResponse(const CDecodedSsdoUploadInitiateSegmentedResponse& frame);
    virtual void VisitSsdoUploadMiddleSegmentResponse(const CDecodedSsdoUploadMiddleSegmentResponse& frame);
    virtual void VisitSsdoUploadEndSegmentResponse(const CDecodedSsdoUploadEndSegmentResponse& frame);
    virtual void VisitSsdoDownloadInitiateExpeditedRequest(const CDecodedSsdoDownloadInitiateExpeditedRequest& frame);
    virtual void VisitSsdoDownloadInitiateSegmentedRequest(const CDecodedSsdoDownloadInitiateSegmentedRequest& frame);
    virtual void VisitSsdoDownloadMiddleSegmentRequest(const CDecodedSsdoDownloadMiddleSegmentRequest& frame);
    virtual void VisitSsdoDownloadEndSegmentRequest(const CDecodedSsdoDownloadEndSegmentRequest& frame);
};
} // namespace Epls

#endif
