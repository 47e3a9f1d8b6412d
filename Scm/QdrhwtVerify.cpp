// Self-verification of the executable: the identification record's own checks, then the file's CRC-32.
#include "Scm/QdrhwtVerify.h"

#include <cerrno>

#include "Scm/QdriffCrc.h"
#include "Scm/ScmEventLog.h"
#include "Util/ByteOrder.h"
#include "imageLib.h"

namespace
{
constexpr uint32_t ChunkLength = 4096u;

// Static rather than on the stack: the verification runs once, in the initial task.
uint8_t chunk[ChunkLength];

int Fail(QdrhwtFailure failure, uint32_t information1)
{
    Qdrevt_EnregisterEventInfo(QDR_EVENT_EXECUTABLE_CORRUPTED, static_cast<uint16_t>(failure), information1);
    return 0;
}

bool RecordMatchesFile(const uint8_t* record, uint64_t recordOffset, uint32_t chunkOffset, uint32_t length,
                       uint64_t fileOffset)
{
    for (uint32_t i = 0u; i < length; ++i)
    {
        const uint64_t position = fileOffset + chunkOffset + i;
        if ((position >= recordOffset) && (position < recordOffset + QDRHWT_IDENT_RECORD_LENGTH) &&
            (chunk[chunkOffset + i] != record[position - recordOffset]))
        {
            return false;
        }
    }
    return true;
}
} // namespace

extern "C" uint16_t Qdrhwt_GetIdentCheck755B(const uint8_t* record)
{
    return GetCrc16_0x1755B(QDRHWT_IDENT_CHECK_755B_OFFSET, record);
}

extern "C" uint16_t Qdrhwt_GetIdentCheck(const uint8_t* record)
{
    return GetCrc16_0x15935(QDRHWT_IDENT_CHECK_OFFSET, record);
}

extern "C" uint32_t Qdrhwt_ContinueImageCrc(uint32_t crc, uint64_t chunkOffset, const uint8_t* data,
                                            uint32_t chunkLength, uint64_t recordOffset)
{
    const uint64_t chunkEnd = chunkOffset + chunkLength;
    const uint64_t recordEnd = recordOffset + QDRHWT_IDENT_RECORD_LENGTH;
    if ((chunkEnd <= recordOffset) || (chunkOffset >= recordEnd))
    {
        return GetCrc32_0x11EDC6F41(chunkLength, data, crc);
    }
    if (chunkOffset < recordOffset)
    {
        crc = GetCrc32_0x11EDC6F41(static_cast<uint32_t>(recordOffset - chunkOffset), data, crc);
    }
    if (chunkEnd > recordEnd)
    {
        const auto skipped = static_cast<uint32_t>(recordEnd - chunkOffset);
        crc = GetCrc32_0x11EDC6F41(chunkLength - skipped, data + skipped, crc);
    }
    return crc;
}

extern "C" int Qdrhwt_VerifyExecutable(const uint8_t* identStart, const uint8_t* identEnd)
{
    const auto blockLength = static_cast<uint32_t>(identEnd - identStart);
    if ((identEnd < identStart) || (blockLength < QDRHWT_IDENT_RECORD_LENGTH))
    {
        return Fail(QdrhwtIdentTooShort, blockLength);
    }
    const uint8_t* record = identStart;
    const uint16_t recordLength = Util::GetLittleEndianUInt16(record, 0u);
    if (recordLength != QDRHWT_IDENT_RECORD_LENGTH)
    {
        return Fail(QdrhwtIdentLength, recordLength);
    }
    const uint16_t check755B = Qdrhwt_GetIdentCheck755B(record);
    if (check755B != Util::GetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_755B_OFFSET))
    {
        return Fail(QdrhwtIdentCheck755B, check755B);
    }
    const uint16_t check = Qdrhwt_GetIdentCheck(record);
    if (check != Util::GetLittleEndianUInt16(record, QDRHWT_IDENT_CHECK_OFFSET))
    {
        return Fail(QdrhwtIdentCheck, check);
    }
    const uint32_t expectedCrc = Util::GetLittleEndianUInt32(record, QDRHWT_IDENT_IMAGE_CRC_OFFSET);
    const uint32_t recordOffset = Util::GetLittleEndianUInt32(record, QDRHWT_IDENT_RECORD_FILE_OFFSET_OFFSET);
    if (recordOffset == 0u)
    {
        return Fail(QdrhwtImageNotSigned, 0u);
    }

    uint32_t crc = 0u;
    uint64_t fileOffset = 0u;
    bool recordSeen = false;
    for (;;)
    {
        const ssize_t count = imageReadExecutable(fileOffset, chunk, ChunkLength);
        if (count < 0)
        {
            return Fail(QdrhwtImageUnreadable, static_cast<uint32_t>(errno));
        }
        if (count == 0)
        {
            break;
        }
        const auto length = static_cast<uint32_t>(count);
        // The record in memory must be the record of this very file, not one copied from another build.
        if (!RecordMatchesFile(record, recordOffset, 0u, length, fileOffset))
        {
            return Fail(QdrhwtImageRecordDiffers, recordOffset);
        }
        recordSeen = recordSeen || ((fileOffset + length) >= (uint64_t{recordOffset} + QDRHWT_IDENT_RECORD_LENGTH));
        crc = Qdrhwt_ContinueImageCrc(crc, fileOffset, chunk, length, recordOffset);
        fileOffset += length;
    }
    if (!recordSeen)
    {
        return Fail(QdrhwtImageRecordDiffers, recordOffset);
    }
    if (crc != expectedCrc)
    {
        return Fail(QdrhwtImageCrc, crc);
    }
    return 1;
}
