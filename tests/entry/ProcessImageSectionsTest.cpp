// The section maps of the process image tester against the link: the built scm-checker's section headers and
// symbols (bounds, table sizes, nothing written after loading inside a tested range, no untested code but the PLT),
// and the same maps linked into this test, compared with its loaded image and run over it.
#include "entry/ProcessImageSections.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "Scm/QdriffCrc.h"
#include "Util/CException.h"
#include "Util/CProcessImageTester.h"
#include "support/Test/CElfFile.h"

namespace
{
using Support::CElfFile;
using Util::CProcessImageTester;

bool Overlap(std::uint64_t startA, std::uint64_t endA, std::uint64_t startB, std::uint64_t endB)
{
    return startA < endB && startB < endA;
}

// One watched section map: its symbol stem and the output sections it must span, in address order.
struct CMapCase
{
    const char* m_stem;
    std::vector<std::string> m_sections;
};

void PrintTo(const CMapCase& map, std::ostream* stream)
{
    *stream << map.m_stem;
}

const std::vector<CMapCase> MapCases = {
    {"Init", {".init"}},
    {"Text", {".text"}},
    {"Fini", {".fini"}},
    {"RoData", {".rodata"}},
    {"RoData1", {".eh_frame_hdr", ".eh_frame", ".gcc_except_table"}},
};

// The link-time bounds of one map, read from the symbols of an executable.
struct CBounds
{
    std::uint64_t m_start;
    std::uint64_t m_end;
    std::uint64_t m_crcStart;
    std::uint64_t m_crcEnd;
};

CBounds ReadBounds(const CElfFile& file, const std::string& stem)
{
    const auto get = [&](const std::string& suffix) { return file.GetSymbol("Ld" + stem + suffix); };
    return {get("Start"), get("End"), get("CrcStart"), get("CrcEnd")};
}

const CElfFile& GetChecker()
{
    static const CElfFile checker(SCM_CHECKER_FILE);
    return checker;
}

class ScmCheckerSectionMap : public ::testing::TestWithParam<CMapCase>
{
};

TEST_P(ScmCheckerSectionMap, SpansExactlyItsSections)
{
    const CElfFile& checker = GetChecker();
    const CBounds bounds = ReadBounds(checker, GetParam().m_stem);
    const std::vector<std::string>& names = GetParam().m_sections;
    const std::optional<CElfFile::CSection> first = checker.FindSection(names.front());
    const std::optional<CElfFile::CSection> last = checker.FindSection(names.back());
    ASSERT_TRUE(first && last);
    EXPECT_EQ(first->m_header.sh_addr, bounds.m_start);
    EXPECT_EQ(last->m_header.sh_addr + last->m_header.sh_size, bounds.m_end);
    EXPECT_LT(bounds.m_start, bounds.m_end) << "the section is missing or empty";

    // Nothing else lies in the range (the identification record, for one, must not).
    std::set<std::string> inside;
    for (const CElfFile::CSection& section : checker.GetSections())
    {
        const std::uint64_t start = section.m_header.sh_addr;
        if ((section.m_header.sh_flags & SHF_ALLOC) != 0u && section.m_header.sh_size != 0u &&
            Overlap(start, start + section.m_header.sh_size, bounds.m_start, bounds.m_end))
        {
            inside.insert(section.m_name);
        }
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), inside);
}

TEST_P(ScmCheckerSectionMap, TableHasOneEntryPerStartedBlockInZeroFilledWritableMemory)
{
    const CElfFile& checker = GetChecker();
    const CBounds bounds = ReadBounds(checker, GetParam().m_stem);
    const std::uint64_t blockCount = (bounds.m_end - bounds.m_start + CProcessImageTester::ms_CrcBlockLength - 1u) /
                                     CProcessImageTester::ms_CrcBlockLength;
    EXPECT_EQ(blockCount * sizeof(std::uint32_t), bounds.m_crcEnd - bounds.m_crcStart);
    EXPECT_EQ(0u, bounds.m_crcStart % alignof(std::uint32_t));

    bool inBss = false;
    for (const CElfFile::CSection& section : checker.GetSections())
    {
        const std::uint64_t start = section.m_header.sh_addr;
        inBss = inBss || (section.m_header.sh_type == SHT_NOBITS && (section.m_header.sh_flags & SHF_TLS) == 0u &&
                          (section.m_header.sh_flags & (SHF_ALLOC | SHF_WRITE)) == (SHF_ALLOC | SHF_WRITE) &&
                          start <= bounds.m_crcStart && bounds.m_crcEnd <= start + section.m_header.sh_size);
    }
    EXPECT_TRUE(inBss) << "the table is not in a zero-initialised writable section";
    bool zeroFilled = false;
    for (const Elf64_Phdr& segment : checker.GetSegments())
    {
        zeroFilled = zeroFilled || (segment.p_type == PT_LOAD && (segment.p_flags & PF_W) != 0u &&
                                    segment.p_vaddr + segment.p_filesz <= bounds.m_crcStart &&
                                    bounds.m_crcEnd <= segment.p_vaddr + segment.p_memsz);
    }
    EXPECT_TRUE(zeroFilled) << "the table is not in the zero-filled part of a writable segment";
}

INSTANTIATE_TEST_SUITE_P(Maps, ScmCheckerSectionMap, ::testing::ValuesIn(MapCases),
                         [](const ::testing::TestParamInfo<CMapCase>& map) { return map.param.m_stem; });

// The tester compares with CRCs taken at start-up, so a tested byte that the loader relocates or that lies in a
// writable or RELRO segment would be a false alarm or an untested write.
TEST(ScmCheckerSectionMaps, TestedRangesAreNeverWrittenAfterLoading)
{
    const CElfFile& checker = GetChecker();
    for (const Elf64_Dyn& entry : checker.GetDynamicEntries())
    {
        EXPECT_NE(DT_TEXTREL, entry.d_tag);
        EXPECT_FALSE(entry.d_tag == DT_FLAGS && (entry.d_un.d_val & DF_TEXTREL) != 0u);
    }
    const std::vector<std::uint64_t> targets = checker.GetDynamicRelocationTargets();
    EXPECT_FALSE(targets.empty()) << "a position-independent checker has relocations; none were read";
    for (const CMapCase& map : MapCases)
    {
        const CBounds bounds = ReadBounds(checker, map.m_stem);
        for (const std::uint64_t target : targets)
        {
            EXPECT_FALSE(Overlap(target, target + 8u, bounds.m_start, bounds.m_end))
                << map.m_stem << " holds the relocated address 0x" << std::hex << target;
        }
        bool readOnly = false;
        for (const Elf64_Phdr& segment : checker.GetSegments())
        {
            const std::uint64_t end = segment.p_vaddr + segment.p_memsz;
            EXPECT_FALSE((segment.p_type == PT_GNU_RELRO || (segment.p_type == PT_LOAD && (segment.p_flags & PF_W))) &&
                         Overlap(segment.p_vaddr, end, bounds.m_start, bounds.m_end))
                << map.m_stem << " overlaps a writable or RELRO segment";
            readOnly = readOnly || (segment.p_type == PT_LOAD && (segment.p_flags & PF_W) == 0u &&
                                    segment.p_vaddr <= bounds.m_start && bounds.m_end <= end &&
                                    bounds.m_end - segment.p_vaddr <= segment.p_filesz);
        }
        EXPECT_TRUE(readOnly) << map.m_stem << " is not loaded from the file into one read-only segment";
    }
}

// Code outside the tested ranges would go unwatched; only the PLT stubs, which the link generates, are left out.
TEST(ScmCheckerSectionMaps, EveryExecutableSectionIsTestedExceptThePltStubs)
{
    const CElfFile& checker = GetChecker();
    const std::set<std::string> untested = {".plt", ".plt.got", ".plt.sec"};
    std::vector<CBounds> tested;
    for (const CMapCase& map : MapCases)
    {
        tested.push_back(ReadBounds(checker, map.m_stem));
    }
    for (const CElfFile::CSection& section : checker.GetSections())
    {
        if ((section.m_header.sh_flags & SHF_EXECINSTR) == 0u || section.m_header.sh_size == 0u ||
            untested.count(section.m_name) != 0u)
        {
            continue;
        }
        bool covered = false;
        for (const CBounds& bounds : tested)
        {
            covered = covered || (bounds.m_start <= section.m_header.sh_addr &&
                                  section.m_header.sh_addr + section.m_header.sh_size <= bounds.m_end);
        }
        EXPECT_TRUE(covered) << section.m_name << " is executable but not tested";
    }
}

// This test program links the same maps; its running image shows that the bounds are relocated with the load
// address and that the tester runs over real code and constants without a false alarm.
std::uintptr_t GetLoadBias()
{
    std::uintptr_t bias = 0u;
    (void)dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data)
        {
            *static_cast<std::uintptr_t*>(data) = info->dlpi_addr; // the first object is the program itself
            return 1;
        },
        &bias);
    return bias;
}

std::uintptr_t ToAddress(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

TEST(ThisProcessImage, MapsAreTheLoadedSections)
{
    const CElfFile self("/proc/self/exe");
    const std::uintptr_t bias = GetLoadBias();
    ASSERT_EQ(MapCases.size(), ProcessImageSectionMapCount);
    for (std::size_t index = 0u; index < MapCases.size(); ++index)
    {
        SCOPED_TRACE(MapCases[index].m_stem);
        const CBounds bounds = ReadBounds(self, MapCases[index].m_stem);
        const Util::CProcessImageTesterSectionMap& map = *ProcessImageSectionMaps[index];
        const std::optional<CElfFile::CSection> first = self.FindSection(MapCases[index].m_sections.front());
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(bias + first->m_header.sh_addr, ToAddress(map.m_memoryStartAddress));
        EXPECT_EQ(bias + bounds.m_end, ToAddress(map.m_memoryEndAddress));
        EXPECT_EQ(bias + bounds.m_crcStart, ToAddress(map.m_crcStartAddress));
        EXPECT_EQ(bias + bounds.m_crcEnd, ToAddress(map.m_crcEndAddress));
    }
}

TEST(ThisProcessImage, TwoFullPassesOverTheLoadedImageFindNoChange)
{
    CProcessImageTester tester(ProcessImageSectionMapCount, ProcessImageSectionMaps);
    tester.Initialize();
    std::uint64_t passLength = 0u;
    for (const Util::CProcessImageTesterSectionMap* map : ProcessImageSectionMaps)
    {
        const std::uint64_t length = ToAddress(map->m_memoryEndAddress) - ToAddress(map->m_memoryStartAddress);
        const auto firstBlockLength = static_cast<std::uint32_t>(
            (length < CProcessImageTester::ms_CrcBlockLength) ? length : CProcessImageTester::ms_CrcBlockLength);
        EXPECT_EQ(
            GetCrc32_0x11EDC6F41(firstBlockLength, static_cast<const std::uint8_t*>(map->m_memoryStartAddress), 0u),
            map->m_crcStartAddress[0])
            << "no reference CRC of the first block";
        passLength += (length + CProcessImageTester::ms_PartialCrcBlockLength - 1u) /
                      CProcessImageTester::ms_PartialCrcBlockLength;
    }
    for (std::uint64_t call = 1u; call <= 2u * passLength; ++call)
    {
        try
        {
            tester.TestOneMemoryBlock();
        }
        catch (const Util::CException& exception)
        {
            FAIL() << "call " << call << " of " << passLength << " per pass: event 0x" << std::hex
                   << exception.m_eventCode << " section " << std::dec << exception.m_information0 << " block "
                   << exception.m_information1;
        }
    }
}
} // namespace
