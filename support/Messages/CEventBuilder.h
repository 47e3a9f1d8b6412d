// Assembles event records as the SCM and the checker post them.
#ifndef SUPPORT_MESSAGES_CEVENTBUILDER_H
#define SUPPORT_MESSAGES_CEVENTBUILDER_H

#include <cstdint>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder of the 11-byte record: level, code (32 bits), information0 (16), information1 (32),
/// little-endian.
class CEventBuilder
{
public:
    static constexpr std::uint8_t ms_AcknowledgedLevel = 1u;
    static constexpr std::uint16_t ms_ScmSetupModeCode = 49300u;
    static constexpr std::uint16_t ms_ScmAutomaticCode = 49301u;

    enum class Acknowledgement
    {
        SetupMode,
        Automatic
    };

    /// Every field zero.
    CEventBuilder();

    CEventBuilder& Level(std::uint8_t level);
    CEventBuilder& Code(std::uint32_t code);
    CEventBuilder& Information0(std::uint16_t information0);
    CEventBuilder& Information1(std::uint32_t information1);

    Bytes Build() const;

    /// Level 1, code 49300 (setup mode) or 49301 (automatic), information0 7.
    static CEventBuilder TesseraAcknowledged(Acknowledgement acknowledgement);
    /// Level 1, code 49300 or 49301, information0 8, information1 the module count.
    static CEventBuilder ModulesAcknowledged(Acknowledgement acknowledgement, std::uint16_t moduleCount);
    /// Level 1, code 49300 or 49301, information0 9.
    static CEventBuilder FirmwareAcknowledged(Acknowledgement acknowledgement);

private:
    static CEventBuilder Acknowledged(Acknowledgement acknowledgement, std::uint16_t information0);

    std::uint8_t m_level;
    std::uint32_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};
} // namespace Support

#endif
