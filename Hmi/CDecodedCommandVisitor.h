// Visitor over the decoded command classes; every operation does nothing unless overridden.
#ifndef HMI_CDECODEDCOMMANDVISITOR_H
#define HMI_CDECODEDCOMMANDVISITOR_H

namespace Hmi
{
class CDecodedChangePassword;
class CDecodedAcknowledgeTessera;
class CDecodedAcknowledgeModules;
class CDecodedAcknowledgeFirmware;
class CDecodedRequestStatus;
class CDecodedActivateSetupMode;
class CDecodedDeactivateSetupMode;

/// One operation per known command class; unknown commands visit nothing.
class CDecodedCommandVisitor
{
public:
    virtual ~CDecodedCommandVisitor();

    virtual void VisitChangePassword(const CDecodedChangePassword& command);
    virtual void VisitAcknowledgeTessera(const CDecodedAcknowledgeTessera& command);
    virtual void VisitAcknowledgeModules(const CDecodedAcknowledgeModules& command);
    virtual void VisitAcknowledgeFirmware(const CDecodedAcknowledgeFirmware& command);
    virtual void VisitRequestStatus(const CDecodedRequestStatus& command);
    virtual void VisitActivateSetupMode(const CDecodedActivateSetupMode& command);
    virtual void VisitDeactivateSetupMode(const CDecodedDeactivateSetupMode& command);
};
} // namespace Hmi

#endif
