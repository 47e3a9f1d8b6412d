// The process image tester over sections owned by the test: table sizing, construction guards, block and
// section stepping, and a seeded model of when a changed byte is found.
#include "Util/CProcessImageTester.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <vector>

#include "Scm/QdriffCrc.h"
#include "Util/CException.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Util::CProcessImageTester;
using Util::CProcessImageTesterSectionMap;

constexpr const char* TesterFile = "CProcessImageTester.cpp";
constexpr std::uint16_t BlockCrcMismatch = 0xE24Du;
constexpr std::size_t BlockLength = 16384u;
constexpr std::size_t ChunkLength = 256u;
// What an empty table points at; never a CRC of nothing (0), so that a compare against it would fail.
constexpr std::uint32_t EmptyTableAnchor = 0xA5A5A5A5u;

std::size_t GetEntryCount(std::size_t length)
{
    return (length + BlockLength - 1u) / BlockLength;
}

// Sections of random bytes with their CRC tables, each allocated to its exact size so that the address sanitizer
// sees any access past a section or a table. Empty sections and tables point at anchors of their own.
class CImage
{
public:
    CImage(const std::vector<std::size_t>& lengths, std::uint32_t seed)
        : CImage(lengths, std::vector<std::optional<std::size_t>>(lengths.size()), seed)
    {
    }

    // entryCounts overrides the table size of a section (to build maps that break the sizing rule).
    CImage(const std::vector<std::size_t>& lengths, const std::vector<std::optional<std::size_t>>& entryCounts,
           std::uint32_t seed)
        : m_memory(lengths.size()), m_tables(lengths.size()), m_maps(lengths.size()), m_mapPointers(lengths.size())
    {
        std::mt19937 random(seed);
        for (std::size_t index = 0u; index < lengths.size(); ++index)
        {
            m_memory[index].resize(lengths[index]);
            for (std::uint8_t& byte : m_memory[index])
            {
                byte = static_cast<std::uint8_t>(random());
            }
            m_tables[index].resize(entryCounts[index].value_or(GetEntryCount(lengths[index])));
            const std::uint8_t* memory = m_memory[index].empty() ? &m_emptyMemory : m_memory[index].data();
            std::uint32_t* table = m_tables[index].empty() ? &m_emptyTable : m_tables[index].data();
            m_maps[index] = {memory, memory + m_memory[index].size(), table, table + m_tables[index].size()};
            m_mapPointers[index] = &m_maps[index];
        }
    }

    std::uint32_t GetCount() const
    {
        return static_cast<std::uint32_t>(m_maps.size());
    }
    const CProcessImageTesterSectionMap* const* GetMaps() const
    {
        return m_mapPointers.data();
    }
    CProcessImageTesterSectionMap& GetMap(std::size_t index)
    {
        return m_maps[index];
    }
    std::vector<std::uint8_t>& GetMemory(std::size_t index)
    {
        return m_memory[index];
    }
    const std::vector<std::uint32_t>& GetTable(std::size_t index) const
    {
        return m_tables[index];
    }
    void SetMapPointer(std::size_t index, const CProcessImageTesterSectionMap* map)
    {
        m_mapPointers[index] = map;
    }

private:
    std::vector<std::vector<std::uint8_t>> m_memory;
    std::vector<std::vector<std::uint32_t>> m_tables;
    std::vector<CProcessImageTesterSectionMap> m_maps;
    std::vector<const CProcessImageTesterSectionMap*> m_mapPointers;
    std::uint8_t m_emptyMemory = 0u;
    std::uint32_t m_emptyTable = EmptyTableAnchor;
};

std::optional<Util::CException> TryTestOneMemoryBlock(CProcessImageTester& tester)
{
    try
    {
        tester.TestOneMemoryBlock();
    }
    catch (const Util::CException& exception)
    {
        return exception;
    }
    return std::nullopt;
}

// Runs count calls that must all pass.
void ExpectQuietCalls(CProcessImageTester& tester, int count)
{
    for (int call = 1; call <= count; ++call)
    {
        const std::optional<Util::CException> exception = TryTestOneMemoryBlock(tester);
        ASSERT_FALSE(exception.has_value()) << "call " << call << " raised " << std::hex << exception->m_eventCode;
    }
}

void ExpectMismatch(CProcessImageTester& tester, std::uint16_t section, std::uint32_t block)
{
    const std::optional<Util::CException> exception = TryTestOneMemoryBlock(tester);
    ASSERT_TRUE(exception.has_value()) << "the changed block was not found";
    Support::ExpectException(*exception, BlockCrcMismatch, section, block);
}

// The table of a section must have exactly (length + 16383) / 16384 entries; the section under test is the second
// of two, so the rule holds for every map and not only the first.
struct CSizingCase
{
    std::size_t m_length;
    std::size_t m_entryCount;
    bool m_accepted;
};

void PrintTo(const CSizingCase& sizing, std::ostream* stream)
{
    *stream << sizing.m_length << " bytes, " << sizing.m_entryCount << " entries";
}

class CProcessImageTesterSizing : public ::testing::TestWithParam<CSizingCase>
{
};

TEST_P(CProcessImageTesterSizing, AcceptsOnlyOneTableEntryPerStartedBlock)
{
    const CSizingCase& sizing = GetParam();
    CImage image({100u, sizing.m_length}, {std::nullopt, sizing.m_entryCount}, 1u);
    if (sizing.m_accepted)
    {
        EXPECT_NO_THROW(CProcessImageTester tester(image.GetCount(), image.GetMaps()));
    }
    else
    {
        Support::ExpectGuard(
            Support::CaptureGuard([&] { CProcessImageTester tester(image.GetCount(), image.GetMaps()); }), TesterFile);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CProcessImageTesterSizing,
                         ::testing::Values(CSizingCase{0u, 0u, true}, CSizingCase{0u, 1u, false},
                                           CSizingCase{1u, 1u, true}, CSizingCase{1u, 0u, false},
                                           CSizingCase{1u, 2u, false}, CSizingCase{16383u, 1u, true},
                                           CSizingCase{16384u, 1u, true}, CSizingCase{16384u, 2u, false},
                                           CSizingCase{16385u, 1u, false}, CSizingCase{16385u, 2u, true},
                                           CSizingCase{16385u, 3u, false}, CSizingCase{49152u, 3u, true},
                                           CSizingCase{49153u, 4u, true}, CSizingCase{49153u, 3u, false}));

// Each way of handing over unusable maps; the maps are otherwise valid, and the fault is in the second one.
struct CGuardCase
{
    const char* m_name;
    void (*m_spoil)(CImage& image);
    bool m_nullArray;
    std::uint32_t m_count;
};

void PrintTo(const CGuardCase& guard, std::ostream* stream)
{
    *stream << guard.m_name;
}

class CProcessImageTesterGuard : public ::testing::TestWithParam<CGuardCase>
{
};

TEST_P(CProcessImageTesterGuard, RefusesUnusableMaps)
{
    const CGuardCase& guard = GetParam();
    CImage image({300u, 20000u}, 2u);
    guard.m_spoil(image);
    const CProcessImageTesterSectionMap* const* maps = guard.m_nullArray ? nullptr : image.GetMaps();
    Support::ExpectGuard(Support::CaptureGuard([&] { CProcessImageTester tester(guard.m_count, maps); }), TesterFile);
}

const CGuardCase GuardCases[] = {
    {"NullArray", [](CImage&) {}, true, 2u},
    {"NoSection", [](CImage&) {}, false, 0u},
    {"NullMap", [](CImage& image) { image.SetMapPointer(1u, nullptr); }, false, 2u},
    {"NullMemoryStart", [](CImage& image) { image.GetMap(1u).m_memoryStartAddress = nullptr; }, false, 2u},
    {"NullMemoryEnd", [](CImage& image) { image.GetMap(1u).m_memoryEndAddress = nullptr; }, false, 2u},
    {"NullCrcStart", [](CImage& image) { image.GetMap(1u).m_crcStartAddress = nullptr; }, false, 2u},
    {"NullCrcEnd", [](CImage& image) { image.GetMap(1u).m_crcEndAddress = nullptr; }, false, 2u},
    {"MemoryEndBeforeStart",
     [](CImage& image)
     {
         CProcessImageTesterSectionMap& map = image.GetMap(1u);
         map.m_memoryEndAddress = static_cast<const std::uint8_t*>(map.m_memoryStartAddress) - 1;
     },
     false, 2u},
    {"CrcEndBeforeStart",
     [](CImage& image)
     {
         CProcessImageTesterSectionMap& map = image.GetMap(1u);
         map.m_crcEndAddress = map.m_crcStartAddress - 1;
     },
     false, 2u},
    {"TableOneEntryShort", [](CImage& image) { --image.GetMap(1u).m_crcEndAddress; }, false, 2u},
};

INSTANTIATE_TEST_SUITE_P(Table, CProcessImageTesterGuard, ::testing::ValuesIn(GuardCases),
                         [](const ::testing::TestParamInfo<CGuardCase>& guard) { return guard.param.m_name; });

// Most of these faults would also trip a later check (a null start makes the length absurd, for one); distinct
// lines show that each is refused by its own check, which is what the line tells in the field.
TEST(CProcessImageTesterGuardLines, EachUnusableMapIsRefusedOnALineOfItsOwn)
{
    std::map<std::uint16_t, const char*> lines;
    for (const CGuardCase& guard : GuardCases)
    {
        CImage image({300u, 20000u}, 2u);
        guard.m_spoil(image);
        const CProcessImageTesterSectionMap* const* maps = guard.m_nullArray ? nullptr : image.GetMaps();
        const Util::CException exception =
            Support::CaptureGuard([&] { CProcessImageTester tester(guard.m_count, maps); });
        const auto inserted = lines.emplace(exception.m_information0, guard.m_name);
        EXPECT_TRUE(inserted.second) << guard.m_name << " is refused on the line of " << inserted.first->second;
    }
}

TEST(CProcessImageTester, SectionOf16385BytesHasTwoBlocksAndTheSecondIsCheckedInOneCall)
{
    CImage image({16385u}, 3u);
    CProcessImageTester tester(image.GetCount(), image.GetMaps());
    tester.Initialize();
    const std::vector<std::uint8_t>& memory = image.GetMemory(0u);
    ASSERT_EQ(2u, image.GetTable(0u).size());
    EXPECT_EQ(GetCrc32_0x11EDC6F41(16384u, memory.data(), 0u), image.GetTable(0u)[0]);
    EXPECT_EQ(GetCrc32_0x11EDC6F41(1u, memory.data() + 16384u, 0u), image.GetTable(0u)[1]);

    image.GetMemory(0u)[16384u] ^= 0x01u;
    ExpectQuietCalls(tester, 64);
    ExpectMismatch(tester, 0u, 1u);
}

TEST(CProcessImageTester, EmptySectionIsSkippedInOneCall)
{
    CImage image({256u, 0u, 256u}, 4u);
    CProcessImageTester tester(image.GetCount(), image.GetMaps());
    tester.Initialize();
    EXPECT_EQ(EmptyTableAnchor, *image.GetMap(1u).m_crcStartAddress) << "written past an empty table";
    image.GetMemory(2u)[255u] ^= 0x80u;
    ExpectQuietCalls(tester, 2);
    ExpectMismatch(tester, 2u, 0u);
}

TEST(CProcessImageTester, WrapsFromTheLastBlockOfTheLastSectionToBlockZeroOfSectionZero)
{
    // One pass: two calls for section 0, 64 for block 0 of section 1 and one for its 10-byte block 1.
    CImage image({300u, 16394u}, 5u);
    CProcessImageTester tester(image.GetCount(), image.GetMaps());
    tester.Initialize();
    ExpectQuietCalls(tester, 67);
    image.GetMemory(0u)[0u] ^= 0x10u;
    ExpectQuietCalls(tester, 1);
    ExpectMismatch(tester, 0u, 0u);
}

// Random layouts; at random moments one byte is changed (any section, any offset, also in the part of the current
// block already covered) and later, between two blocks, changed back. The model predicts from the bytes as each
// call reads them when a block is found changed; every call before that must pass. At most one byte differs at any
// time, which a 32-bit CRC always detects.
TEST(CProcessImageTesterModel, FindsAChangedByteExactlyWhenItsChangedContentHasBeenRead)
{
    const std::vector<std::size_t> typicalLengths = {0u, 1u, 255u, 256u, 257u, 16383u, 16384u, 16385u, 40000u};
    int detections = 0;
    for (std::uint32_t seed = 1u; seed <= 150u; ++seed)
    {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        std::vector<std::size_t> lengths(1u + random() % 5u);
        for (std::size_t& length : lengths)
        {
            length = (random() % 4u == 0u) ? random() % 50000u : typicalLengths[random() % typicalLengths.size()];
        }
        CImage image(lengths, seed);
        CProcessImageTester tester(image.GetCount(), image.GetMaps());
        tester.Initialize();
        for (std::size_t section = 0u; section < lengths.size(); ++section)
        {
            const std::vector<std::uint8_t>& memory = image.GetMemory(section);
            for (std::size_t block = 0u; block < GetEntryCount(lengths[section]); ++block)
            {
                const std::size_t length = std::min(BlockLength, lengths[section] - block * BlockLength);
                ASSERT_EQ(
                    GetCrc32_0x11EDC6F41(static_cast<std::uint32_t>(length), memory.data() + block * BlockLength, 0u),
                    image.GetTable(section)[block])
                    << "section " << section << " block " << block;
            }
        }

        // The one changed byte, while there is one.
        bool changed = false;
        std::size_t changedSection = 0u;
        std::size_t changedOffset = 0u;
        std::uint8_t original = 0u;
        std::size_t section = 0u;
        std::size_t block = 0u;
        std::size_t offset = 0u;
        bool readChanged = false;
        std::size_t passLength = 0u;
        for (const std::size_t length : lengths)
        {
            passLength += (length == 0u) ? 1u : (length + ChunkLength - 1u) / ChunkLength;
        }
        for (std::size_t call = 1u; call <= 3u * passLength; ++call)
        {
            if (!changed && random() % 64u == 0u)
            {
                const std::size_t target = random() % lengths.size();
                if (lengths[target] != 0u)
                {
                    std::vector<std::uint8_t>& memory = image.GetMemory(target);
                    const std::size_t at = random() % lengths[target];
                    changed = true;
                    changedSection = target;
                    changedOffset = at;
                    original = memory[at];
                    memory[at] = static_cast<std::uint8_t>(memory[at] ^ (1u + random() % 255u));
                }
            }
            else if (changed && offset == 0u && random() % 8u == 0u)
            {
                image.GetMemory(changedSection)[changedOffset] = original;
                changed = false;
            }

            bool blockDone = true;
            if (lengths[section] != 0u)
            {
                const std::size_t blockStart = block * BlockLength;
                const std::size_t blockLength = std::min(BlockLength, lengths[section] - blockStart);
                const std::size_t chunk = std::min(ChunkLength, blockLength - offset);
                readChanged =
                    readChanged || (changed && changedSection == section && changedOffset >= blockStart + offset &&
                                    changedOffset < blockStart + offset + chunk);
                offset += chunk;
                blockDone = (offset == blockLength);
            }
            const bool expected = blockDone && readChanged;
            const std::optional<Util::CException> exception = TryTestOneMemoryBlock(tester);
            ASSERT_EQ(expected, exception.has_value())
                << "call " << call << " in section " << section << " block " << block << " at " << offset;
            if (expected)
            {
                Support::ExpectException(*exception, BlockCrcMismatch, static_cast<std::uint16_t>(section),
                                         static_cast<std::uint32_t>(block));
                ++detections;
                break;
            }
            if (blockDone)
            {
                offset = 0u;
                readChanged = false;
                if (++block >= GetEntryCount(lengths[section]))
                {
                    block = 0u;
                    section = (section + 1u) % lengths.size();
                }
            }
        }
    }
    EXPECT_GT(detections, 50) << "too few runs changed a byte to make the model meaningful";
}
} // namespace
