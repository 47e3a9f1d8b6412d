// The slice-by-8 update over the CRC tables, inline, for the CRC routines and for callers that verify many short
// ranges (the frame decoder), where a call per CRC would cost as much as the CRC itself.
#ifndef SCM_QDRIFFCRCSTEPS_H
#define SCM_QDRIFFCRCSTEPS_H

#include <cstddef>
#include <cstdint>
#include <utility>

#include "Scm/QdriffCrc.h"

namespace Scm
{
/// One step of the update over N bytes of a register of Width bits. The register's bytes, high byte first, are
/// XORed into the first bytes of the step; each byte then goes through the slice of the number of bytes that follow
/// it in the step, and a register wider than the step keeps its low bytes, shifted up.
template <std::uint32_t Width> struct CCrcSliceStep
{
    static constexpr std::uint32_t ms_RegisterBytes = Width / 8u;
    static constexpr std::uint32_t ms_Mask = (Width == 32u) ? 0xFFFFFFFFu : ((1u << Width) - 1u);
    static constexpr std::size_t ms_SliceCount = QDRIFF_CRC_SLICE_COUNT;

    template <std::size_t J> [[gnu::always_inline]] static std::uint32_t RegisterByte(std::uint32_t crc)
    {
        if constexpr (J < ms_RegisterBytes)
        {
            return (crc >> (Width - 8u - 8u * J)) & 0xFFu;
        }
        else
        {
            (void)crc;
            return 0u;
        }
    }

    template <std::size_t N> [[gnu::always_inline]] static std::uint32_t Kept(std::uint32_t crc)
    {
        if constexpr (N < ms_RegisterBytes)
        {
            return (crc << (8u * N)) & ms_Mask;
        }
        else
        {
            (void)crc;
            return 0u;
        }
    }

    template <std::size_t N, typename Table, std::size_t... J>
    [[gnu::always_inline]] static std::uint32_t Apply(const Table& table, std::uint32_t crc, const std::uint8_t* data,
                               std::index_sequence<J...>)
    {
        return Kept<N>(crc) ^
               (static_cast<std::uint32_t>(table.m_slice[N - 1u - J][RegisterByte<J>(crc) ^ data[J]]) ^ ...);
    }

    template <std::size_t N, typename Table>
    [[gnu::always_inline]] static std::uint32_t Step(const Table& table, std::uint32_t crc, const std::uint8_t* data)
    {
        static_assert((N >= 1u) && (N <= ms_SliceCount), "a step uses one slice per byte");
        return Apply<N>(table, crc, data, std::make_index_sequence<N>());
    }
};

/// Continues a CRC of Width bits (8, 16 or 32) over length bytes at data with the table of its polynomial: eight
/// bytes per step, and the rest in one step of its own length, so that a range of n bytes takes ceil(n / 8)
/// dependent steps. The caller guarantees the range; nothing is checked.
template <std::uint32_t Width, typename Table>
inline std::uint32_t ContinueCrc(const Table& table, std::uint32_t crc, std::size_t length, const std::uint8_t* data)
{
    using Step = CCrcSliceStep<Width>;
    constexpr std::size_t sliceCount = Step::ms_SliceCount;
    static_assert(sliceCount == 8u, "the rest of a range is taken in one step of 1 to 7 bytes");
    while (length >= sliceCount)
    {
        crc = Step::template Step<sliceCount>(table, crc, data);
        data += sliceCount;
        length -= sliceCount;
    }
    switch (length)
    {
    case 7u:
        return Step::template Step<7u>(table, crc, data);
    case 6u:
        return Step::template Step<6u>(table, crc, data);
    case 5u:
        return Step::template Step<5u>(table, crc, data);
    case 4u:
        return Step::template Step<4u>(table, crc, data);
    case 3u:
        return Step::template Step<3u>(table, crc, data);
    case 2u:
        return Step::template Step<2u>(table, crc, data);
    case 1u:
        return Step::template Step<1u>(table, crc, data);
    default:
        return crc;
    }
}
} // namespace Scm

#endif
