// Interface: Told by the UDID checker when it has written a new set of acknowledged UDIDs.
#ifndef CHECK_CPERSISTENTUDIDCHECKERCALLBACK_H
#define CHECK_CPERSISTENTUDIDCHECKERCALLBACK_H

namespace Check
{
class CPersistentUdidCheckerCallback
{
public:
    virtual ~CPersistentUdidCheckerCallback() = default;
    /// The records just written through the acknowledged-UDID writer are complete: store them persistently.
    virtual void WriteAcknowledgedInvertedUdids() = 0;

protected:
    CPersistentUdidCheckerCallback() = default;
    CPersistentUdidCheckerCallback(const CPersistentUdidCheckerCallback&) = default;
    CPersistentUdidCheckerCallback& operator=(const CPersistentUdidCheckerCallback&) = default;
};
} // namespace Check

#endif
