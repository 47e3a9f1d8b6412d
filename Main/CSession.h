// Interface: The checker's session with the SCM, as the check task drives it cycle by cycle.
#ifndef MAIN_CSESSION_H
#define MAIN_CSESSION_H

namespace Main
{
/// Each handler moves the waiting messages of one flow, up to its limit per cycle. A fault that the cycle has to
/// answer with fail-safe leaves a handler as Util::CException.
class CSession
{
public:
    virtual ~CSession() = default;

    virtual void HandleAllUnlockRequests() = 0;
    virtual void HandleAllUnlockResponses() = 0;
    /// Frames from the runtime to the SCM.
    virtual void HandleAllReceivedFrames() = 0;
    /// Frames from the SCM to the runtime.
    virtual void HandleAllSentFrames() = 0;
    virtual void HandleAllCommands() = 0;
    virtual void HandleAllResponses() = 0;
    virtual void HandleAllEvents() = 0;
    /// Stops every frame in both directions for the life of the process; the other flows go on. Any task may call
    /// it, any number of times.
    virtual void SwitchToFailSafe() = 0;

protected:
    CSession() = default;
    CSession(const CSession&) = default;
    CSession& operator=(const CSession&) = default;
};
} // namespace Main

#endif
