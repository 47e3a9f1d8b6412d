// Readers of the operator command header.
#include "Hmi/CDecodedCommand.h"

#include "Hmi/CCommandDecoderEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedCommand.cpp");
} // namespace

namespace Hmi
{
CDecodedCommand::CDecodedCommand() : m_commandLength(0u), m_command(nullptr) {}

CDecodedCommand::~CDecodedCommand()
{
    m_command = nullptr;
}

void CDecodedCommand::Initialize(std::uint8_t commandLength, const std::uint8_t* command)
{
    m_commandLength = commandLength;
    m_command = command;
}

void CDecodedCommand::CheckCommand(std::uint8_t commandLength, const std::uint8_t* command,
                                   std::uint32_t requiredLength)
{
    SCM_GUARD(command != nullptr);
    if (commandLength < requiredLength)
    {
        throw Util::CException(CCommandDecoderEventCode::CommandTooShort, commandLength);
    }
}

std::uint32_t CDecodedCommand::GetSelector(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_CommandLengthMin);
    return Util::GetLittleEndianUInt32(command, 0u);
}

std::uint16_t CDecodedCommand::GetCommand(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_CommandLengthMin);
    return Util::GetLittleEndianUInt16(command, ms_CommandOffset);
}

std::uint16_t CDecodedCommand::GetNumber(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_CommandLengthMin);
    return Util::GetLittleEndianUInt16(command, ms_NumberOffset);
}

std::uint16_t CDecodedCommand::GetData(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_CommandLengthMin);
    return Util::GetLittleEndianUInt16(command, ms_DataOffset);
}

const std::uint8_t* CDecodedCommand::GetPassword(std::uint8_t commandLength, const std::uint8_t* command)
{
    CheckCommand(commandLength, command, ms_CommandLengthMin);
    return command + ms_PasswordOffset;
}

std::uint16_t CDecodedCommand::GetCommand() const
{
    return GetCommand(m_commandLength, m_command);
}

std::uint16_t CDecodedCommand::GetNumber() const
{
    return GetNumber(m_commandLength, m_command);
}

std::uint16_t CDecodedCommand::GetData() const
{
    return GetData(m_commandLength, m_command);
}

const std::uint8_t* CDecodedCommand::GetPassword() const
{
    return GetPassword(m_commandLength, m_command);
}

bool CDecodedCommand::IsOperatorCommand(std::uint8_t commandLength, const std::uint8_t* command,
                                        std::uint16_t commandCode, std::uint16_t data)
{
    return (GetSelector(commandLength, command) == ms_OperatorCommandSelector) &&
           (GetCommand(commandLength, command) == commandCode) && (GetData(commandLength, command) == data);
}

std::uint8_t CDecodedCommand::GetCommandLength() const
{
    return m_commandLength;
}

const std::uint8_t* CDecodedCommand::GetRawCommand() const
{
    return m_command;
}
} // namespace Hmi
