// A verified SNMT or SSDO frame of a kind the checker does not inspect.
#ifndef EPLS_CDECODEDUNKNOWNFRAME_H
#define EPLS_CDECODEDUNKNOWNFRAME_H

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Fully verified like every other frame; visitors never see it.
class CDecodedUnknownFrame : public CDecodedFrame
{
public:
    /// Calls no visitor operation.
    void Accept(CDecodedFrameVisitor& visitor) const override;
};
} // namespace Epls

#endif
