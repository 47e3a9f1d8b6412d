/* Table-driven CRCs: the three openSAFETY frame CRCs and the 32-bit CRC of files and code memory. */
#ifndef SCM_QDRIFFCRC_H
#define SCM_QDRIFFCRC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

    /* Number of slices: the routines consume this many bytes per step. */
#define QDRIFF_CRC_SLICE_COUNT 8

    /*
     * The tables of the non-reflected polynomials 0x2F, 0x5935, 0x755B and 0x1EDC6F41 (most significant bit first),
     * computed when the checker is compiled. Entry m_slice[k][i] is the register, starting from 0, after byte i
     * followed by k zero bytes; slice 0 is the classic per-byte table.
     */
    typedef struct
    {
        uint8_t m_slice[QDRIFF_CRC_SLICE_COUNT][256];
    } Qdriff_Crc8Table;
    typedef struct
    {
        uint16_t m_slice[QDRIFF_CRC_SLICE_COUNT][256];
    } Qdriff_Crc16Table;
    typedef struct
    {
        uint32_t m_slice[QDRIFF_CRC_SLICE_COUNT][256];
    } Qdriff_Crc32Table;

    extern const Qdriff_Crc8Table Qdriff_gaucCrc8Tab;
    extern const Qdriff_Crc16Table Qdriff_gausCrc16Tab;
    extern const Qdriff_Crc16Table Qdriff_gausCrc16_755B_Tab;
    extern const Qdriff_Crc32Table Qdriff_gaulCrc32Tab;

    /*
     * Low-level routines: continue a CRC from the given start value over lLen bytes at pBuf, eight bytes per step.
     * A null buffer gives 0; a length of 0 or less gives the start value unchanged. No final XOR. The result equals
     * the per-byte update crc = T[b XOR crc] (8 bits), crc = (crc << 8) XOR T[(crc >> (w - 8)) XOR b] (16 and 32
     * bits) over every byte; any split of a range into two calls gives the same result as one call.
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
