// Operator command to deactivate the setup mode.
#include "Hmi/CDecodedDeactivateSetupMode.h"

#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
bool CDecodedDeactivateSetupMode::IsDeactivateSetupMode(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

void CDecodedDeactivateSetupMode::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitDeactivateSetupMode(*this);
}
} // namespace Hmi
