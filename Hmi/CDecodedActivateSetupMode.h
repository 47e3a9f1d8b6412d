// Operator command to activate the setup mode.
#ifndef HMI_CDECODEDACTIVATESETUPMODE_H
#define HMI_CDECODEDACTIVATESETUPMODE_H

#include <cstdint>

#include "Hmi/CDecodedCommand.h"

namespace Hmi
{
/// Selector 3, command 0x0100, data 0x9000; any number.
class CDecodedActivateSetupMode : public CDecodedCommand
{
public:
    static constexpr std::uint16_t ms_Command = 0x0100u;
    static constexpr std::uint16_t ms_Data = 0x9000u;

    /// Reads the selector first and the command and data fields only as far as they match. Raises 0xE200
    /// for a null command and 0xE2C6 (information1 = commandLength) for one shorter than 26 bytes.
    static bool IsActivateSetupMode(std::uint8_t commandLength, const std::uint8_t* command);

    /// Calls VisitActivateSetupMode.
    void Accept(CDecodedCommandVisitor& visitor) const override;
};
} // namespace Hmi

#endif
