// A response the checker forwards unchanged.
#include "Hmi/CDecodedUnknownResponse.h"

namespace Hmi
{
void CDecodedUnknownResponse::Accept(CDecodedResponseVisitor& /*visitor*/) {}
} // namespace Hmi
