// SPDO frames (ID 0x30): the process data a node sends under its SADR or an additional SADR once operational, and
// the safety controller's own under the SCM's SADR.
#ifndef TOOLS_SCM_SIM_SPDO_H
#define TOOLS_SCM_SIM_SPDO_H

#include <cstdint>

#include "support/Messages/Bytes.h"

namespace ScmSim
{
/// A basic SPDO frame from `adr` in domain `sdn` with the time stamp `ct`; sub-frame 2 keyed with the SCM's UDID
/// after CRC 2, as on every frame that is not SNMT.
Support::Bytes BuildSpdo(std::uint16_t adr, std::uint16_t sdn, std::uint16_t ct, const Support::Bytes& data,
                         const Support::Udid& scmUdid);

bool IsSpdo(const Support::Bytes& frame);
} // namespace ScmSim

#endif
