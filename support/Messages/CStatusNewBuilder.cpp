// Assembly of the newer status response.
#include "support/Messages/CStatusNewBuilder.h"

namespace Support
{
CStatusNewBuilder::CStatusNewBuilder() : m_response(ms_Length, 0u), m_bitFlags1(0u)
{
    Selector(4u).Command(0x0200u).Data(0x5000u).Version(1u);
}

CStatusNewBuilder& CStatusNewBuilder::Selector(std::uint32_t selector)
{
    SetLittleEndian(m_response, 0u, selector, 4u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::Command(std::uint16_t command)
{
    SetLittleEndian(m_response, 4u, command, 2u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::Number(std::uint16_t number)
{
    SetLittleEndian(m_response, 6u, number, 2u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::Status(std::uint16_t status)
{
    SetLittleEndian(m_response, 8u, status, 2u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::Data(std::uint16_t data)
{
    SetLittleEndian(m_response, 10u, data, 2u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::Version(std::uint8_t version)
{
    m_response.at(12u) = version;
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::BitFlags1(std::uint32_t bitFlags1)
{
    m_bitFlags1 = bitFlags1;
    SetLittleEndian(m_response, 44u, bitFlags1, 4u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::BitFlags2(std::uint32_t bitFlags2)
{
    SetLittleEndian(m_response, 48u, bitFlags2, 4u);
    return *this;
}

CStatusNewBuilder& CStatusNewBuilder::FailSafe(bool failSafe)
{
    return BitFlags1(failSafe ? (m_bitFlags1 | ms_FailSafeFlag) : (m_bitFlags1 & ~ms_FailSafeFlag));
}

CStatusNewBuilder& CStatusNewBuilder::Byte(std::size_t offset, std::uint8_t value)
{
    m_response.at(offset) = value;
    return *this;
}

Bytes CStatusNewBuilder::Build() const
{
    return m_response;
}
} // namespace Support
