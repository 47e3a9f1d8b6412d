// CRC check values, continuation, the routines' edge arguments, and every table entry against a bitwise reference.
#include "Scm/QdriffCrc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "tests/Scm/CrcReference.h"

namespace
{
const std::uint8_t CheckInput[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};

std::uint32_t BitwiseCrc(unsigned width, std::uint32_t polynomial, std::uint32_t crc, const std::uint8_t* data,
                         std::size_t length)
{
    return CrcReference::Bitwise(width, polynomial, crc, data, length);
}

TEST(QdriffCrc, CatalogueCheckValues)
{
    EXPECT_EQ(0x3Eu, GetCrc8_0x12F(9u, CheckInput));
    EXPECT_EQ(0x5D38u, GetCrc16_0x15935(9u, CheckInput));
    EXPECT_EQ(0x20FEu, GetCrc16_0x1755B(9u, CheckInput));
    EXPECT_EQ(0xC052A8C8u, GetCrc32_0x11EDC6F41(9u, CheckInput, 0u));
}

TEST(QdriffCrc, ThirtyTwoBitCrcContinuesOverSeveralRanges)
{
    const std::uint32_t head = GetCrc32_0x11EDC6F41(5u, CheckInput, 0u);
    EXPECT_EQ(0xC052A8C8u, GetCrc32_0x11EDC6F41(4u, CheckInput + 5, head));
    for (std::uint32_t split = 0u; split <= 9u; ++split)
    {
        const std::uint32_t first = Qdriff_Crc32CalcSwp(0u, static_cast<std::int32_t>(split), CheckInput);
        EXPECT_EQ(0xC052A8C8u, Qdriff_Crc32CalcSwp(first, static_cast<std::int32_t>(9u - split), CheckInput + split));
    }
}

TEST(QdriffCrc, NullBufferGivesZeroAndEmptyRangeKeepsTheStartValue)
{
    EXPECT_EQ(0u, Qdriff_Crc8CalcSwp(0x55u, 4, nullptr));
    EXPECT_EQ(0u, Qdriff_Crc16CalcSwp(0x55AAu, 4, nullptr));
    EXPECT_EQ(0u, Qdriff_Crc16_755B_CalcSwp(0x55AAu, 4, nullptr));
    EXPECT_EQ(0u, Qdriff_Crc32CalcSwp(0xDEADBEEFu, 4, nullptr));
    EXPECT_EQ(0u, GetCrc32_0x11EDC6F41(4u, nullptr, 0xDEADBEEFu));
    for (std::int32_t length : {0, -1, -1000})
    {
        EXPECT_EQ(0x55u, Qdriff_Crc8CalcSwp(0x55u, length, CheckInput));
        EXPECT_EQ(0x55AAu, Qdriff_Crc16CalcSwp(0x55AAu, length, CheckInput));
        EXPECT_EQ(0x55AAu, Qdriff_Crc16_755B_CalcSwp(0x55AAu, length, CheckInput));
        EXPECT_EQ(0xDEADBEEFu, Qdriff_Crc32CalcSwp(0xDEADBEEFu, length, CheckInput));
    }
}

// Slice k of a table is byte i followed by k zero bytes; slice 0 is the classic per-byte table.
TEST(QdriffCrc, EverySliceEntryMatchesTheBitwiseReference)
{
    for (unsigned k = 0u; k < QDRIFF_CRC_SLICE_COUNT; ++k)
    {
        for (unsigned i = 0u; i < 256u; ++i)
        {
            std::uint8_t bytes[QDRIFF_CRC_SLICE_COUNT] = {};
            bytes[0] = static_cast<std::uint8_t>(i);
            const std::size_t length = k + 1u;
            EXPECT_EQ(BitwiseCrc(8u, 0x2Fu, 0u, bytes, length), Qdriff_gaucCrc8Tab.m_slice[k][i]) << k << " " << i;
            EXPECT_EQ(BitwiseCrc(16u, 0x5935u, 0u, bytes, length), Qdriff_gausCrc16Tab.m_slice[k][i]) << k << " " << i;
            EXPECT_EQ(BitwiseCrc(16u, 0x755Bu, 0u, bytes, length), Qdriff_gausCrc16_755B_Tab.m_slice[k][i])
                << k << " " << i;
            EXPECT_EQ(BitwiseCrc(32u, 0x1EDC6F41u, 0u, bytes, length), Qdriff_gaulCrc32Tab.m_slice[k][i])
                << k << " " << i;
        }
    }
}

TEST(QdriffCrc, RoutinesMatchTheBitwiseReferenceFromAnyStartValue)
{
    std::uint8_t data[300];
    std::uint32_t state = 12345u;
    for (std::uint8_t& byte : data)
    {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    for (std::uint32_t start : {0u, 1u, 0xA5u, 0xFFFFu, 0x12345678u, 0xFFFFFFFFu})
    {
        EXPECT_EQ(BitwiseCrc(8u, 0x2Fu, start & 0xFFu, data, sizeof data),
                  Qdriff_Crc8CalcSwp(static_cast<std::uint8_t>(start), sizeof data, data));
        EXPECT_EQ(BitwiseCrc(16u, 0x5935u, start & 0xFFFFu, data, sizeof data),
                  Qdriff_Crc16CalcSwp(static_cast<std::uint16_t>(start), sizeof data, data));
        EXPECT_EQ(BitwiseCrc(16u, 0x755Bu, start & 0xFFFFu, data, sizeof data),
                  Qdriff_Crc16_755B_CalcSwp(static_cast<std::uint16_t>(start), sizeof data, data));
        EXPECT_EQ(BitwiseCrc(32u, 0x1EDC6F41u, start, data, sizeof data),
                  Qdriff_Crc32CalcSwp(start, sizeof data, data));
    }
}
} // namespace
