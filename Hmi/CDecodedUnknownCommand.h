// An operator command the checker does not judge; it is forwarded all the same.
#ifndef HMI_CDECODEDUNKNOWNCOMMAND_H
#define HMI_CDECODEDUNKNOWNCOMMAND_H

#include "Hmi/CDecodedCommand.h"

namespace Hmi
{
class CDecodedUnknownCommand : public CDecodedCommand
{
public:
    /// Calls no visitor operation.
    void Accept(CDecodedCommandVisitor& visitor) const override;
};
} // namespace Hmi

#endif
