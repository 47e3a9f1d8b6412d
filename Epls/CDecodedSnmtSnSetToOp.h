// SNMT SN set to operational: the SCM releases a module into operation.
#ifndef EPLS_CDECODEDSNMTSNSETTOOP_H
#define EPLS_CDECODEDSNMTSNSETTOOP_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x2C and service 2 (SnSetToOp). Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSnmtSnSetToOp : public CDecodedFrame
{
public:
    /// The payload the decoder requires before it decodes a frame of this class (else 0xE2BF).
    static constexpr std::uint8_t ms_LeMin = 1u;

    /// ID 0x2C and service 2 (SnSetToOp). Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsSnmtSnSetToOp(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSnmtSnSetToOp.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// ADR, the module set to operational.
    std::uint16_t GetSafetyAddress() const;
};
} // namespace Epls

#endif
