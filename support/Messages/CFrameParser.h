// Splits an openSAFETY frame into its fields, as a peer of the checker (a played module or SCM) reads it.
#ifndef SUPPORT_MESSAGES_CFRAMEPARSER_H
#define SUPPORT_MESSAGES_CFRAMEPARSER_H

#include <cstdint>
#include <optional>

#include "support/Messages/Bytes.h"

namespace Support
{
/// The fields of one frame: ADR, ID, LE and CT low from sub-frame 1; SDN, CT high, TADR and TR from sub-frame 2.
struct CFrameFields
{
    std::uint8_t m_id = 0u;
    std::uint16_t m_adr = 0u;
    std::uint16_t m_sdn = 0u;
    std::uint16_t m_ct = 0u;
    std::uint16_t m_tadr = 0u;
    std::uint8_t m_tr = 0u;
    Bytes m_payload;

    bool IsSnmt() const
    {
        return (m_id & 0x38u) == 0x28u;
    }
    bool IsSsdo() const
    {
        return (m_id & 0x38u) == 0x38u;
    }
    bool IsSlim() const
    {
        return (m_id == 0x3Au) || (m_id == 0x3Bu);
    }
};

/// Parses a frame laid out as CFrameBuilder builds it. SSDO frames have the first six bytes of sub-frame 2 keyed
/// with the SCM's UDID, which the reader must know. Nothing when the length does not match LE, a CRC fails, the
/// two sub-frames disagree on ID or on the payload of a basic frame.
std::optional<CFrameFields> ParseFrame(const Bytes& frame, const Udid& scmUdid);
} // namespace Support

#endif
