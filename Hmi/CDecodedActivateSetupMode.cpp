// Operator command to activate the setup mode.
#include "Hmi/CDecodedActivateSetupMode.h"

#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
bool CDecodedActivateSetupMode::IsActivateSetupMode(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

void CDecodedActivateSetupMode::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitActivateSetupMode(*this);
}
} // namespace Hmi
