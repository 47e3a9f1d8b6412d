// Services of the SNMT extended service frames (IDs 0x2C and 0x2D), named by their first payload byte.
#ifndef EPLS_SNMTEXTENDEDSERVICE_H
#define EPLS_SNMTEXTENDEDSERVICE_H

#include <cstdint>

namespace Epls
{
struct SnmtExtendedService
{
    enum Code : std::uint8_t
    {
        SnSetToPreOp = 0u,
        SnStatusPreOp = 1u,
        SnSetToOp = 2u,
        SnStatusOp = 3u,
        ScmSetToStop = 4u,
        AssignedAdditionalSadr = 5u,
        ScmSetToOp = 6u,
        SnFail = 7u,
        ScmGuardSn = 8u,
        SnBusy = 9u,
        AssignAdditionalSadr = 10u,
        SnAck = 12u,
        AssignUdidScm = 14u,
        AssignedUdidScm = 15u,
    };
};
} // namespace Epls

#endif
