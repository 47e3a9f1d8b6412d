// Interface: The one inspector that the session consults for frames, commands and events.
#ifndef MAIN_CINSPECTOR_H
#define MAIN_CINSPECTOR_H

#include <cstdint>

namespace Epls
{
class CDecodedFrame;
}
namespace Event
{
class CDecodedEvent;
}
namespace Hmi
{
class CDecodedCommand;
}

namespace Main
{
/// Every operation signals an objection by raising Util::CException; what it raised passes to the session
/// unchanged.
class CInspector
{
public:
    virtual ~CInspector() = default;

    /// A postponed operator command, after the SCM has reported its success.
    virtual void InspectCommand(const Hmi::CDecodedCommand& command) = 0;
    /// An event from the SCM, before it is forwarded to the runtime.
    virtual void InspectEvent(const Event::CDecodedEvent& event) = 0;
    /// A frame from the runtime, before it is forwarded to the SCM.
    virtual void InspectReceivedFrame(const Epls::CDecodedFrame& frame) = 0;
    /// A frame from the SCM: frame is the decoded plain copy, checkData the frame as received (every byte
    /// complemented, checkDataLength bytes). Each check that accepts the frame restores its bits in checkData, so
    /// that checkData holds the plain frame only when every check has accepted it.
    virtual void InspectSentFrame(const Epls::CDecodedFrame& frame, std::uint16_t checkDataLength,
                                  std::uint8_t* checkData) = 0;
    /// False for good once the inspector or any of its checks has refused something.
    virtual bool IsValid() const = 0;

protected:
    CInspector() = default;
    CInspector(const CInspector&) = default;
    CInspector& operator=(const CInspector&) = default;
};
} // namespace Main

#endif
