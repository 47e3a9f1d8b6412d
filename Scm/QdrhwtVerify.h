/* Integrity self-verification of the checker's executable against its signed identification record. */
#ifndef SCM_QDRHWTVERIFY_H
#define SCM_QDRHWTVERIFY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

/*
 * The firmware identification record (64 bytes at the start of the identification block, little-endian):
 * length 0, type 2, start 4, size 8, exec start 12, vendor 16, module 18, hardware variant 20, minor version 22,
 * major version 24, processor count 26, reserved words 28..59, CRC-16/0x755B of bytes 0..59 at 60, CRC-16/0x5935
 * of bytes 0..61 at 62. The signing step after linking stores in the first two reserved words the CRC-32 of the
 * executable file with the record's 64 bytes left out (offset 28) and the record's offset in the file (offset 32),
 * then the two record checks.
 */
#define QDRHWT_IDENT_RECORD_LENGTH 64u
#define QDRHWT_IDENT_TYPE 1u
#define QDRHWT_IDENT_IMAGE_CRC_OFFSET 28u
#define QDRHWT_IDENT_RECORD_FILE_OFFSET_OFFSET 32u
#define QDRHWT_IDENT_CHECK_755B_OFFSET 60u
#define QDRHWT_IDENT_CHECK_OFFSET 62u

    /** information0 of a failed verification: which check failed. */
    typedef enum QdrhwtFailure
    {
        QdrhwtIdentTooShort = 1,      /* information1: the block's length */
        QdrhwtIdentLength = 2,        /* information1: the record's length field */
        QdrhwtIdentCheck755B = 3,     /* information1: the computed check */
        QdrhwtIdentCheck = 4,         /* information1: the computed check */
        QdrhwtImageNotSigned = 5,     /* information1: 0 */
        QdrhwtImageUnreadable = 6,    /* information1: errno */
        QdrhwtImageRecordDiffers = 7, /* information1: the record's offset in the file */
        QdrhwtImageCrc = 8            /* information1: the computed CRC-32 */
    } QdrhwtFailure;

    uint16_t Qdrhwt_GetIdentCheck755B(const uint8_t* record);
    uint16_t Qdrhwt_GetIdentCheck(const uint8_t* record);

    /**
     * Continues the image CRC-32 over one chunk of the file that starts at chunkOffset, leaving out the bytes of the
     * 64-byte record at recordOffset. Chunks must follow each other in file order.
     */
    uint32_t Qdrhwt_ContinueImageCrc(uint32_t crc, uint64_t chunkOffset, const uint8_t* chunk, uint32_t chunkLength,
                                     uint64_t recordOffset);

    /**
     * Verifies the identification block [identStart, identEnd) and the executable file against it. Returns 1 when
     * both are intact; otherwise registers QDR_EVENT_EXECUTABLE_CORRUPTED with a QdrhwtFailure and its information
     * through Qdrevt_EnregisterEventInfo and returns 0. Reads the executable in fixed chunks (no allocation).
     */
    int Qdrhwt_VerifyExecutable(const uint8_t* identStart, const uint8_t* identEnd);

#ifdef __cplusplus
}
#endif

#endif
