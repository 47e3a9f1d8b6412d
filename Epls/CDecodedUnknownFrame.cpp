// A verified frame of a kind the checker does not inspect.
#include "Epls/CDecodedUnknownFrame.h"

namespace Epls
{
void CDecodedUnknownFrame::Accept(CDecodedFrameVisitor& /*visitor*/) const {}
} // namespace Epls
