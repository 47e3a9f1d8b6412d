// Operator command to change the password: the header followed by the new password.
#ifndef HMI_CDECODEDCHANGEPASSWORD_H
#define HMI_CDECODEDCHANGEPASSWORD_H

#include <cstdint>

#include "Hmi/CDecodedCommand.h"

namespace Hmi
{
/// Selector 3, command 0x0100, data 0x5000; any number.
class CDecodedChangePassword : public CDecodedCommand
{
public:
    static constexpr std::uint16_t ms_Command = 0x0100u;
    static constexpr std::uint16_t ms_Data = 0x5000u;
    static constexpr std::uint32_t ms_NewPasswordOffset = 26u;
    /// The header and the new password.
    static constexpr std::uint32_t ms_ChangePasswordLength = 42u;

    /// Reads the selector first and the command and data fields only as far as they match. Raises 0xE200
    /// for a null command and 0xE2C6 (information1 = commandLength) for one shorter than 26 bytes.
    static bool IsChangePassword(std::uint8_t commandLength, const std::uint8_t* command);
    /// The 16-byte new password at byte 26, inside the caller's buffer. Raises 0xE200 for a null command and
    /// 0xE2C6 (information1 = commandLength) for one shorter than 42 bytes.
    static const std::uint8_t* GetChangedPassword(std::uint8_t commandLength, const std::uint8_t* command);

    /// Calls VisitChangePassword.
    void Accept(CDecodedCommandVisitor& visitor) const override;
    /// The new password of the stored command, with the codes of the static reader.
    const std::uint8_t* GetChangedPassword() const;
};
} // namespace Hmi

#endif
