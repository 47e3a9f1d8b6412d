// Operator command to acknowledge a number of modules.
#ifndef HMI_CDECODEDACKNOWLEDGEMODULES_H
#define HMI_CDECODEDACKNOWLEDGEMODULES_H

#include <cstdint>

#include "Hmi/CDecodedCommand.h"

namespace Hmi
{
/// Selector 3, command 0x0100, data 0x0020, 0x0030, 0x0040, 0x0050 or 0x0060; any number.
class CDecodedAcknowledgeModules : public CDecodedCommand
{
public:
    static constexpr std::uint16_t ms_Command = 0x0100u;

    /// How many modules the operator acknowledges, from the data field.
    enum Count
    {
        One = 1,
        Two = 2,
        Three = 3,
        Four = 4,
        FiveOrMore = 5,
    };
    static constexpr std::uint16_t ms_OneModuleData = 0x0060u;
    static constexpr std::uint16_t ms_TwoModulesData = 0x0050u;
    static constexpr std::uint16_t ms_ThreeModulesData = 0x0040u;
    static constexpr std::uint16_t ms_FourModulesData = 0x0030u;
    static constexpr std::uint16_t ms_FiveOrMoreModulesData = 0x0020u;

    /// Reads the selector first and the command and data fields only as far as they match. Raises 0xE200
    /// for a null command and 0xE2C6 (information1 = commandLength) for one shorter than 26 bytes.
    static bool IsAcknowledgeModules(std::uint8_t commandLength, const std::uint8_t* command);

    /// Calls VisitAcknowledgeModules.
    void Accept(CDecodedCommandVisitor& visitor) const override;
    /// The count that the data field stands for. Raises 0xE200 for any other data value, which the decoder never
    /// chooses this class for.
    Count GetAcknowledgedModuleCount() const;
};
} // namespace Hmi

#endif
