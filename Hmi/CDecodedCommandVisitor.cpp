// Empty default visits of the command visitor.
#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
CDecodedCommandVisitor::~CDecodedCommandVisitor() = default;

void CDecodedCommandVisitor::VisitChangePassword(const CDecodedChangePassword& /*command*/) {}

void CDecodedCommandVisitor::VisitAcknowledgeTessera(const CDecodedAcknowledgeTessera& /*command*/) {}

void CDecodedCommandVisitor::VisitAcknowledgeModules(const CDecodedAcknowledgeModules& /*command*/) {}

void CDecodedCommandVisitor::VisitAcknowledgeFirmware(const CDecodedAcknowledgeFirmware& /*command*/) {}

void CDecodedCommandVisitor::VisitRequestStatus(const CDecodedRequestStatus& /*command*/) {}

void CDecodedCommandVisitor::VisitActivateSetupMode(const CDecodedActivateSetupMode& /*command*/) {}

void CDecodedCommandVisitor::VisitDeactivateSetupMode(const CDecodedDeactivateSetupMode& /*command*/) {}
} // namespace Hmi
