// SNMT SN FAIL: a module reports a failure with an error group and code.
#ifndef EPLS_CDECODEDSNMTSNFAIL_H
#define EPLS_CDECODEDSNMTSNFAIL_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x2D and service 7 (SnFail). Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSnmtSnFail : public CDecodedFrame
{
public:
    /// The payload the decoder requires before it decodes a frame of this class (else 0xE2BF).
    static constexpr std::uint8_t ms_LeMin = 3u;
    static constexpr std::uint32_t ms_ErrorGroupOffset = 1u;
    static constexpr std::uint32_t ms_ErrorCodeOffset = 2u;

    /// ID 0x2D and service 7 (SnFail). Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsSnmtSnFail(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSnmtSnFail.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// TADR, the module that fails.
    std::uint16_t GetSafetyAddress() const;
    /// Payload byte 1.
    std::uint8_t GetErrorGroup() const;
    /// Payload byte 2.
    std::uint8_t GetErrorCode() const;
};
} // namespace Epls

#endif
