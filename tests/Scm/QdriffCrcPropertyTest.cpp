// The slice-by-8 CRC routines against the bitwise reference on random buffers of every length up to 1024, from
// random start values and misaligned addresses, and over every split of each buffer into two calls.
#include "Scm/QdriffCrc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tests/Scm/CrcReference.h"

namespace
{
constexpr std::size_t LengthMax = 1024u;
// Any start address modulo the widest word the routines could be tempted to load.
constexpr std::size_t AlignmentCount = 8u;

struct CRoutine
{
    const char* m_name;
    unsigned m_width;
    std::uint32_t m_polynomial;
    std::uint32_t (*m_fast)(std::uint32_t initialCrc, std::int32_t length, const std::uint8_t* data);
    std::uint32_t (*m_bytewise)(std::uint32_t initialCrc, std::size_t length, const std::uint8_t* data);
};

std::ostream& operator<<(std::ostream& stream, const CRoutine& routine)
{
    return stream << routine.m_name;
}

const CRoutine Routines[] = {
    {"Crc8_2F", 8u, 0x2Fu,
     [](std::uint32_t crc, std::int32_t length, const std::uint8_t* data) -> std::uint32_t
     { return Qdriff_Crc8CalcSwp(static_cast<std::uint8_t>(crc), length, data); },
     [](std::uint32_t crc, std::size_t length, const std::uint8_t* data) -> std::uint32_t
     { return CrcReference::BytewiseCrc8(static_cast<std::uint8_t>(crc), length, data); }},
    {"Crc16_5935", 16u, 0x5935u,
     [](std::uint32_t crc, std::int32_t length, const std::uint8_t* data) -> std::uint32_t
     { return Qdriff_Crc16CalcSwp(static_cast<std::uint16_t>(crc), length, data); },
     [](std::uint32_t crc, std::size_t length, const std::uint8_t* data) -> std::uint32_t {
         return CrcReference::BytewiseCrc16(CrcReference::Crc16_5935Table, static_cast<std::uint16_t>(crc), length,
                                            data);
     }},
    {"Crc16_755B", 16u, 0x755Bu,
     [](std::uint32_t crc, std::int32_t length, const std::uint8_t* data) -> std::uint32_t
     { return Qdriff_Crc16_755B_CalcSwp(static_cast<std::uint16_t>(crc), length, data); },
     [](std::uint32_t crc, std::size_t length, const std::uint8_t* data) -> std::uint32_t {
         return CrcReference::BytewiseCrc16(CrcReference::Crc16_755BTable, static_cast<std::uint16_t>(crc), length,
                                            data);
     }},
    {"Crc32_1EDC6F41", 32u, 0x1EDC6F41u,
     [](std::uint32_t crc, std::int32_t length, const std::uint8_t* data) -> std::uint32_t
     { return Qdriff_Crc32CalcSwp(crc, length, data); },
     [](std::uint32_t crc, std::size_t length, const std::uint8_t* data) -> std::uint32_t
     { return CrcReference::BytewiseCrc32(crc, length, data); }},
};

// A fresh seed per run widens what the runs cover together; SCM_CRC_SEED repeats a reported one.
std::uint32_t GetSeed()
{
    const char* const fixed = std::getenv("SCM_CRC_SEED");
    if (fixed != nullptr)
    {
        return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 0));
    }
    return std::random_device()();
}

class QdriffCrcProperty : public testing::TestWithParam<CRoutine>
{
protected:
    QdriffCrcProperty() : m_seed(GetSeed()), m_random(m_seed), m_storage(LengthMax + AlignmentCount)
    {
        for (std::uint8_t& byte : m_storage)
        {
            byte = static_cast<std::uint8_t>(m_random());
        }
    }

    std::uint32_t RandomStart()
    {
        const unsigned width = GetParam().m_width;
        const std::uint32_t mask = (width == 32u) ? 0xFFFFFFFFu : ((1u << width) - 1u);
        return static_cast<std::uint32_t>(m_random()) & mask;
    }

    // The buffer of a length starts at another alignment for each length.
    const std::uint8_t* Buffer(std::size_t length) const
    {
        return m_storage.data() + (length % AlignmentCount);
    }

    std::uint32_t m_seed;
    std::mt19937 m_random;
    std::vector<std::uint8_t> m_storage;
};

TEST_P(QdriffCrcProperty, EqualsBitwiseReferenceForEveryLengthUpTo1024)
{
    const CRoutine& routine = GetParam();
    SCOPED_TRACE("SCM_CRC_SEED=" + std::to_string(m_seed));
    for (std::size_t length = 0u; length <= LengthMax; ++length)
    {
        const std::uint8_t* data = Buffer(length);
        const std::uint32_t start = RandomStart();
        const std::uint32_t expected =
            CrcReference::Bitwise(routine.m_width, routine.m_polynomial, start, data, length);
        ASSERT_EQ(expected, routine.m_fast(start, static_cast<std::int32_t>(length), data)) << "length " << length;
        // The per-byte loop stays the floor of the benchmarks only while it computes the same.
        ASSERT_EQ(expected, routine.m_bytewise(start, length, data)) << "length " << length;
    }
}

// Every range [0, length) of one buffer, split at every point: the head from the start value, then the tail from the
// head's result. The reference runs once over the buffer, keeping the register after each byte.
TEST_P(QdriffCrcProperty, ContinuesOverEverySplitOfEveryLengthUpTo1024)
{
    const CRoutine& routine = GetParam();
    SCOPED_TRACE("SCM_CRC_SEED=" + std::to_string(m_seed));
    const std::uint8_t* const data = m_storage.data();
    const std::uint32_t start = RandomStart();
    std::vector<std::uint32_t> prefix(LengthMax + 1u, start);
    for (std::size_t length = 1u; length <= LengthMax; ++length)
    {
        prefix[length] =
            CrcReference::Bitwise(routine.m_width, routine.m_polynomial, prefix[length - 1u], data + length - 1u, 1u);
    }
    for (std::size_t split = 0u; split <= LengthMax; ++split)
    {
        const std::uint32_t head = routine.m_fast(start, static_cast<std::int32_t>(split), data);
        ASSERT_EQ(prefix[split], head) << "split " << split;
        for (std::size_t length = split; length <= LengthMax; ++length)
        {
            ASSERT_EQ(prefix[length], routine.m_fast(head, static_cast<std::int32_t>(length - split), data + split))
                << "length " << length << " split " << split;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(QdriffCrc, QdriffCrcProperty, testing::ValuesIn(Routines),
                         [](const testing::TestParamInfo<CRoutine>& routine)
                         { return std::string(routine.param.m_name); });
} // namespace
