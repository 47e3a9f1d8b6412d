// Block-wise CRC test of the process's own code and constant memory, 256 bytes per call.
#ifndef UTIL_CPROCESSIMAGETESTER_H
#define UTIL_CPROCESSIMAGETESTER_H

#include <cstddef>
#include <cstdint>

#include "Util/CProcessImageTesterSectionMap.h"

namespace Util
{
/// Keeps a reference CRC-32 (polynomial 0x1EDC6F41, start 0) for every 16384-byte block of the given sections and
/// re-checks them piecewise: each TestOneMemoryBlock covers the next 256 bytes, block after block and section
/// after section, and wraps from the last block of the last section to block 0 of section 0. Empty sections
/// are allowed. Reads the sections and writes only their CRC tables; allocates nothing.
class CProcessImageTester
{
public:
    static constexpr std::uint32_t ms_CrcBlockLength = 16384u;
    static constexpr std::uint32_t ms_PartialCrcBlockLength = 256u;

    /// Validates the maps and starts at block 0 of section 0. The caller keeps the array, the maps, the
    /// sections and the tables alive and unmoved for the life of the tester.
    /// Raises 0xE200 when: sectionMapCount is 0; sectionMaps is null; a map or any of its four addresses is null;
    /// a memory or table end lies before its start; a table's entry count differs from
    /// (memory length + 16383) / 16384.
    CProcessImageTester(std::uint32_t sectionMapCount, const CProcessImageTesterSectionMap* const* sectionMaps);
    CProcessImageTester(const CProcessImageTester&) = delete;
    CProcessImageTester& operator=(const CProcessImageTester&) = delete;
    virtual ~CProcessImageTester() = default;

    /// Computes the reference CRC of every block of every section into the tables; the test position is where it
    /// was before. Call once, before the first TestOneMemoryBlock, while the memory holds its reference content.
    void Initialize();

    /// Adds the next at most 256 bytes of the current block to its running CRC; when the block is complete,
    /// compares the CRC with the block's reference and moves to the next block. An empty section is skipped in one
    /// call without a CRC.
    /// Raises 0xE24D (information0 = section index, information1 = block index) when a block's CRC differs from
    /// its reference. After that the position is not meaningful any more: callers stop testing.
    void TestOneMemoryBlock();

private:
    void InitializeBlockCrc();
    void MoveToNextBlock();
    void CheckBlockCrc() const;

    /// Start of the current block and the bytes from there to the end of its section (0 for an empty section).
    const std::uint8_t* GetBlockStart() const;
    std::size_t GetRemainingSectionLength() const;

    std::uint32_t m_sectionMapCount;
    const CProcessImageTesterSectionMap* const* m_sectionMaps;
    std::uint32_t m_sectionIndex;
    std::uint32_t m_blockIndex;
    std::uint32_t m_partialBlockOffset;
    std::uint32_t m_partialBlockCrc;
};
} // namespace Util

#endif
