// The key-medium identity file and its check copy: reading, refusals, empty files, rebuilding the copy.
#include "Param/CTesseraUid.h"
#include "Param/CTesseraUidChk.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>

#include "Param/CTesseraUidEventCode.h"
#include "support/Files/CTesseraUidBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;

const Support::Udid KelUdid = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65};
constexpr std::uint64_t Timestamp = 0x0102030405060708u;

// A file in a 256-byte buffer, as the persistence manager holds it.
struct CLoaded
{
    explicit CLoaded(const Bytes& bytes)
    {
        std::memcpy(m_buffer.data(), bytes.data(), bytes.size());
        m_length = static_cast<std::uint32_t>(bytes.size());
    }
    std::array<std::uint8_t, 256> m_buffer{};
    std::uint32_t m_length = 0u;
};

Support::CTesseraUidBuilder ValidFile(bool inverted)
{
    Support::CTesseraUidBuilder builder;
    builder.m_kelUdid = KelUdid;
    builder.m_timestamp = Timestamp;
    builder.m_inverted = inverted;
    return builder;
}

TEST(CTesseraUid, ReadsTheSignatureAndIgnoresTrailingBytes)
{
    Support::CTesseraUidBuilder builder = ValidFile(false);
    builder.m_trailer = {0xEE, 0xEE};
    CLoaded file(builder.Build());
    Param::CTesseraUid tesseraUid(256u, file.m_buffer.data());
    tesseraUid.ReadContent(file.m_length);
    EXPECT_EQ(20u, tesseraUid.GetContentLength());
    EXPECT_EQ(0, std::memcmp(KelUdid.data(), tesseraUid.GetKelUdid(), 6u));
    EXPECT_EQ(Timestamp, tesseraUid.GetTimestamp());
}

TEST(CTesseraUid, EmptyFilesGiveZeroValuesAndTheCopyTheirComplements)
{
    std::array<std::uint8_t, 18> buffer{};
    buffer.fill(0x5A);
    Param::CTesseraUid plain(18u, buffer.data());
    plain.ReadContent(0u);
    EXPECT_EQ(0, std::memcmp(Support::Udid{}.data(), plain.GetKelUdid(), 6u));
    EXPECT_EQ(0u, plain.GetTimestamp());

    Param::CTesseraUidChk copy(18u, buffer.data());
    copy.ReadContent(0u);
    const Support::Udid allOnes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(0, std::memcmp(allOnes.data(), copy.GetInvertedKelUdid(), 6u));
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFu, copy.GetInvertedTimestamp());
    EXPECT_EQ(0u, copy.GetContentLength());
}

struct CRefusal
{
    const char* m_name;
    Bytes m_bytes;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

void PrintTo(const CRefusal& refusal, std::ostream* stream)
{
    *stream << refusal.m_name;
}

Bytes WithVersion(std::uint32_t version)
{
    Support::CTesseraUidBuilder builder = ValidFile(false);
    builder.m_version = version;
    return builder.Build();
}

Bytes Truncated(std::size_t length)
{
    Bytes bytes = ValidFile(false).Build();
    bytes.resize(length);
    return bytes;
}

class CTesseraUidRefusal : public testing::TestWithParam<CRefusal>
{
};

TEST_P(CTesseraUidRefusal, RaisesItsCodeInBothClasses)
{
    const CRefusal& refusal = GetParam();
    CLoaded file(refusal.m_bytes);
    Param::CTesseraUid plain(256u, file.m_buffer.data());
    Support::ExpectException(Support::CaptureException([&] { plain.ReadContent(file.m_length); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)plain.GetTimestamp(); }), "CTesseraUid.cpp");

    Param::CTesseraUidChk copy(256u, file.m_buffer.data());
    Support::ExpectException(Support::CaptureException([&] { copy.ReadContent(file.m_length); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)copy.GetInvertedKelUdid(); }), "CTesseraUidChk.cpp");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CTesseraUidRefusal,
    testing::Values(CRefusal{"OneByte", Truncated(1u), Param::CTesseraUidEventCode::BufferTooShort, 0u, 1u},
                    CRefusal{"SeventeenBytes", Truncated(17u), Param::CTesseraUidEventCode::BufferTooShort, 0u, 17u},
                    CRefusal{"VersionBigEndian", WithVersion(0x00010000u), Param::CTesseraUidEventCode::InvalidVersion,
                             0u, 0x10000u},
                    CRefusal{"VersionZero", WithVersion(0u), Param::CTesseraUidEventCode::InvalidVersion, 0u, 0u}),
    [](const testing::TestParamInfo<CRefusal>& refusal) { return refusal.param.m_name; });

TEST(CTesseraUid, RefusesContentLongerThanItsBufferWithoutReadingIt)
{
    std::array<std::uint8_t, 18> buffer{};
    Param::CTesseraUid record(18u, buffer.data());
    Support::ExpectException(Support::CaptureException([&] { record.ReadContent(19u); }),
                             Param::CTesseraUidEventCode::BufferTooShort, 18u, 19u);
}

TEST(CTesseraUidChk, RefusesABufferShorterThanARecord)
{
    std::array<std::uint8_t, 17> buffer{};
    Support::ExpectException(Support::CaptureException([&] { Param::CTesseraUidChk copy(17u, buffer.data()); }),
                             Param::CTesseraUidEventCode::BufferTooShort, 0u, 17u);
}

TEST(CTesseraUidChk, ReadsTheStoredComplementsAsItsInvertedValues)
{
    CLoaded file(ValidFile(true).Build());
    Param::CTesseraUidChk copy(256u, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    EXPECT_EQ(0, std::memcmp(Support::Complemented(KelUdid).data(), copy.GetInvertedKelUdid(), 6u));
    EXPECT_EQ(~Timestamp, copy.GetInvertedTimestamp());
}

TEST(CTesseraUidChk, WritesTheSetValuesAsTheBuilderWouldAndOnlyOnceWithoutAChange)
{
    std::array<std::uint8_t, 256> buffer{};
    Param::CTesseraUidChk copy(256u, buffer.data());
    copy.ReadContent(0u);
    copy.SetInvertedKelUdid(Support::Complemented(KelUdid).data());
    copy.SetInvertedTimestamp(~Timestamp);
    copy.WriteContent();
    ASSERT_EQ(18u, copy.GetContentLength());
    const Bytes expected = ValidFile(true).Build();
    EXPECT_EQ(expected, Bytes(buffer.begin(), buffer.begin() + 18));

    buffer[5] = 0x00;
    copy.WriteContent();
    EXPECT_EQ(0x00u, buffer[5]) << "a second write without a change rewrites nothing";
    copy.SetInvertedTimestamp(~Timestamp);
    copy.WriteContent();
    EXPECT_EQ(expected[5], buffer[5]) << "any setter makes the next write rebuild the file";

    Param::CTesseraUidChk reread(256u, buffer.data());
    reread.ReadContent(copy.GetContentLength());
    EXPECT_EQ(~Timestamp, reread.GetInvertedTimestamp());
}

TEST(CTesseraUidChk, MisuseRaisesTheGuard)
{
    std::array<std::uint8_t, 18> buffer{};
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CTesseraUid record(18u, nullptr); }), "CTesseraUid.cpp");
    Param::CTesseraUidChk copy(18u, buffer.data());
    const char* const file = "CTesseraUidChk.cpp";
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.WriteContent(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.SetInvertedTimestamp(0u); }), file);
    copy.ReadContent(0u);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.SetInvertedKelUdid(nullptr); }), file);
}
} // namespace
