// A response the checker forwards unchanged.
#ifndef HMI_CDECODEDUNKNOWNRESPONSE_H
#define HMI_CDECODEDUNKNOWNRESPONSE_H

#include "Hmi/CDecodedResponse.h"

namespace Hmi
{
class CDecodedUnknownResponse : public CDecodedResponse
{
public:
    /// Calls no visitor operation.
    void Accept(CDecodedResponseVisitor& visitor) override;
};
} // namespace Hmi

#endif
