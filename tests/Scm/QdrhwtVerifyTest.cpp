// The self-verification's image CRC over chunks, and its refusal of damaged identification records.
#include "Scm/QdrhwtVerify.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Scm/QdriffCrc.h"
#include "Scm/ScmCheckerEventCode.h"
#include "Scm/ScmEventLog.h"
#include "Util/ByteOrder.h"

namespace
{
std::vector<std::uint8_t> MakeImage(std::size_t length)
{
    std::vector<std::uint8_t> image(length);
    for (std::size_t i = 0; i < length; ++i)
    {
        image[i] = static_cast<std::uint8_t>((i * 131u) ^ (i >> 7));
    }
    return image;
}

TEST(QdrhwtVerify, ImageCrcLeavesOutTheRecordWhateverTheChunking)
{
    const std::vector<std::uint8_t> image = MakeImage(1000u);
    for (std::uint64_t recordOffset : {0u, 1u, 300u, 936u})
    {
        std::vector<std::uint8_t> without(image.begin(), image.begin() + static_cast<long>(recordOffset));
        without.insert(without.end(), image.begin() + static_cast<long>(recordOffset + QDRHWT_IDENT_RECORD_LENGTH),
                       image.end());
        const std::uint32_t expected =
            GetCrc32_0x11EDC6F41(static_cast<std::uint32_t>(without.size()), without.data(), 0u);
        for (std::uint32_t chunk : {1u, 7u, 64u, 100u, 1000u})
        {
            std::uint32_t crc = 0u;
            for (std::uint32_t offset = 0u; offset < image.size(); offset += chunk)
            {
                const std::uint32_t length =
                    std::min<std::uint32_t>(chunk, static_cast<std::uint32_t>(image.size()) - offset);
                crc = Qdrhwt_ContinueImageCrc(crc, offset, image.data() + offset, length, recordOffset);
            }
            EXPECT_EQ(expected, crc) << "record at " << recordOffset << ", chunks of " << chunk;
        }
    }
}

// The block's bounds come from the link; reversed ones must not turn into a huge length.
TEST(QdrhwtVerify, RefusesABlockThatEndsBeforeItStarts)
{
    std::array<std::uint8_t, 256> block{};
    QdrEventCode = 0u;
    EXPECT_EQ(0, Qdrhwt_VerifyExecutable(block.data() + 128, block.data()));
    EXPECT_EQ(static_cast<std::uint32_t>(ScmStartExecutableCorrupted), QdrEventCode);
    EXPECT_EQ(QdrhwtIdentTooShort, QdrEventInfo0);
}

struct CDamage
{
    const char* m_name;
    std::uint32_t m_blockLength;
    std::uint16_t m_lengthField;
    bool m_breakCheck755B;
    bool m_breakCheck;
    std::uint32_t m_recordOffset;
    QdrhwtFailure m_failure;
};

class QdrhwtDamagedRecord : public ::testing::TestWithParam<CDamage>
{
};

TEST_P(QdrhwtDamagedRecord, IsRefusedWithTheCorruptedExecutableEvent)
{
    const CDamage& damage = GetParam();
    std::array<std::uint8_t, 256> block{};
    Util::SetLittleEndianUInt16(block.data(), 0u, damage.m_lengthField);
    Util::SetLittleEndianUInt32(block.data(), QDRHWT_IDENT_RECORD_FILE_OFFSET_OFFSET, damage.m_recordOffset);
    Util::SetLittleEndianUInt16(
        block.data(), QDRHWT_IDENT_CHECK_755B_OFFSET,
        static_cast<std::uint16_t>(Qdrhwt_GetIdentCheck755B(block.data()) ^ (damage.m_breakCheck755B ? 1u : 0u)));
    Util::SetLittleEndianUInt16(
        block.data(), QDRHWT_IDENT_CHECK_OFFSET,
        static_cast<std::uint16_t>(Qdrhwt_GetIdentCheck(block.data()) ^ (damage.m_breakCheck ? 1u : 0u)));
    QdrEventCode = 0u;
    EXPECT_EQ(0, Qdrhwt_VerifyExecutable(block.data(), block.data() + damage.m_blockLength));
    EXPECT_EQ(static_cast<std::uint32_t>(ScmStartExecutableCorrupted), QdrEventCode);
    EXPECT_EQ(damage.m_failure, QdrEventInfo0);
    if (damage.m_failure == QdrhwtImageRecordDiffers)
    {
        EXPECT_EQ(damage.m_recordOffset, QdrEventInfo1);
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, QdrhwtDamagedRecord,
                         // A well-formed record that is not the one in this executable (the test's own): at an
                         // offset where the file holds other bytes, and at one beyond the file's end.
                         ::testing::Values(CDamage{"BlockTooShort", 63u, 64u, false, false, 0u, QdrhwtIdentTooShort},
                                           CDamage{"WrongLength", 256u, 63u, false, false, 0u, QdrhwtIdentLength},
                                           CDamage{"Check755B", 256u, 64u, true, false, 0u, QdrhwtIdentCheck755B},
                                           CDamage{"Check", 256u, 64u, false, true, 0u, QdrhwtIdentCheck},
                                           CDamage{"NotSigned", 256u, 64u, false, false, 0u, QdrhwtImageNotSigned},
                                           CDamage{"RecordOfAnotherFile", 256u, 64u, false, false, 16u,
                                                   QdrhwtImageRecordDiffers},
                                           CDamage{"RecordBeyondTheFile", 256u, 64u, false, false, 0xFFFFFF00u,
                                                   QdrhwtImageRecordDiffers}),
                         [](const ::testing::TestParamInfo<CDamage>& damage) { return damage.param.m_name; });
} // namespace
