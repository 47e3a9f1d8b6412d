// Splits an openSAFETY frame into its fields.
#include "support/Messages/CFrameParser.h"

#include <algorithm>

#include "Scm/QdriffCrc.h"

namespace Support
{
namespace
{
constexpr std::size_t UdidLength = 6u;

std::uint16_t ComputeCrc(const std::uint8_t* data, std::size_t length, bool slim, std::size_t crcLength)
{
    const auto size = static_cast<std::uint32_t>(length);
    if (crcLength == 1u)
    {
        return GetCrc8_0x12F(size, data);
    }
    return slim ? GetCrc16_0x15935(size, data) : GetCrc16_0x1755B(size, data);
}

std::uint16_t ReadCrc(const Bytes& bytes, std::size_t offset, std::size_t crcLength)
{
    return (crcLength == 1u) ? bytes[offset]
                             : static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1u] << 8u));
}
} // namespace

std::optional<CFrameFields> ParseFrame(const Bytes& frame, const Udid& scmUdid)
{
    if (frame.size() < 11u)
    {
        return std::nullopt;
    }
    CFrameFields fields;
    fields.m_id = static_cast<std::uint8_t>(frame[1] >> 2u);
    fields.m_adr = static_cast<std::uint16_t>(frame[0] | ((frame[1] & 0x03u) << 8u));
    const std::size_t le = frame[2];
    const bool slim = fields.IsSlim();
    const std::size_t crcLength = (le <= 8u) ? 1u : 2u;
    const std::size_t subFrame1 = 4u + le + crcLength;
    const std::size_t subFrame2 = 5u + (slim ? 0u : le) + crcLength;
    if (frame.size() != subFrame1 + subFrame2)
    {
        return std::nullopt;
    }
    if (ComputeCrc(frame.data(), 4u + le, slim, crcLength) != ReadCrc(frame, 4u + le, crcLength))
    {
        return std::nullopt;
    }
    Bytes second(frame.begin() + static_cast<std::ptrdiff_t>(subFrame1), frame.end());
    if (fields.IsSsdo())
    {
        for (std::size_t i = 0u; i < UdidLength; ++i)
        {
            second[i] ^= scmUdid[i];
        }
    }
    if (ComputeCrc(second.data(), second.size() - crcLength, slim, crcLength) !=
        ReadCrc(second, second.size() - crcLength, crcLength))
    {
        return std::nullopt;
    }
    if ((second[1] >> 2u) != fields.m_id)
    {
        return std::nullopt;
    }
    fields.m_payload.assign(frame.begin() + 4, frame.begin() + 4 + static_cast<std::ptrdiff_t>(le));
    if (!slim && !std::equal(fields.m_payload.begin(), fields.m_payload.end(), second.begin() + 5))
    {
        return std::nullopt;
    }
    const auto adrSdn = static_cast<std::uint16_t>(second[0] | ((second[1] & 0x03u) << 8u));
    fields.m_sdn = static_cast<std::uint16_t>(adrSdn ^ fields.m_adr);
    fields.m_ct = static_cast<std::uint16_t>(frame[3] | (second[2] << 8u));
    fields.m_tadr = static_cast<std::uint16_t>(second[3] | ((second[4] & 0x03u) << 8u));
    fields.m_tr = static_cast<std::uint8_t>(second[4] >> 2u);
    return fields;
}
} // namespace Support
