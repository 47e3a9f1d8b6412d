// SPDO frames.
#include "tools/scm-sim/Spdo.h"

#include "support/Messages/CFrameBuilder.h"

namespace ScmSim
{
namespace
{
constexpr std::uint8_t SpdoId = 0x30u;
constexpr std::uint8_t GroupMask = 0x38u;
} // namespace

Support::Bytes BuildSpdo(std::uint16_t adr, std::uint16_t sdn, std::uint16_t ct, const Support::Bytes& data,
                         const Support::Udid& scmUdid)
{
    Support::CFrameBuilder builder;
    Support::Bytes frame = builder.Id(SpdoId).Adr(adr).Sdn(sdn).Ct(ct).Tadr(0u).Payload(data).Build();
    const std::size_t subFrame2 = 4u + data.size() + ((data.size() <= 8u) ? 1u : 2u);
    for (std::size_t i = 0u; i < scmUdid.size(); ++i)
    {
        frame[subFrame2 + i] ^= scmUdid[i];
    }
    return frame;
}

bool IsSpdo(const Support::Bytes& frame)
{
    return (frame.size() > 1u) && (((frame[1] >> 2u) & GroupMask) == SpdoId);
}
} // namespace ScmSim
