// Operator command to request the status.
#ifndef HMI_CDECODEDREQUESTSTATUS_H
#define HMI_CDECODEDREQUESTSTATUS_H

#include <cstdint>

#include "Hmi/CDecodedCommand.h"

namespace Hmi
{
/// Selector 3, command 0x0200, data 0x0000; any number.
class CDecodedRequestStatus : public CDecodedCommand
{
public:
    static constexpr std::uint16_t ms_Command = 0x0200u;
    static constexpr std::uint16_t ms_Data = 0x0000u;

    /// Reads the selector first and the command and data fields only as far as they match. Raises 0xE200
    /// for a null command and 0xE2C6 (information1 = commandLength) for one shorter than 26 bytes.
    static bool IsRequestStatus(std::uint8_t commandLength, const std::uint8_t* command);

    /// Calls VisitRequestStatus.
    void Accept(CDecodedCommandVisitor& visitor) const override;
};
} // namespace Hmi

#endif
