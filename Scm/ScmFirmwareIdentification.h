/* The firmware identification record of the running checker. */
#ifndef SCM_SCMFIRMWAREIDENTIFICATION_H
#define SCM_SCMFIRMWAREIDENTIFICATION_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

/** Offset of usFwVersionMinor (uint16, little-endian) and of the 32-bit revision number in the record. */
#define SCM_FW_IDENT_VERSION_MINOR_OFFSET 22u
#define SCM_FW_IDENT_REVISION_NUMBER_OFFSET 22u
/** Offset of usFwVersionMajor (uint16, little-endian). */
#define SCM_FW_IDENT_VERSION_MAJOR_OFFSET 24u

    /**
     * The checker's firmware identification record (at least 64 bytes, little-endian fields). Defined by the process
     * entry over its identification block; test and tool programs link a definition of their own.
     */
    const uint8_t* GetFirmwareIdentification(void);

#ifdef __cplusplus
}
#endif

#endif
