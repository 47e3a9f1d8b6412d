// One memory section of the process image under test and the table of its reference block CRCs.
#ifndef UTIL_CPROCESSIMAGETESTERSECTIONMAP_H
#define UTIL_CPROCESSIMAGETESTERSECTIONMAP_H

#include <cstdint>

namespace Util
{
/// Plain record, constant-initialised from the link layout. The table holds one entry per 16384-byte block of
/// the section: (section length + 16383) / 16384 entries, the last block shorter when the length is not a
/// multiple of 16384. An empty section (start equal to end) has an empty table.
struct CProcessImageTesterSectionMap
{
    const void* m_memoryStartAddress; ///< first byte of the section
    const void* m_memoryEndAddress;   ///< one past the last byte
    std::uint32_t* m_crcStartAddress; ///< first entry of the section's CRC table (zero-initialised memory)
    std::uint32_t* m_crcEndAddress;   ///< one past the last entry
};
} // namespace Util

#endif
