// The firmware identification record, filled from the project's version; the signing step adds its checks.
#include "entry/FwIdent.h"

#include <cstddef>

#include "Scm/ScmFirmwareIdentification.h"
#include "ScmCheckerVersion.h"

namespace
{
// Layout of FwIdent_t (little-endian, packed; this target is little-endian).
struct __attribute__((packed)) FwIdent_t
{
    std::uint16_t usLenIdent;
    std::uint16_t usIdentType;
    std::uint32_t ulStartofQdr;
    std::uint32_t ulSizeofQdr;
    std::uint32_t ulStartExecQdr;
    std::uint16_t usVendorId;
    std::uint16_t usModulId;
    std::uint16_t usHwVariant;
    std::uint16_t usFwVersionMinor;
    std::uint16_t usFwVersionMajor;
    std::uint16_t usProcsNumber;
    std::uint32_t ulres[8]; // [0] image CRC-32 and [1] record offset in the file, written by the signing step
    std::uint16_t usIdentCheck_755B;
    std::uint16_t usIdentCheck;
};

struct __attribute__((packed)) FwIdentBlock_t
{
    FwIdent_t record;
    std::uint8_t reserved[FwIdentBlockLength - sizeof(FwIdent_t)];
};

static_assert(sizeof(FwIdent_t) == 64u, "the identification record has 64 bytes");
static_assert(offsetof(FwIdent_t, usFwVersionMinor) == SCM_FW_IDENT_VERSION_MINOR_OFFSET, "revision number at 22");
static_assert(sizeof(FwIdentBlock_t) == FwIdentBlockLength, "the identification block has 256 bytes");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the record's fields are stored little-endian");
} // namespace

// Kept by the linker although nothing names it: start-up reads it through LdFwIdentStart.
__attribute__((section("scm_fwident"), used, aligned(4)))
const FwIdentBlock_t fwIdentBlock = {{64u,
                                      1u,
                                      0u,
                                      FwIdentBlockLength,
                                      0u,
                                      0u,
                                      0u,
                                      0u,
                                      static_cast<std::uint16_t>(SCM_CHECKER_VERSION_MINOR),
                                      static_cast<std::uint16_t>(SCM_CHECKER_VERSION_MAJOR),
                                      1u,
                                      {0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u},
                                      0u,
                                      0u},
                                     {}};
