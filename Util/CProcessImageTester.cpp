// Reference CRCs of the process image's blocks and their piecewise re-check.
#include "Util/CProcessImageTester.h"

#include <cstddef>

#include "Scm/QdriffCrc.h"
#include "Util/CProcessImageEventCode.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CProcessImageTester.cpp");

// Addresses compared as integers: the bounds come from separate link symbols, not from one array.
std::uintptr_t ToAddress(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

std::size_t GetSectionLength(const Util::CProcessImageTesterSectionMap& map)
{
    return ToAddress(map.m_memoryEndAddress) - ToAddress(map.m_memoryStartAddress);
}

std::size_t GetBlockOffset(std::uint32_t blockIndex)
{
    return static_cast<std::size_t>(blockIndex) * Util::CProcessImageTester::ms_CrcBlockLength;
}
} // namespace

namespace Util
{
CProcessImageTester::CProcessImageTester(std::uint32_t sectionMapCount,
                                         const CProcessImageTesterSectionMap* const* sectionMaps)
    : m_sectionMapCount(sectionMapCount), m_sectionMaps(sectionMaps), m_sectionIndex(0u), m_blockIndex(0u),
      m_partialBlockOffset(0u), m_partialBlockCrc(0u)
{
    // Without a section there is no block to start at.
    SCM_GUARD(sectionMapCount != 0u);
    SCM_GUARD(sectionMaps != nullptr);
    for (std::uint32_t index = 0u; index < sectionMapCount; ++index)
    {
        const CProcessImageTesterSectionMap* map = sectionMaps[index];
        SCM_GUARD(map != nullptr);
        SCM_GUARD(map->m_memoryStartAddress != nullptr);
        SCM_GUARD(map->m_memoryEndAddress != nullptr);
        SCM_GUARD(map->m_crcStartAddress != nullptr);
        SCM_GUARD(map->m_crcEndAddress != nullptr);
        SCM_GUARD(ToAddress(map->m_memoryEndAddress) >= ToAddress(map->m_memoryStartAddress));
        SCM_GUARD(ToAddress(map->m_crcEndAddress) >= ToAddress(map->m_crcStartAddress));
        const std::size_t entryCount =
            (ToAddress(map->m_crcEndAddress) - ToAddress(map->m_crcStartAddress)) / sizeof(std::uint32_t);
        SCM_GUARD(entryCount == (GetSectionLength(*map) + (ms_CrcBlockLength - 1u)) / ms_CrcBlockLength);
    }
}

void CProcessImageTester::Initialize()
{
    const std::uint32_t sectionIndex = m_sectionIndex;
    const std::uint32_t blockIndex = m_blockIndex;
    do
    {
        InitializeBlockCrc();
    } while ((m_sectionIndex != sectionIndex) || (m_blockIndex != blockIndex));
}

void CProcessImageTester::TestOneMemoryBlock()
{
    const std::size_t remaining = GetRemainingSectionLength();
    if (remaining == 0u)
    {
        MoveToNextBlock();
        return;
    }
    const std::size_t left = remaining - m_partialBlockOffset;
    const std::uint32_t chunkLength =
        (left < ms_PartialCrcBlockLength) ? static_cast<std::uint32_t>(left) : ms_PartialCrcBlockLength;
    m_partialBlockCrc = GetCrc32_0x11EDC6F41(chunkLength, GetBlockStart() + m_partialBlockOffset, m_partialBlockCrc);
    m_partialBlockOffset += chunkLength;
    if ((m_partialBlockOffset != ms_CrcBlockLength) && (m_partialBlockOffset != remaining))
    {
        return;
    }
    CheckBlockCrc();
    MoveToNextBlock();
}

void CProcessImageTester::InitializeBlockCrc()
{
    const std::size_t remaining = GetRemainingSectionLength();
    if (remaining != 0u)
    {
        const std::uint32_t blockLength =
            (remaining < ms_CrcBlockLength) ? static_cast<std::uint32_t>(remaining) : ms_CrcBlockLength;
        m_sectionMaps[m_sectionIndex]->m_crcStartAddress[m_blockIndex] =
            GetCrc32_0x11EDC6F41(blockLength, GetBlockStart(), 0u);
    }
    MoveToNextBlock();
}

void CProcessImageTester::MoveToNextBlock()
{
    ++m_blockIndex;
    m_partialBlockOffset = 0u;
    m_partialBlockCrc = 0u;
    if (GetBlockOffset(m_blockIndex) >= GetSectionLength(*m_sectionMaps[m_sectionIndex]))
    {
        m_blockIndex = 0u;
        ++m_sectionIndex;
        if (m_sectionIndex == m_sectionMapCount)
        {
            m_sectionIndex = 0u;
        }
    }
}

void CProcessImageTester::CheckBlockCrc() const
{
    if (m_sectionMaps[m_sectionIndex]->m_crcStartAddress[m_blockIndex] != m_partialBlockCrc)
    {
        throw CException(CProcessImageEventCode::BlockCrcMismatch, static_cast<std::uint16_t>(m_sectionIndex),
                         m_blockIndex);
    }
}

const std::uint8_t* CProcessImageTester::GetBlockStart() const
{
    return static_cast<const std::uint8_t*>(m_sectionMaps[m_sectionIndex]->m_memoryStartAddress) +
           GetBlockOffset(m_blockIndex);
}

std::size_t CProcessImageTester::GetRemainingSectionLength() const
{
    return GetSectionLength(*m_sectionMaps[m_sectionIndex]) - GetBlockOffset(m_blockIndex);
}
} // namespace Util
