// Visitor over the decoded event classes; every operation does nothing unless overridden.
#ifndef EVENT_CDECODEDEVENTVISITOR_H
#define EVENT_CDECODEDEVENTVISITOR_H

namespace Event
{
class CDecodedTesseraAcknowledged;
class CDecodedModulesAcknowledged;
class CDecodedFirmwareAcknowledged;

/// One operation per acknowledgement event; unknown events visit nothing.
class CDecodedEventVisitor
{
public:
    virtual ~CDecodedEventVisitor();

    virtual void VisitTesseraAcknowledged(const CDecodedTesseraAcknowledged& event);
    virtual void VisitModulesAcknowledged(const CDecodedModulesAcknowledged& event);
    virtual void VisitFirmwareAcknowledged(const CDecodedFirmwareAcknowledged& event);
};
} // namespace Event

#endif
