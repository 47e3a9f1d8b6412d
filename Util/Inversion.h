// The inverted form of safety values: the bitwise complement, byte by byte; cleared inverted storage is 0xFF.
#ifndef UTIL_INVERSION_H
#define UTIL_INVERSION_H

#include <cstdint>

namespace Util
{
constexpr std::uint32_t UdidLength = 6u;
constexpr std::uint32_t CpuIdLength = 8u;
constexpr std::uint32_t PasswordLength = 16u;

constexpr std::uint8_t GetInvertedUInt8(std::uint8_t value)
{
    return static_cast<std::uint8_t>(~value);
}
constexpr std::uint16_t GetInvertedUInt16(std::uint16_t value)
{
    return static_cast<std::uint16_t>(~value);
}
constexpr std::uint32_t GetInvertedUInt32(std::uint32_t value)
{
    return ~value;
}
constexpr std::uint64_t GetInvertedUInt64(std::uint64_t value)
{
    return ~value;
}

// The memory operations rely on their callers for non-null buffers of memoryLength bytes; source and
// destination may be the same buffer.

/// Writes the complement of each byte of memory into invertedMemory and returns invertedMemory.
void* GetInvertedMemory(std::uint32_t memoryLength, const void* memory, void* invertedMemory);
void CopyInvertedMemory(std::uint32_t memoryLength, const void* memory, void* invertedMemory);
void InvertMemory(std::uint32_t memoryLength, void* memory);
void ClearInvertedMemory(std::uint32_t memoryLength, void* memory);

void GetInvertedUdid(const std::uint8_t* udid, std::uint8_t* invertedUdid);
void ClearInvertedUdid(std::uint8_t* invertedUdid);
void GetInvertedCpuId(const std::uint8_t* cpuId, std::uint8_t* invertedCpuId);
void ClearInvertedCpuId(std::uint8_t* invertedCpuId);
void GetInvertedPassword(const std::uint8_t* password, std::uint8_t* invertedPassword);
void ClearInvertedPassword(std::uint8_t* invertedPassword);

/// Byte comparison of 16 bytes; passwords are opaque bytes, never text.
bool AreEqualPasswords(const std::uint8_t* passwordA, const std::uint8_t* passwordB);
bool AreDifferentPasswords(const std::uint8_t* passwordA, const std::uint8_t* passwordB);
} // namespace Util

#endif
