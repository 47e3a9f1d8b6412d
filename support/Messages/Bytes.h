// Byte strings for message builders, tools and tests: hex conversion and the complemented form.
#ifndef SUPPORT_MESSAGES_BYTES_H
#define SUPPORT_MESSAGES_BYTES_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Support
{
using Bytes = std::vector<std::uint8_t>;
using Udid = std::array<std::uint8_t, 6>;
using Password = std::array<std::uint8_t, 16>;

/// Contiguous lowercase hex, two digits per byte.
std::string ToHex(const std::uint8_t* data, std::size_t length);
std::string ToHex(const Bytes& bytes);
/// Hex digits of either case; spaces, tabs, ':' and '-' between bytes are ignored. Throws std::invalid_argument
/// on any other character or an odd number of digits.
Bytes FromHex(std::string_view hex);
/// A UDID from 12 hex digits; throws std::invalid_argument otherwise.
Udid UdidFromHex(std::string_view hex);
/// Appends the low `length` bytes of value, lowest first.
void AppendLittleEndian(Bytes& bytes, std::uint64_t value, std::size_t length);
/// Writes the low `length` bytes of value, lowest first, at offset; throws std::out_of_range beyond the bytes.
void SetLittleEndian(Bytes& bytes, std::size_t offset, std::uint64_t value, std::size_t length);
/// Every byte complemented: the form in which messages travel to and from the SCM.
Bytes GetInverted(Bytes bytes);
} // namespace Support

#endif
