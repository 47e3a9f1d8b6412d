// Operator command to acknowledge the key medium.
#include "Hmi/CDecodedAcknowledgeTessera.h"

#include "Hmi/CDecodedCommandVisitor.h"

namespace Hmi
{
bool CDecodedAcknowledgeTessera::IsAcknowledgeTessera(std::uint8_t commandLength, const std::uint8_t* command)
{
    return IsOperatorCommand(commandLength, command, ms_Command, ms_Data);
}

void CDecodedAcknowledgeTessera::Accept(CDecodedCommandVisitor& visitor) const
{
    visitor.VisitAcknowledgeTessera(*this);
}
} // namespace Hmi
