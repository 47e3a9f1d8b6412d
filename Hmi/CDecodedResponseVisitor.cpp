// Empty default visits of the response visitor.
#include "Hmi/CDecodedResponseVisitor.h"

namespace Hmi
{
CDecodedResponseVisitor::~CDecodedResponseVisitor() = default;

void CDecodedResponseVisitor::VisitStatus(CDecodedStatus& /*response*/) {}

void CDecodedResponseVisitor::VisitStatusNew(CDecodedStatusNew& /*response*/) {}

void CDecodedResponseVisitor::VisitDiagnosis(CDecodedDiagnosis& /*response*/) {}
} // namespace Hmi
