// Operator command to acknowledge the firmware of the modules.
#include "Hmi/CDecodedAcknowledgeFirmware.h"

#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
bool CDecodedAcknowledgeFirmware::IsAcknowledgeFirmware(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

void CDecodedAcknowledgeFirmware::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitAcknowledgeFirmware(*this);
}
} // namespace Hmi
