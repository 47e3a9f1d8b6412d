// Interface: The additional-parameter check as the default inspector sees it.
#ifndef CHECK_CADDITIONALPARAMETERINSPECTOR_H
#define CHECK_CADDITIONALPARAMETERINSPECTOR_H

namespace Epls
{
class CDecodedFrame;
}

namespace Check
{
class CAdditionalParameterInspector
{
public:
    virtual ~CAdditionalParameterInspector() = default;
    /// A frame from the runtime to the SCM; raises Util::CException to object.
    virtual void InspectReceivedFrame(const Epls::CDecodedFrame& frame) = 0;
    /// A frame from the SCM to the runtime; returning releases this inspector's check bits, raising withholds them.
    virtual void InspectSentFrame(const Epls::CDecodedFrame& frame) = 0;
    /// False for good once this inspector has refused a frame.
    virtual bool IsValid() const = 0;

protected:
    CAdditionalParameterInspector() = default;
    CAdditionalParameterInspector(const CAdditionalParameterInspector&) = default;
    CAdditionalParameterInspector& operator=(const CAdditionalParameterInspector&) = default;
};
} // namespace Check

#endif
