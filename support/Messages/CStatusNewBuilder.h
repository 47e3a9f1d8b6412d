// Assembles the SCM's status response in its newer 52-byte form.
#ifndef SUPPORT_MESSAGES_CSTATUSNEWBUILDER_H
#define SUPPORT_MESSAGES_CSTATUSNEWBUILDER_H

#include <cstdint>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder: selector 4, usCommand 0x0200, usNumber, usStatus (offsets 4, 6, 8), usData 0x5000 (10),
/// ucVersion 1 (12), BitFlags1 (44, bit 4 the fail-safe flag) and BitFlags2 (48); every other byte zero unless
/// set with Byte.
class CStatusNewBuilder
{
public:
    static constexpr std::size_t ms_Length = 52u;
    static constexpr std::uint32_t ms_FailSafeFlag = 16u;

    /// Status 0 (success), fail-safe flag clear.
    CStatusNewBuilder();

    CStatusNewBuilder& Selector(std::uint32_t selector);
    CStatusNewBuilder& Command(std::uint16_t command);
    CStatusNewBuilder& Number(std::uint16_t number);
    /// 0 is success.
    CStatusNewBuilder& Status(std::uint16_t status);
    CStatusNewBuilder& Data(std::uint16_t data);
    CStatusNewBuilder& Version(std::uint8_t version);
    CStatusNewBuilder& BitFlags1(std::uint32_t bitFlags1);
    CStatusNewBuilder& BitFlags2(std::uint32_t bitFlags2);
    /// Sets or clears bit 4 of BitFlags1, keeping the other bits.
    CStatusNewBuilder& FailSafe(bool failSafe);
    /// Any other byte of the 52; throws std::out_of_range beyond them.
    CStatusNewBuilder& Byte(std::size_t offset, std::uint8_t value);

    Bytes Build() const;

private:
    Bytes m_response;
    std::uint32_t m_bitFlags1;
};
} // namespace Support

#endif
