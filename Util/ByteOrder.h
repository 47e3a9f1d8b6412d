// Little-endian fields in byte buffers, at any offset.
#ifndef UTIL_BYTEORDER_H
#define UTIL_BYTEORDER_H

#include <cstdint>

namespace Util
{
// None of these checks bounds: the caller guarantees the room at buffer + bufferOffset.

inline std::uint16_t GetLittleEndianUInt16(const std::uint8_t* buffer, std::uint32_t bufferOffset)
{
    return static_cast<std::uint16_t>(buffer[bufferOffset] | (buffer[bufferOffset + 1u] << 8));
}

inline std::uint32_t GetLittleEndianUInt32(const std::uint8_t* buffer, std::uint32_t bufferOffset)
{
    return static_cast<std::uint32_t>(buffer[bufferOffset]) | (static_cast<std::uint32_t>(buffer[bufferOffset + 1u]) << 8) |
           (static_cast<std::uint32_t>(buffer[bufferOffset + 2u]) << 16) |
           (static_cast<std::uint32_t>(buffer[bufferOffset + 3u]) << 24);
}

inline std::uint64_t GetLittleEndianUInt64(const std::uint8_t* buffer, std::uint32_t bufferOffset)
{
    return static_cast<std::uint64_t>(GetLittleEndianUInt32(buffer, bufferOffset)) |
           (static_cast<std::uint64_t>(GetLittleEndianUInt32(buffer, bufferOffset + 4u)) << 32);
}

inline void SetLittleEndianUInt16(std::uint8_t* buffer, std::uint32_t bufferOffset, std::uint16_t value)
{
    buffer[bufferOffset] = static_cast<std::uint8_t>(value);
    buffer[bufferOffset + 1u] = static_cast<std::uint8_t>(value >> 8);
}

inline void SetLittleEndianUInt32(std::uint8_t* buffer, std::uint32_t bufferOffset, std::uint32_t value)
{
    for (std::uint32_t i = 0u; i < 4u; ++i)
    {
        buffer[bufferOffset + i] = static_cast<std::uint8_t>(value >> (8u * i));
    }
}

inline void SetLittleEndianUInt64(std::uint8_t* buffer, std::uint32_t bufferOffset, std::uint64_t value)
{
    SetLittleEndianUInt32(buffer, bufferOffset, static_cast<std::uint32_t>(value));
    SetLittleEndianUInt32(buffer, bufferOffset + 4u, static_cast<std::uint32_t>(value >> 32));
}
} // namespace Util

#endif
