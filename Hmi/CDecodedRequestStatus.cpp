// Operator command to request the status.
#include "Hmi/CDecodedRequestStatus.h"

#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
bool CDecodedRequestStatus::IsRequestStatus(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

void CDecodedRequestStatus::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitRequestStatus(*this);
}
} // namespace Hmi
