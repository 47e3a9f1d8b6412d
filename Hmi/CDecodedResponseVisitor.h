// Visitor over the decoded response classes; every operation does nothing unless overridden.
#ifndef HMI_CDECODEDRESPONSEVISITOR_H
#define HMI_CDECODEDRESPONSEVISITOR_H

namespace Hmi
{
class CDecodedStatus;
class CDecodedStatusNew;
class CDecodedDiagnosis;

/// One operation per known response class, with a writable reference since visitors change the response.
class CDecodedResponseVisitor
{
public:
    virtual ~CDecodedResponseVisitor();

    virtual void VisitStatus(CDecodedStatus& response);
    virtual void VisitStatusNew(CDecodedStatusNew& response);
    virtual void VisitDiagnosis(CDecodedDiagnosis& response);
};
} // namespace Hmi

#endif
