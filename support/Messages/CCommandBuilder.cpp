// Assembly of operator commands.
#include "support/Messages/CCommandBuilder.h"

#include <stdexcept>

namespace
{
constexpr std::uint16_t SetCommand = 0x0100u;
constexpr std::uint16_t StatusCommand = 0x0200u;

} // namespace

namespace Support
{
CCommandBuilder::CCommandBuilder()
    : m_selector(ms_OperatorSelector), m_command(0u), m_number(0u), m_data(0u), m_password{}, m_newPassword()
{
}

CCommandBuilder& CCommandBuilder::Selector(std::uint32_t selector)
{
    m_selector = selector;
    return *this;
}

CCommandBuilder& CCommandBuilder::Command(std::uint16_t command)
{
    m_command = command;
    return *this;
}

CCommandBuilder& CCommandBuilder::Number(std::uint16_t number)
{
    m_number = number;
    return *this;
}

CCommandBuilder& CCommandBuilder::Data(std::uint16_t data)
{
    m_data = data;
    return *this;
}

CCommandBuilder& CCommandBuilder::Password(const Support::Password& password)
{
    m_password = password;
    return *this;
}

CCommandBuilder& CCommandBuilder::NewPassword(const Support::Password& newPassword)
{
    m_newPassword = newPassword;
    return *this;
}

Bytes CCommandBuilder::Build() const
{
    Bytes command;
    AppendLittleEndian(command, m_selector, 4u);
    AppendLittleEndian(command, m_command, 2u);
    AppendLittleEndian(command, m_number, 2u);
    AppendLittleEndian(command, m_data, 2u);
    command.insert(command.end(), m_password.begin(), m_password.end());
    if (m_newPassword)
    {
        command.insert(command.end(), m_newPassword->begin(), m_newPassword->end());
    }
    return command;
}

CCommandBuilder CCommandBuilder::ChangePassword(const Support::Password& password, const Support::Password& newPassword)
{
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(0x5000u).Password(password).NewPassword(newPassword);
    return builder;
}

CCommandBuilder CCommandBuilder::AcknowledgeTessera(const Support::Password& password)
{
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(0x0200u).Password(password);
    return builder;
}

CCommandBuilder CCommandBuilder::AcknowledgeModules(const Support::Password& password, unsigned moduleCount)
{
    if ((moduleCount < 1u) || (moduleCount > 5u))
    {
        throw std::invalid_argument("modules are acknowledged one to four at a time, or five for five or more");
    }
    // One module is 0x0060, each further one 0x0010 less.
    const auto data = static_cast<std::uint16_t>(0x0070u - (0x0010u * moduleCount));
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(data).Password(password);
    return builder;
}

CCommandBuilder CCommandBuilder::AcknowledgeFirmware(const Support::Password& password)
{
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(0x0100u).Password(password);
    return builder;
}

CCommandBuilder CCommandBuilder::RequestStatus()
{
    CCommandBuilder builder;
    builder.Command(StatusCommand).Data(0x0000u);
    return builder;
}

CCommandBuilder CCommandBuilder::ActivateSetupMode(const Support::Password& password)
{
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(0x9000u).Password(password);
    return builder;
}

CCommandBuilder CCommandBuilder::DeactivateSetupMode(const Support::Password& password)
{
    CCommandBuilder builder;
    builder.Command(SetCommand).Data(0x9100u).Password(password);
    return builder;
}
} // namespace Support
