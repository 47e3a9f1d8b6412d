// Interface: Whether module firmware may be acknowledged, by the operator or automatically by the SCM.
#ifndef CHECK_CFIRMWARECOMMISSIONER_H
#define CHECK_CFIRMWARECOMMISSIONER_H

namespace Check
{
class CFirmwareCommissioner
{
public:
    virtual ~CFirmwareCommissioner() = default;
    virtual bool CanManuallyAcknowledgeFirmware() = 0;
    virtual bool CanAutomaticallyAcknowledgeFirmware() = 0;

protected:
    CFirmwareCommissioner() = default;
    CFirmwareCommissioner(const CFirmwareCommissioner&) = default;
    CFirmwareCommissioner& operator=(const CFirmwareCommissioner&) = default;
};
} // namespace Check

#endif
