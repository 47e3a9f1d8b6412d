// Interface: The firmware check as the default inspector sees it.
#ifndef CHECK_CFIRMWAREINSPECTOR_H
#define CHECK_CFIRMWAREINSPECTOR_H

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

namespace Check
{
class CFirmwareInspector
{
public:
    virtual ~CFirmwareInspector() = default;
    /// A command whose password the default inspector accepted; raises Util::CException to object.
    virtual void InspectCommand(const Hmi::CDecodedCommand& command) = 0;
    /// An event from the SCM before it is forwarded; raises Util::CException to object.
    virtual void InspectEvent(const Event::CDecodedEvent& event) = 0;
    /// A frame from the runtime to the SCM; raises Util::CException to object.
    virtual void InspectReceivedFrame(const Epls::CDecodedFrame& frame) = 0;
    /// A frame from the SCM to the runtime; returning releases this inspector's check bits, raising withholds them.
    virtual void InspectSentFrame(const Epls::CDecodedFrame& frame) = 0;
    /// False for good once this inspector has refused a frame.
    virtual bool IsValid() const = 0;

protected:
    CFirmwareInspector() = default;
    CFirmwareInspector(const CFirmwareInspector&) = default;
    CFirmwareInspector& operator=(const CFirmwareInspector&) = default;
};
} // namespace Check

#endif
