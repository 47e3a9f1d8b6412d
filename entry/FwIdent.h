// The firmware identification block of the checker, placed by the link between LdFwIdentStart and LdFwIdentEnd.
#ifndef ENTRY_FWIDENT_H
#define ENTRY_FWIDENT_H

#include <cstdint>

/// Length of the identification block; the record (64 bytes) is at its start, the rest is reserved.
constexpr std::uint32_t FwIdentBlockLength = 256u;

// The linker bounds the section that holds the block; the code reads the block only through these symbols, so
// that it sees the bytes that the signing step wrote into the file rather than constants folded at compile time.
extern "C" const std::uint8_t LdFwIdentStart[] __asm__("__start_scm_fwident");
extern "C" const std::uint8_t LdFwIdentEnd[] __asm__("__stop_scm_fwident");

#endif
