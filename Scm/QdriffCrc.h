/* Table-driven CRCs: the three openSAFETY frame CRCs and the 32-bit CRC of files and code memory. */
#ifndef SCM_QDRIFFCRC_H
#define SCM_QDRIFFCRC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

    /* Tables of the non-reflected polynomials 0x2F, 0x5935, 0x755B and 0x1EDC6F41 (most significant bit first). */
    extern const uint8_t Qdriff_gaucCrc8Tab[256];
    extern const uint16_t Qdriff_gausCrc16Tab[256];
    extern const uint16_t Qdriff_gausCrc16_755B_Tab[256];
    extern const uint32_t Qdriff_gaulCrc32Tab[256];

    /*
     * Low-level routines: continue a CRC from the given start value over lLen bytes at pBuf. A null buffer gives
     * 0; a length of 0 or less gives the start value unchanged. No final XOR.
     */
    uint8_t Qdriff_Crc8CalcSwp(uint8_t ucInitCrc, int32_t lLen, const uint8_t* pBuf);
    uint16_t Qdriff_Crc16CalcSwp(uint16_t usInitCrc, int32_t lLen, const uint8_t* pBuf);
    uint16_t Qdriff_Crc16_755B_CalcSwp(uint16_t usInitCrc, int32_t lLen, const uint8_t* pBuf);
    uint32_t Qdriff_Crc32CalcSwp(uint32_t ulInitCrc, int32_t lLen, const uint8_t* pBuf);

    /* The names the checker calls. The frame CRCs start at 0 (CRC-8/OPENSAFETY, CRC-16/OPENSAFETY-A and -B). */
    uint8_t GetCrc8_0x12F(uint32_t dataLength, const uint8_t* data);
    uint16_t GetCrc16_0x15935(uint32_t dataLength, const uint8_t* data);
    uint16_t GetCrc16_0x1755B(uint32_t dataLength, const uint8_t* data);
    /** The 32-bit CRC continued from initialCrc, so that one CRC can run over several ranges. */
    uint32_t GetCrc32_0x11EDC6F41(uint32_t dataLength, const uint8_t* data, uint32_t initialCrc);

#ifdef __cplusplus
}
#endif

#endif
