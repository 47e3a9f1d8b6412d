// SNMT response UDID: a module reports its UDID.
#ifndef EPLS_CDECODEDSNMTRESPONSEUDID_H
#define EPLS_CDECODEDSNMTRESPONSEUDID_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x29. Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSnmtResponseUdid : public CDecodedFrame
{
public:
    /// The payload the decoder requires before it decodes a frame of this class (else 0xE2BF).
    static constexpr std::uint8_t ms_LeMin = 6u;

    /// ID 0x29. Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsSnmtResponseUdid(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSnmtResponseUdid.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// TADR, the module that answers.
    std::uint16_t GetSafetyAddress() const;
    /// The module's 6-byte UDID at payload byte 0, in the caller's frame buffer.
    const std::uint8_t* GetUdid() const;
};
} // namespace Epls

#endif
