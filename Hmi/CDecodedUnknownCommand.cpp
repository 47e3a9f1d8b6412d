// An operator command the checker does not judge.
#include "Hmi/CDecodedUnknownCommand.h"

namespace Hmi
{
void CDecodedUnknownCommand::Accept(CDecodedCommandVisitor& /*visitor*/) const {}
} // namespace Hmi
