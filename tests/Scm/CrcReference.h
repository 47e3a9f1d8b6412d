// Reference CRCs for tests and benchmark floors: bit by bit, and the per-byte table loops the checker once used.
#ifndef TESTS_SCM_CRCREFERENCE_H
#define TESTS_SCM_CRCREFERENCE_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace CrcReference
{
/// Shifts one bit at a time through the polynomial, most significant bit first, no reflection, no final XOR.
constexpr std::uint32_t Bitwise(unsigned width, std::uint32_t polynomial, std::uint32_t crc, const std::uint8_t* data,
                                std::size_t length)
{
    const std::uint32_t top = 1u << (width - 1u);
    const std::uint32_t mask = (width == 32u) ? 0xFFFFFFFFu : ((1u << width) - 1u);
    for (std::size_t i = 0u; i < length; ++i)
    {
        crc ^= static_cast<std::uint32_t>(data[i]) << (width - 8u);
        for (int bit = 0; bit < 8; ++bit)
        {
            crc = ((crc & top) != 0u) ? (((crc << 1u) ^ polynomial) & mask) : ((crc << 1u) & mask);
        }
    }
    return crc;
}

template <typename Entry> constexpr std::array<Entry, 256> MakeByteTable(unsigned width, std::uint32_t polynomial)
{
    std::array<Entry, 256> table{};
    for (std::uint32_t i = 0u; i < 256u; ++i)
    {
        const auto byte = static_cast<std::uint8_t>(i);
        table[i] = static_cast<Entry>(Bitwise(width, polynomial, 0u, &byte, 1u));
    }
    return table;
}

inline constexpr std::array<std::uint8_t, 256> Crc8Table = MakeByteTable<std::uint8_t>(8u, 0x2Fu);
inline constexpr std::array<std::uint16_t, 256> Crc16_5935Table = MakeByteTable<std::uint16_t>(16u, 0x5935u);
inline constexpr std::array<std::uint16_t, 256> Crc16_755BTable = MakeByteTable<std::uint16_t>(16u, 0x755Bu);
inline constexpr std::array<std::uint32_t, 256> Crc32Table = MakeByteTable<std::uint32_t>(32u, 0x1EDC6F41u);

// The per-byte loops, kept out of line like the routines they stand for, so that a benchmark times the loop and
// not what the compiler makes of it at the call site.

[[gnu::noinline]] inline std::uint8_t BytewiseCrc8(std::uint8_t crc, std::size_t length, const std::uint8_t* data)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        crc = Crc8Table[data[i] ^ crc];
    }
    return crc;
}

[[gnu::noinline]] inline std::uint16_t BytewiseCrc16(const std::array<std::uint16_t, 256>& table, std::uint16_t crc,
                                                     std::size_t length, const std::uint8_t* data)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        crc = static_cast<std::uint16_t>((crc << 8u) ^ table[((crc >> 8u) ^ data[i]) & 0xFFu]);
    }
    return crc;
}

[[gnu::noinline]] inline std::uint32_t BytewiseCrc32(std::uint32_t crc, std::size_t length, const std::uint8_t* data)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        crc = (crc << 8u) ^ Crc32Table[((crc >> 24u) ^ data[i]) & 0xFFu];
    }
    return crc;
}
} // namespace CrcReference

#endif
