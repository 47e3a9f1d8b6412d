// Frame identifiers of the openSAFETY frames the checker decodes, and the predicates over them.
#ifndef EPLS_ID_H
#define EPLS_ID_H

#include <cstdint>

namespace Epls
{
/// The 6-bit frame identifier (byte 1 of sub-frame 1, bits 2 to 7) and its groups.
struct Id
{
    enum Code : std::uint8_t
    {
        SnmtRequestUdid = 0x28u,
        SnmtResponseUdid = 0x29u,
        SnmtAssignSadr = 0x2Au,
        SnmtSadrAssigned = 0x2Bu,
        SnmtExtendedServiceRequest = 0x2Cu,
        SnmtExtendedServiceResponse = 0x2Du,
        SsdoServiceRequest = 0x38u,
        SsdoServiceResponse = 0x39u,
        SsdoServiceRequestSlim = 0x3Au,
        SsdoServiceResponseSlim = 0x3Bu,
        GroupMask = 0x38u,
        SnmtGroup = 0x28u,
        SsdoGroup = 0x38u,
        SpdoGroup = 0x30u,
    };

    /// True for the two slim SSDO identifiers only: their sub-frame 2 carries no payload copy.
    static constexpr bool IsSlim(std::uint8_t id)
    {
        return (id == SsdoServiceRequestSlim) || (id == SsdoServiceResponseSlim);
    }
    static constexpr bool IsBasic(std::uint8_t id)
    {
        return !IsSlim(id);
    }
    static constexpr bool IsSnmt(std::uint8_t id)
    {
        return (id & GroupMask) == SnmtGroup;
    }
    static constexpr bool IsSsdo(std::uint8_t id)
    {
        return (id & GroupMask) == SsdoGroup;
    }
    static constexpr bool IsSpdo(std::uint8_t id)
    {
        return (id & GroupMask) == SpdoGroup;
    }
};
} // namespace Epls

#endif
