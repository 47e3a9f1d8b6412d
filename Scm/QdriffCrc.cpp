// CRC tables of the four polynomials, computed at compile time, the slice-by-8 routines and their wrappers.
#include "Scm/QdriffCrc.h"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "Scm/QdriffCrcSteps.h"

namespace
{
constexpr std::uint32_t SliceCount = QDRIFF_CRC_SLICE_COUNT;
constexpr std::uint32_t ByteValueCount = 256u;

// The register after shifting byte i through the polynomial, most significant bit first: slice 0.
template <typename Entry> constexpr Entry ShiftByte(std::uint32_t width, std::uint32_t polynomial, std::uint32_t byte)
{
    const std::uint32_t top = 1u << (width - 1u);
    const std::uint32_t mask = (width == 32u) ? 0xFFFFFFFFu : ((1u << width) - 1u);
    std::uint32_t crc = byte << (width - 8u);
    for (std::uint32_t bit = 0u; bit < 8u; ++bit)
    {
        crc = ((crc & top) != 0u) ? ((crc << 1u) ^ polynomial) : (crc << 1u);
        crc &= mask;
    }
    return static_cast<Entry>(crc);
}

// Slice k continues slice k - 1 by one zero byte: the byte leaving the register goes through slice 0.
template <typename Table, typename Entry> constexpr Table MakeTable(std::uint32_t width, std::uint32_t polynomial)
{
    Table table{};
    const std::uint32_t mask = (width == 32u) ? 0xFFFFFFFFu : ((1u << width) - 1u);
    for (std::uint32_t i = 0u; i < ByteValueCount; ++i)
    {
        table.m_slice[0][i] = ShiftByte<Entry>(width, polynomial, i);
    }
    for (std::uint32_t k = 1u; k < SliceCount; ++k)
    {
        for (std::uint32_t i = 0u; i < ByteValueCount; ++i)
        {
            const std::uint32_t previous = table.m_slice[k - 1u][i];
            const std::uint32_t leaving = (width == 8u) ? previous : (previous >> (width - 8u));
            const std::uint32_t kept = (width == 8u) ? 0u : ((previous << 8u) & mask);
            table.m_slice[k][i] = static_cast<Entry>(kept ^ table.m_slice[0][leaving]);
        }
    }
    return table;
}

// The routines' edge arguments, then the inline update.
template <std::uint32_t Width, typename Table>
std::uint32_t Calculate(const Table& table, std::uint32_t initialCrc, std::int32_t length, const std::uint8_t* buffer)
{
    if (buffer == nullptr)
    {
        return 0u;
    }
    if (length <= 0)
    {
        return initialCrc;
    }
    return Scm::ContinueCrc<Width>(table, initialCrc, static_cast<std::size_t>(length), buffer);
}

// The wrappers take unsigned lengths; a length beyond the routines' signed range cannot occur in the checker
// (its largest buffer is 256 KiB) and is cut rather than turned negative.
std::int32_t ToRoutineLength(std::uint32_t dataLength)
{
    constexpr auto maximum = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>((dataLength > maximum) ? maximum : dataLength);
}
} // namespace

extern "C"
{
    constexpr Qdriff_Crc8Table Qdriff_gaucCrc8Tab = MakeTable<Qdriff_Crc8Table, std::uint8_t>(8u, 0x2Fu);
    constexpr Qdriff_Crc16Table Qdriff_gausCrc16Tab = MakeTable<Qdriff_Crc16Table, std::uint16_t>(16u, 0x5935u);
    constexpr Qdriff_Crc16Table Qdriff_gausCrc16_755B_Tab = MakeTable<Qdriff_Crc16Table, std::uint16_t>(16u, 0x755Bu);
    constexpr Qdriff_Crc32Table Qdriff_gaulCrc32Tab = MakeTable<Qdriff_Crc32Table, std::uint32_t>(32u, 0x1EDC6F41u);
}

namespace
{
// The catalogue's check values over "123456789", per byte through slice 0, so that a wrong generator cannot build.
template <typename Table> constexpr std::uint32_t CheckValue(const Table& table, std::uint32_t width)
{
    const char* const input = "123456789";
    const std::uint32_t mask = (width == 32u) ? 0xFFFFFFFFu : ((1u << width) - 1u);
    std::uint32_t crc = 0u;
    for (std::size_t i = 0u; i < 9u; ++i)
    {
        const std::uint32_t index =
            ((width == 8u) ? crc : (crc >> (width - 8u))) ^ static_cast<std::uint32_t>(input[i]);
        crc = (((width == 8u) ? 0u : (crc << 8u)) ^ table.m_slice[0][index & 0xFFu]) & mask;
    }
    return crc;
}
} // namespace

static_assert(CheckValue(Qdriff_gaucCrc8Tab, 8u) == 0x3Eu, "CRC-8/OPENSAFETY");
static_assert(CheckValue(Qdriff_gausCrc16Tab, 16u) == 0x5D38u, "CRC-16/OPENSAFETY-A");
static_assert(CheckValue(Qdriff_gausCrc16_755B_Tab, 16u) == 0x20FEu, "CRC-16/OPENSAFETY-B");
static_assert(CheckValue(Qdriff_gaulCrc32Tab, 32u) == 0xC052A8C8u, "CRC-32 of files and code memory");

extern "C" uint8_t Qdriff_Crc8CalcSwp(uint8_t ucInitCrc, int32_t lLen, const uint8_t* pBuf)
{
    return static_cast<std::uint8_t>(Calculate<8u>(Qdriff_gaucCrc8Tab, ucInitCrc, lLen, pBuf));
}

extern "C" uint16_t Qdriff_Crc16CalcSwp(uint16_t usInitCrc, int32_t lLen, const uint8_t* pBuf)
{
    return static_cast<std::uint16_t>(Calculate<16u>(Qdriff_gausCrc16Tab, usInitCrc, lLen, pBuf));
}

extern "C" uint16_t Qdriff_Crc16_755B_CalcSwp(uint16_t usInitCrc, int32_t lLen, const uint8_t* pBuf)
{
    return static_cast<std::uint16_t>(Calculate<16u>(Qdriff_gausCrc16_755B_Tab, usInitCrc, lLen, pBuf));
}

extern "C" uint32_t Qdriff_Crc32CalcSwp(uint32_t ulInitCrc, int32_t lLen, const uint8_t* pBuf)
{
    return Calculate<32u>(Qdriff_gaulCrc32Tab, ulInitCrc, lLen, pBuf);
}

extern "C" uint8_t GetCrc8_0x12F(uint32_t dataLength, const uint8_t* data)
{
    return Qdriff_Crc8CalcSwp(0u, ToRoutineLength(dataLength), data);
}

extern "C" uint16_t GetCrc16_0x15935(uint32_t dataLength, const uint8_t* data)
{
    return Qdriff_Crc16CalcSwp(0u, ToRoutineLength(dataLength), data);
}

extern "C" uint16_t GetCrc16_0x1755B(uint32_t dataLength, const uint8_t* data)
{
    return Qdriff_Crc16_755B_CalcSwp(0u, ToRoutineLength(dataLength), data);
}

extern "C" uint32_t GetCrc32_0x11EDC6F41(uint32_t dataLength, const uint8_t* data, uint32_t initialCrc)
{
    return Qdriff_Crc32CalcSwp(initialCrc, ToRoutineLength(dataLength), data);
}
