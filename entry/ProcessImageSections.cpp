// Section maps of the checker's image over the bounds and tables that ProcessImageSections.ld defines.
#include "entry/ProcessImageSections.h"

// Defined by the linker fragment; only their addresses are used.
extern "C"
{
    extern const std::uint8_t LdInitStart[];
    extern const std::uint8_t LdInitEnd[];
    extern std::uint32_t LdInitCrcStart[];
    extern std::uint32_t LdInitCrcEnd[];
    extern const std::uint8_t LdTextStart[];
    extern const std::uint8_t LdTextEnd[];
    extern std::uint32_t LdTextCrcStart[];
    extern std::uint32_t LdTextCrcEnd[];
    extern const std::uint8_t LdFiniStart[];
    extern const std::uint8_t LdFiniEnd[];
    extern std::uint32_t LdFiniCrcStart[];
    extern std::uint32_t LdFiniCrcEnd[];
    extern const std::uint8_t LdRoDataStart[];
    extern const std::uint8_t LdRoDataEnd[];
    extern std::uint32_t LdRoDataCrcStart[];
    extern std::uint32_t LdRoDataCrcEnd[];
    extern const std::uint8_t LdRoData1Start[];
    extern const std::uint8_t LdRoData1End[];
    extern std::uint32_t LdRoData1CrcStart[];
    extern std::uint32_t LdRoData1CrcEnd[];
}

// constexpr: a map that is not a constant expression fails to compile instead of being filled in at run time.
constexpr Util::CProcessImageTesterSectionMap initSectionMap = {LdInitStart, LdInitEnd, LdInitCrcStart, LdInitCrcEnd};
constexpr Util::CProcessImageTesterSectionMap textSectionMap = {LdTextStart, LdTextEnd, LdTextCrcStart, LdTextCrcEnd};
constexpr Util::CProcessImageTesterSectionMap finiSectionMap = {LdFiniStart, LdFiniEnd, LdFiniCrcStart, LdFiniCrcEnd};
constexpr Util::CProcessImageTesterSectionMap roDataSectionMap = {LdRoDataStart, LdRoDataEnd, LdRoDataCrcStart,
                                                                  LdRoDataCrcEnd};
constexpr Util::CProcessImageTesterSectionMap roData1SectionMap = {LdRoData1Start, LdRoData1End, LdRoData1CrcStart,
                                                                   LdRoData1CrcEnd};

constexpr const Util::CProcessImageTesterSectionMap* ProcessImageSectionMaps[ProcessImageSectionMapCount] = {
    &initSectionMap, &textSectionMap, &finiSectionMap, &roDataSectionMap, &roData1SectionMap};

#if defined(__SANITIZE_ADDRESS__)
#define SCM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCM_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(SCM_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>

namespace
{
// The address sanitizer pads constant globals with redzones inside .rodata and marks them unreadable, while the
// tester reads each watched section whole. Lifted before main, after the sanitizer's own constructors (which run
// first) have registered the globals; writable globals keep their redzones.
struct CWatchedSectionsReadable
{
    CWatchedSectionsReadable()
    {
        for (const Util::CProcessImageTesterSectionMap* map : ProcessImageSectionMaps)
        {
            const auto* start = static_cast<const std::uint8_t*>(map->m_memoryStartAddress);
            __asan_unpoison_memory_region(
                start, static_cast<std::size_t>(static_cast<const std::uint8_t*>(map->m_memoryEndAddress) - start));
        }
    }
};

const CWatchedSectionsReadable watchedSectionsReadable;
} // namespace
#endif
