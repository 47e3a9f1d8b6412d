// Hex conversion and complemented byte strings.
#include "support/Messages/Bytes.h"

#include <algorithm>
#include <stdexcept>

namespace
{
int GetNibble(char digit)
{
    if ((digit >= '0') && (digit <= '9'))
    {
        return digit - '0';
    }
    if ((digit >= 'a') && (digit <= 'f'))
    {
        return digit - 'a' + 10;
    }
    if ((digit >= 'A') && (digit <= 'F'))
    {
        return digit - 'A' + 10;
    }
    return -1;
}
} // namespace

namespace Support
{
std::string ToHex(const std::uint8_t* data, std::size_t length)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2u * length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        hex.push_back(Digits[data[i] >> 4]);
        hex.push_back(Digits[data[i] & 0x0Fu]);
    }
    return hex;
}

std::string ToHex(const Bytes& bytes)
{
    return ToHex(bytes.data(), bytes.size());
}

Bytes FromHex(std::string_view hex)
{
    Bytes bytes;
    int high = -1;
    for (const char digit : hex)
    {
        if ((digit == ' ') || (digit == '\t') || (digit == ':') || (digit == '-'))
        {
            continue;
        }
        const int nibble = GetNibble(digit);
        if (nibble < 0)
        {
            throw std::invalid_argument(std::string("not a hex digit: '") + digit + "'");
        }
        if (high < 0)
        {
            high = nibble;
        }
        else
        {
            bytes.push_back(static_cast<std::uint8_t>((high << 4) | nibble));
            high = -1;
        }
    }
    if (high >= 0)
    {
        throw std::invalid_argument("odd number of hex digits");
    }
    return bytes;
}

Udid UdidFromHex(std::string_view hex)
{
    const Bytes bytes = FromHex(hex);
    Udid udid{};
    if (bytes.size() != udid.size())
    {
        throw std::invalid_argument("a UDID has 6 bytes (12 hex digits)");
    }
    std::copy(bytes.begin(), bytes.end(), udid.begin());
    return udid;
}

void AppendLittleEndian(Bytes& bytes, std::uint64_t value, std::size_t length)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8u * i)));
    }
}

void SetLittleEndian(Bytes& bytes, std::size_t offset, std::uint64_t value, std::size_t length)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8u * i));
    }
}

Bytes GetInverted(Bytes bytes)
{
    for (std::uint8_t& byte : bytes)
    {
        byte = static_cast<std::uint8_t>(~byte);
    }
    return bytes;
}
} // namespace Support
