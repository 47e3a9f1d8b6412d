// Assembles the SCM's status response in its older 280-byte form.
#ifndef SUPPORT_MESSAGES_CSTATUSBUILDER_H
#define SUPPORT_MESSAGES_CSTATUSBUILDER_H

#include <cstdint>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder: selector 4, the header RStatus_t (usCommand, usNumber, usStatus at offsets 4, 6, 8) and the
/// fail-safe flags ucFailSafe at offset 23; every other byte zero unless set with Byte.
class CStatusBuilder
{
public:
    static constexpr std::size_t ms_Length = 280u;
    static constexpr std::uint8_t ms_Ok = 0x55u;
    static constexpr std::uint8_t ms_FailSafe = 0xAAu;

    /// Command 0x0200, number 0, status 0 (success), flags 0x55 (nobody fail-safe).
    CStatusBuilder();

    CStatusBuilder& Selector(std::uint32_t selector);
    CStatusBuilder& Command(std::uint16_t command);
    CStatusBuilder& Number(std::uint16_t number);
    /// 0 is success.
    CStatusBuilder& Status(std::uint16_t status);
    CStatusBuilder& FailSafeFlags(std::uint8_t flags);
    /// Any other byte of the 280; throws std::out_of_range beyond them.
    CStatusBuilder& Byte(std::size_t offset, std::uint8_t value);

    Bytes Build() const;

private:
    Bytes m_response;
};
} // namespace Support

#endif
