// Assembles operator commands as the runtime sends them to the checker.
#ifndef SUPPORT_MESSAGES_CCOMMANDBUILDER_H
#define SUPPORT_MESSAGES_CCOMMANDBUILDER_H

#include <cstdint>
#include <optional>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder of one command (little-endian): selector (4 bytes), usCommand, usNumber, usData (2 bytes each),
/// the 16-byte password; 26 bytes, or 42 with a new password appended.
class CCommandBuilder
{
public:
    static constexpr std::uint32_t ms_OperatorSelector = 3u;

    /// Selector 3, every other field zero, no new password.
    CCommandBuilder();

    CCommandBuilder& Selector(std::uint32_t selector);
    CCommandBuilder& Command(std::uint16_t command);
    CCommandBuilder& Number(std::uint16_t number);
    CCommandBuilder& Data(std::uint16_t data);
    CCommandBuilder& Password(const Support::Password& password);
    /// Appends the new password: the command becomes 42 bytes long.
    CCommandBuilder& NewPassword(const Support::Password& newPassword);

    Bytes Build() const;

    /// Command 0x0100, data 0x5000, with the new password.
    static CCommandBuilder ChangePassword(const Support::Password& password, const Support::Password& newPassword);
    /// Command 0x0100, data 0x0200.
    static CCommandBuilder AcknowledgeTessera(const Support::Password& password);
    /// Command 0x0100, data 0x0060 (1), 0x0050 (2), 0x0040 (3), 0x0030 (4) or 0x0020 (5 or more); moduleCount
    /// outside 1..5 throws std::invalid_argument.
    static CCommandBuilder AcknowledgeModules(const Support::Password& password, unsigned moduleCount);
    /// Command 0x0100, data 0x0100.
    static CCommandBuilder AcknowledgeFirmware(const Support::Password& password);
    /// Command 0x0200, data 0x0000.
    static CCommandBuilder RequestStatus();
    /// Command 0x0100, data 0x9000.
    static CCommandBuilder ActivateSetupMode(const Support::Password& password);
    /// Command 0x0100, data 0x9100.
    static CCommandBuilder DeactivateSetupMode(const Support::Password& password);

private:
    std::uint32_t m_selector;
    std::uint16_t m_command;
    std::uint16_t m_number;
    std::uint16_t m_data;
    Support::Password m_password;
    std::optional<Support::Password> m_newPassword;
};
} // namespace Support

#endif
