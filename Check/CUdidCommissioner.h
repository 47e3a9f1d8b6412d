// Interface: Whether module UDIDs may be acknowledged, by the operator or automatically by the SCM.
#ifndef CHECK_CUDIDCOMMISSIONER_H
#define CHECK_CUDIDCOMMISSIONER_H

namespace Check
{
class CUdidCommissioner
{
public:
    virtual ~CUdidCommissioner() = default;
    virtual bool CanManuallyAcknowledgeUdids() = 0;
    virtual bool CanAutomaticallyAcknowledgeUdids() = 0;

protected:
    CUdidCommissioner() = default;
    CUdidCommissioner(const CUdidCommissioner&) = default;
    CUdidCommissioner& operator=(const CUdidCommissioner&) = default;
};
} // namespace Check

#endif
