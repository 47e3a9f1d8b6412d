// Complementing, clearing and comparing safety values held in inverted form.
#include "Util/Inversion.h"

#include <cstring>

namespace Util
{
void* GetInvertedMemory(std::uint32_t memoryLength, const void* memory, void* invertedMemory)
{
    CopyInvertedMemory(memoryLength, memory, invertedMemory);
    return invertedMemory;
}

void CopyInvertedMemory(std::uint32_t memoryLength, const void* memory, void* invertedMemory)
{
    const auto* source = static_cast<const std::uint8_t*>(memory);
    auto* destination = static_cast<std::uint8_t*>(invertedMemory);
    for (std::uint32_t i = 0u; i < memoryLength; ++i)
    {
        destination[i] = GetInvertedUInt8(source[i]);
    }
}

void InvertMemory(std::uint32_t memoryLength, void* memory)
{
    CopyInvertedMemory(memoryLength, memory, memory);
}

void ClearInvertedMemory(std::uint32_t memoryLength, void* memory)
{
    std::memset(memory, 0xFF, memoryLength);
}

void GetInvertedUdid(const std::uint8_t* udid, std::uint8_t* invertedUdid)
{
    CopyInvertedMemory(UdidLength, udid, invertedUdid);
}

void ClearInvertedUdid(std::uint8_t* invertedUdid)
{
    ClearInvertedMemory(UdidLength, invertedUdid);
}

void GetInvertedCpuId(const std::uint8_t* cpuId, std::uint8_t* invertedCpuId)
{
    CopyInvertedMemory(CpuIdLength, cpuId, invertedCpuId);
}

void ClearInvertedCpuId(std::uint8_t* invertedCpuId)
{
    ClearInvertedMemory(CpuIdLength, invertedCpuId);
}

void GetInvertedPassword(const std::uint8_t* password, std::uint8_t* invertedPassword)
{
    CopyInvertedMemory(PasswordLength, password, invertedPassword);
}

void ClearInvertedPassword(std::uint8_t* invertedPassword)
{
    ClearInvertedMemory(PasswordLength, invertedPassword);
}

bool AreEqualPasswords(const std::uint8_t* passwordA, const std::uint8_t* passwordB)
{
    return std::memcmp(passwordA, passwordB, PasswordLength) == 0;
}

bool AreDifferentPasswords(const std::uint8_t* passwordA, const std::uint8_t* passwordB)
{
    return !AreEqualPasswords(passwordA, passwordB);
}
} // namespace Util
