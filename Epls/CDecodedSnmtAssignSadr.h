// SNMT assign SADR: the SCM gives a module, known by its UDID, its safety address.
#ifndef EPLS_CDECODEDSNMTASSIGNSADR_H
#define EPLS_CDECODEDSNMTASSIGNSADR_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x2A. Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSnmtAssignSadr : public CDecodedFrame
{
public:
    /// The payload the decoder requires before it decodes a frame of this class (else 0xE2BF).
    static constexpr std::uint8_t ms_LeMin = 6u;

    /// ID 0x2A. Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsSnmtAssignSadr(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSnmtAssignSadr.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// ADR, the module that gets the address.
    std::uint16_t GetSafetyAddress() const;
    /// The module's 6-byte UDID at payload byte 0, in the caller's frame buffer.
    const std::uint8_t* GetUdid() const;
};
} // namespace Epls

#endif
