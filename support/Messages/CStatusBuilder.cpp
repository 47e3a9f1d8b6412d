// Assembly of the older status response.
#include "support/Messages/CStatusBuilder.h"

namespace Support
{
CStatusBuilder::CStatusBuilder() : m_response(ms_Length, 0u)
{
    Selector(4u).Command(0x0200u).FailSafeFlags(ms_Ok);
}

CStatusBuilder& CStatusBuilder::Selector(std::uint32_t selector)
{
    SetLittleEndian(m_response, 0u, selector, 4u);
    return *this;
}

CStatusBuilder& CStatusBuilder::Command(std::uint16_t command)
{
    SetLittleEndian(m_response, 4u, command, 2u);
    return *this;
}

CStatusBuilder& CStatusBuilder::Number(std::uint16_t number)
{
    SetLittleEndian(m_response, 6u, number, 2u);
    return *this;
}

CStatusBuilder& CStatusBuilder::Status(std::uint16_t status)
{
    SetLittleEndian(m_response, 8u, status, 2u);
    return *this;
}

CStatusBuilder& CStatusBuilder::FailSafeFlags(std::uint8_t flags)
{
    m_response.at(23u) = flags;
    return *this;
}

CStatusBuilder& CStatusBuilder::Byte(std::size_t offset, std::uint8_t value)
{
    m_response.at(offset) = value;
    return *this;
}

Bytes CStatusBuilder::Build() const
{
    return m_response;
}
} // namespace Support
