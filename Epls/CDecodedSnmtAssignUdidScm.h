// SNMT assign UDID of the SCM: the SCM tells a module its own UDID, which keys every SSDO frame.
#ifndef EPLS_CDECODEDSNMTASSIGNUDIDSCM_H
#define EPLS_CDECODEDSNMTASSIGNUDIDSCM_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x2C and service 14 (AssignUdidScm). Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSnmtAssignUdidScm : public CDecodedFrame
{
public:
    /// The payload the decoder requires before it decodes a frame of this class (else 0xE2BF).
    static constexpr std::uint8_t ms_LeMin = 7u;
    static constexpr std::uint32_t ms_ScmUdidDbOffset = 1u;

    /// ID 0x2C and service 14 (AssignUdidScm). Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsSnmtAssignUdidScm(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSnmtAssignUdidScm.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// The SCM's 6-byte UDID at payload byte 1, in the caller's frame buffer.
    const std::uint8_t* GetScmUdid() const;
};
} // namespace Epls

#endif
