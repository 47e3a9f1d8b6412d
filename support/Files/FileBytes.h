// Byte-level helpers shared by the file builders: little-endian fields, CRCs, complements.
#ifndef SUPPORT_FILES_FILEBYTES_H
#define SUPPORT_FILES_FILEBYTES_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Messages/Bytes.h"

namespace Support
{
using CpuId = std::array<std::uint8_t, 8>;

/// Writes value little-endian at offset, growing bytes when needed.
void PutUInt8(Bytes& bytes, std::size_t offset, std::uint8_t value);
void PutUInt16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void PutUInt32(Bytes& bytes, std::size_t offset, std::uint32_t value);
void PutUInt64(Bytes& bytes, std::size_t offset, std::uint64_t value);
/// Appends value little-endian.
void AppendUInt16(Bytes& bytes, std::uint16_t value);
void AppendUInt32(Bytes& bytes, std::uint32_t value);
void AppendBytes(Bytes& bytes, const std::uint8_t* data, std::size_t length);

std::uint16_t ReadUInt16(const Bytes& bytes, std::size_t offset);
std::uint32_t ReadUInt32(const Bytes& bytes, std::size_t offset);

/// The 32-bit file CRC (polynomial 0x1EDC6F41, start 0) over length bytes at offset.
std::uint32_t Crc32(const Bytes& bytes, std::size_t offset, std::size_t length);
/// The 16-bit header CRC (polynomial 0x755B, start 0) over length bytes at offset.
std::uint16_t Crc16(const Bytes& bytes, std::size_t offset, std::size_t length);

/// The bitwise complement of each byte.
template <typename Container> Container Complemented(Container bytes)
{
    for (auto& byte : bytes)
    {
        byte = static_cast<std::uint8_t>(~byte);
    }
    return bytes;
}

/// Contiguous lowercase hexadecimal of a fixed-size byte array (UDID, CPU ID, password).
template <typename Container> std::string ToHex(const Container& bytes)
{
    return ToHex(bytes.data(), bytes.size());
}
} // namespace Support

#endif
