// The sections of the checker's own image that the process image tester watches, bounded by the link.
#ifndef ENTRY_PROCESSIMAGESECTIONS_H
#define ENTRY_PROCESSIMAGESECTIONS_H

#include <cstdint>

#include "Util/CProcessImageTester.h"

// Constant-initialised (addresses of link symbols only), so a tester constructed during static initialisation in
// any translation unit sees them complete. Each table has one entry per started 16384-byte block and lies in
// zero-initialised memory reserved by the link.
extern const Util::CProcessImageTesterSectionMap initSectionMap;    ///< .init
extern const Util::CProcessImageTesterSectionMap textSectionMap;    ///< .text
extern const Util::CProcessImageTesterSectionMap finiSectionMap;    ///< .fini
extern const Util::CProcessImageTesterSectionMap roDataSectionMap;  ///< .rodata
extern const Util::CProcessImageTesterSectionMap roData1SectionMap; ///< .eh_frame_hdr to .gcc_except_table

constexpr std::uint32_t ProcessImageSectionMapCount = 5u;
/// The five maps in the tester's order: init, text, fini, rodata, rodata1.
extern const Util::CProcessImageTesterSectionMap* const ProcessImageSectionMaps[ProcessImageSectionMapCount];

#endif
