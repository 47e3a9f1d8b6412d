// Common base of every decoded operator command: the selector and the command header.
#ifndef HMI_CDECODEDCOMMAND_H
#define HMI_CDECODEDCOMMAND_H

#include <cstdint>

namespace Hmi
{
class CDecodedCommandVisitor;

/// An operator command as the runtime sends it (little-endian): selector (4 bytes), then the header RCommand_t:
/// usCommand (offset 4), usNumber (6), usData (8) and aucPassword (10, 16 bytes). The object points into the
/// caller's command buffer and is valid until the owning decoder decodes the next command.
class CDecodedCommand
{
public:
    static constexpr std::uint32_t ms_SelectorLength = 4u;
    static constexpr std::uint32_t ms_CommandOffset = 4u;
    static constexpr std::uint32_t ms_NumberOffset = 6u;
    static constexpr std::uint32_t ms_DataOffset = 8u;
    static constexpr std::uint32_t ms_PasswordOffset = 10u;
    static constexpr std::uint32_t ms_PasswordLength = 16u;
    /// Selector and header: the length every command needs.
    static constexpr std::uint32_t ms_CommandLengthMin = 26u;
    /// The selector of the operator commands the checker knows.
    static constexpr std::uint32_t ms_OperatorCommandSelector = 3u;

    CDecodedCommand();
    CDecodedCommand(const CDecodedCommand&) = delete;
    CDecodedCommand& operator=(const CDecodedCommand&) = delete;

    /// Calls the visitor operation named after the concrete class, or none for an unknown command.
    virtual void Accept(CDecodedCommandVisitor& visitor) const = 0;
    virtual ~CDecodedCommand();

    /// Stores the command without checking it; only the command decoder calls it.
    void Initialize(std::uint8_t commandLength, const std::uint8_t* command);

    // Readers of a raw command: a null command raises 0xE200; one shorter than ms_CommandLengthMin raises
    // 0xE2C6 (CommandTooShort, information1 = commandLength).

    static std::uint32_t GetSelector(std::uint8_t commandLength, const std::uint8_t* command);
    static std::uint16_t GetCommand(std::uint8_t commandLength, const std::uint8_t* command);
    static std::uint16_t GetNumber(std::uint8_t commandLength, const std::uint8_t* command);
    static std::uint16_t GetData(std::uint8_t commandLength, const std::uint8_t* command);
    /// The operator's 16-byte password, inside the caller's buffer.
    static const std::uint8_t* GetPassword(std::uint8_t commandLength, const std::uint8_t* command);

    // The same readers over the stored command, with the same codes.

    std::uint16_t GetCommand() const;
    std::uint16_t GetNumber() const;
    std::uint16_t GetData() const;
    const std::uint8_t* GetPassword() const;

protected:
    /// Selector 3 and the given command and data fields, read in that order and only as far as they match.
    static bool IsOperatorCommand(std::uint8_t commandLength, const std::uint8_t* command, std::uint16_t commandCode,
                                  std::uint16_t data);
    /// Raises 0xE200 for a null command and 0xE2C6 for one shorter than requiredLength.
    static void CheckCommand(std::uint8_t commandLength, const std::uint8_t* command, std::uint32_t requiredLength);
    std::uint8_t GetCommandLength() const;
    const std::uint8_t* GetRawCommand() const;

private:
    std::uint8_t m_commandLength;
    const std::uint8_t* m_command;
};
} // namespace Hmi

#endif
