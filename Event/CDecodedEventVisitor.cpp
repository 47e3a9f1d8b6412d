// Empty default visits of the event visitor.
#include "Event/CDecodedEventVisitor.h"

namespace Event
{
CDecodedEventVisitor::~CDecodedEventVisitor() = default;

void CDecodedEventVisitor::VisitTesseraAcknowledged(const CDecodedTesseraAcknowledged& /*event*/) {}

void CDecodedEventVisitor::VisitModulesAcknowledged(const CDecodedModulesAcknowledged& /*event*/) {}

void CDecodedEventVisitor::VisitFirmwareAcknowledged(const CDecodedFirmwareAcknowledged& /*event*/) {}
} // namespace Event
