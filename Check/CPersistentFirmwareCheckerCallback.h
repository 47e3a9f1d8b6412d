// Interface: Told by the firmware checker when it has written a new set of acknowledged minor revisions.
#ifndef CHECK_CPERSISTENTFIRMWARECHECKERCALLBACK_H
#define CHECK_CPERSISTENTFIRMWARECHECKERCALLBACK_H

namespace Check
{
class CPersistentFirmwareCheckerCallback
{
public:
    virtual ~CPersistentFirmwareCheckerCallback() = default;
    /// The records just written through the minor-revision writer are complete: store them persistently.
    virtual void WriteAcknowledgedInvertedMinorRevisions() = 0;

protected:
    CPersistentFirmwareCheckerCallback() = default;
    CPersistentFirmwareCheckerCallback(const CPersistentFirmwareCheckerCallback&) = default;
    CPersistentFirmwareCheckerCallback& operator=(const CPersistentFirmwareCheckerCallback&) = default;
};
} // namespace Check

#endif
