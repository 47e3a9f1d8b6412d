// The key-medium UDID file and its check copy: layout checks in their order, block CRCs, rebuilding the copy.
#include "Param/CTesseraDat.h"
#include "Param/CTesseraDatChk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

#include "Param/CTesseraDatEventCode.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Code = Param::CTesseraDatEventCode;

constexpr std::uint32_t BufferLength = 65536u;

// A file in a 65536-byte buffer, as the persistence manager holds it.
struct CLoaded
{
    explicit CLoaded(const Bytes& bytes)
        : m_buffer(BufferLength, 0u), m_length(static_cast<std::uint32_t>(bytes.size()))
    {
        std::copy(bytes.begin(), bytes.end(), m_buffer.begin());
    }
    Bytes m_buffer;
    std::uint32_t m_length;
};

Bytes SectionOf(Param::CTesseraDat& file)
{
    std::uint32_t length = 0u;
    const std::uint8_t* section = nullptr;
    file.StartReadingUdidSection(length, section);
    Bytes bytes(section, section + length);
    file.StopReadingUdidSection();
    return bytes;
}

Support::CTesseraDatBuilder TwoUdids()
{
    Support::CTesseraDatBuilder builder;
    builder.AddUdid(1u, {1, 2, 3, 4, 5, 6});
    builder.AddUdid(1023u, {6, 5, 4, 3, 2, 1});
    return builder;
}

// One record whose data fills a section of exactly sectionLength bytes.
Support::CTesseraDatBuilder SectionOfLength(std::uint32_t sectionLength)
{
    Support::CTesseraDatBuilder builder;
    Bytes data(sectionLength - 7u);
    for (std::size_t i = 0u; i < data.size(); ++i)
    {
        data[i] = static_cast<std::uint8_t>(i * 7u);
    }
    builder.AddRecord(0x1000u, 1u, data);
    return builder;
}

TEST(CTesseraDat, HandsOutTheSectionOfAValidFileInPlace)
{
    Support::CTesseraDatBuilder builder = TwoUdids();
    builder.m_sectionGap = 10u;
    builder.m_crcGap = 3u;
    CLoaded file(builder.Build());
    Param::CTesseraDat tesseraDat(BufferLength, file.m_buffer.data());
    tesseraDat.ReadContent(file.m_length);
    std::uint32_t length = 0u;
    const std::uint8_t* section = nullptr;
    tesseraDat.StartReadingUdidSection(length, section);
    EXPECT_EQ(file.m_buffer.data() + 74, section) << "the section is not copied";
    EXPECT_EQ(builder.BuildSection(), Bytes(section, section + length));
    tesseraDat.StopReadingUdidSection();
}

TEST(CTesseraDat, EmptyAndHeaderOnlyFilesHaveAnEmptySection)
{
    CLoaded headerOnly(Support::CTesseraDatBuilder().Build());
    ASSERT_EQ(64u, headerOnly.m_length);
    for (const std::uint32_t length : {0u, 64u})
    {
        Param::CTesseraDat tesseraDat(BufferLength, headerOnly.m_buffer.data());
        tesseraDat.ReadContent(length);
        EXPECT_TRUE(SectionOf(tesseraDat).empty()) << length;
    }
}

TEST(CTesseraDat, NeedsOneCrcPerStartedBlock)
{
    for (const std::uint32_t sectionLength : {16384u, 16385u, 32768u, 32769u})
    {
        const Bytes bytes = SectionOfLength(sectionLength).Build();
        const std::uint32_t crcCount = Support::ReadUInt32(bytes, 20u);
        EXPECT_EQ((sectionLength + 16383u) / 16384u, crcCount);
        EXPECT_EQ(64u + sectionLength + 4u * crcCount, bytes.size());
        CLoaded file(bytes);
        Param::CTesseraDat tesseraDat(BufferLength, file.m_buffer.data());
        tesseraDat.ReadContent(file.m_length);
        EXPECT_EQ(sectionLength, SectionOf(tesseraDat).size());
    }
}

struct CRefusal
{
    const char* m_name;
    Bytes m_bytes;
    std::uint16_t m_code;
    std::uint32_t m_information1;
};

void PrintTo(const CRefusal& refusal, std::ostream* stream)
{
    *stream << refusal.m_name;
}

template <typename Change> Bytes Damaged(Change change, Support::CTesseraDatBuilder builder = TwoUdids())
{
    change(builder);
    return builder.Build();
}

Bytes Truncated(std::size_t length)
{
    Bytes bytes = TwoUdids().Build();
    bytes.resize(length);
    return bytes;
}

std::uint16_t HeaderCrcOf(const Bytes& bytes)
{
    return Support::Crc16(bytes, 0u, 62u);
}

std::vector<CRefusal> Refusals()
{
    using B = Support::CTesseraDatBuilder;
    const Bytes valid = TwoUdids().Build();
    const auto sectionLength = static_cast<std::uint32_t>(TwoUdids().BuildSection().size());
    const auto size = static_cast<std::uint32_t>(valid.size());
    const Bytes spoiledHeader = Damaged([](B& b) { b.m_spoilHeaderCrc = true; });
    const Bytes twoBlocks = Damaged([](B& b) { b.m_spoilBlockCrc = 1u; }, SectionOfLength(16385u));
    const Bytes oneBlock = Damaged([](B& b) { b.m_spoilBlockCrc = 0u; });
    return {
        {"OneByte", Truncated(1u), Code::InvalidContentLength, 1u},
        {"SixtyThreeBytes", Truncated(63u), Code::InvalidContentLength, 63u},
        {"HeaderLength", Damaged([](B& b) { b.m_headerLength = 65u; }), Code::InvalidHeaderLength, 65u},
        {"Version", Damaged([](B& b) { b.m_version = 3u; }), Code::InvalidVersion, 3u},
        {"VersionBeforeHeaderCrc",
         Damaged(
             [](B& b)
             {
                 b.m_version = 1u;
                 b.m_spoilHeaderCrc = true;
             }),
         Code::InvalidVersion, 1u},
        {"TotalLength", Damaged([&](B& b) { b.m_totalLength = size + 1u; }), Code::InvalidTotalLength, size + 1u},
        {"CutAtTheEnd", Truncated(size - 1u), Code::InvalidTotalLength, size},
        {"HeaderCrc", spoiledHeader, Code::InvalidHeaderCrc, HeaderCrcOf(spoiledHeader)},
        {"SectionInHeader", Damaged([](B& b) { b.m_sectionOffset = 63u; }), Code::InvalidUdidSectionOffset, 63u},
        {"SectionPastContent", Damaged([&](B& b) { b.m_sectionLength = sectionLength + 5u; }),
         Code::InvalidUdidSectionLength, sectionLength + 5u},
        {"SectionOffsetWrapsAround",
         Damaged(
             [](B& b)
             {
                 b.m_sectionOffset = 0xFFFFFFF0u;
                 b.m_sectionLength = 0x20u;
             }),
         Code::InvalidUdidSectionLength, 0x20u},
        {"CrcsOverlapSection", Damaged([&](B& b) { b.m_crcOffset = 64u + sectionLength - 1u; }),
         Code::InvalidUdidCrcOffset, 64u + sectionLength - 1u},
        {"CrcCount", Damaged([](B& b) { b.m_crcCount = 2u; }), Code::InvalidUdidCrcCount, 2u},
        {"CrcsPastContent", Damaged([&](B& b) { b.m_crcOffset = size - 3u; }), Code::InvalidUdidCrcLength, 1u},
        {"CrcOffsetWrapsAround", Damaged([](B& b) { b.m_crcOffset = 0xFFFFFFFEu; }), Code::InvalidUdidCrcLength, 1u},
        {"BlockCrc", oneBlock, Code::InvalidUdidCrc, Support::Crc32(oneBlock, 64u, sectionLength)},
        {"SecondBlockCrc", twoBlocks, Code::InvalidUdidCrc, Support::Crc32(twoBlocks, 64u + 16384u, 1u)},
    };
}

class CTesseraDatRefusal : public testing::TestWithParam<CRefusal>
{
};

TEST_P(CTesseraDatRefusal, RaisesItsCodeAndLeavesTheFileUnread)
{
    const CRefusal& refusal = GetParam();
    CLoaded file(refusal.m_bytes);
    Param::CTesseraDatChk tesseraDat(BufferLength, file.m_buffer.data());
    Support::ExpectException(Support::CaptureException([&] { tesseraDat.ReadContent(file.m_length); }), refusal.m_code,
                             0u, refusal.m_information1);
    std::uint32_t length = 0u;
    const std::uint8_t* section = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { tesseraDat.StartReadingUdidSection(length, section); }),
                         "CTesseraDat.cpp");
}

INSTANTIATE_TEST_SUITE_P(Table, CTesseraDatRefusal, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<CRefusal>& refusal) { return refusal.param.m_name; });

TEST(CTesseraDat, RefusesContentLongerThanItsBuffer)
{
    Bytes buffer(100u);
    Param::CTesseraDat tesseraDat(100u, buffer.data());
    Support::ExpectException(Support::CaptureException([&] { tesseraDat.ReadContent(101u); }), Code::BufferTooShort,
                             100u, 101u);
}

TEST(CTesseraDatChk, WritesTheSameBytesAsTheBuilderForTheSameSection)
{
    Support::CTesseraDatBuilder builder;
    builder.m_inverted = true;
    for (std::uint16_t sadr = 1u; sadr <= 1023u; sadr = static_cast<std::uint16_t>(sadr * 2u + 1u))
    {
        builder.AddUdid(sadr, {static_cast<std::uint8_t>(sadr), 0, 0, 0, 0, 1});
    }
    const Bytes section = builder.BuildSection();
    Bytes buffer(BufferLength, 0xA5u);
    Param::CTesseraDatChk copy(BufferLength, buffer.data());
    copy.ReadContent(0u);
    std::uint32_t lengthMax = 0u;
    std::uint8_t* target = nullptr;
    copy.StartWritingUdidSection(lengthMax, target);
    EXPECT_EQ(65452u, lengthMax);
    EXPECT_EQ(buffer.data() + 64, target);
    std::copy(section.begin(), section.end(), target);
    copy.StopWritingUdidSection(static_cast<std::uint32_t>(section.size()));
    copy.WriteContent();
    const Bytes expected = builder.Build();
    ASSERT_EQ(expected.size(), copy.GetContentLength());
    EXPECT_EQ(expected, Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(expected.size())));

    buffer[70] ^= 0xFFu;
    copy.WriteContent();
    EXPECT_NE(expected[70], buffer[70]) << "a second write without a new section rewrites nothing";
}

TEST(CTesseraDatChk, WritingNoUdidsGivesAHeaderOnlyFileThatReadsBack)
{
    Bytes buffer(BufferLength, 0xFFu);
    Param::CTesseraDatChk copy(BufferLength, buffer.data());
    copy.ReadContent(0u);
    std::uint32_t lengthMax = 0u;
    std::uint8_t* target = nullptr;
    copy.StartWritingUdidSection(lengthMax, target);
    copy.StopWritingUdidSection(0u);
    copy.WriteContent();
    ASSERT_EQ(64u, copy.GetContentLength());
    EXPECT_EQ(Support::CTesseraDatBuilder().Build(), Bytes(buffer.begin(), buffer.begin() + 64));
    Param::CTesseraDat reread(BufferLength, buffer.data());
    reread.ReadContent(64u);
}

TEST(CTesseraDatChk, TheLongestSectionStillFitsWithItsCrcs)
{
    for (const std::uint32_t capacity : {65536u, 64u + 16384u + 4u, 64u + 16384u + 3u, 262144u + 64u, 70u, 66u, 64u})
    {
        Bytes buffer(capacity);
        Param::CTesseraDatChk copy(capacity, buffer.data());
        std::uint32_t lengthMax = 0u;
        std::uint8_t* target = nullptr;
        copy.StartWritingUdidSection(lengthMax, target);
        const std::uint32_t crcs = 4u * ((lengthMax + 16383u) / 16384u);
        EXPECT_LE(64u + lengthMax + crcs, capacity) << capacity;
        std::fill(target, target + lengthMax, std::uint8_t{0x11u});
        copy.StopWritingUdidSection(lengthMax);
        copy.WriteContent();
        Param::CTesseraDat reread(capacity, buffer.data());
        reread.ReadContent(copy.GetContentLength());
        EXPECT_EQ(lengthMax, SectionOf(reread).size());
    }
}

TEST(CTesseraDatChk, RewritingAReadFileMovesItsSectionBehindTheHeader)
{
    Support::CTesseraDatBuilder builder = TwoUdids();
    builder.m_inverted = true;
    builder.m_sectionGap = 20u;
    CLoaded file(builder.Build());
    Param::CTesseraDatChk copy(BufferLength, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    copy.WriteContent();
    builder.m_sectionGap = 0u;
    const Bytes expected = builder.Build();
    ASSERT_EQ(expected.size(), copy.GetContentLength());
    EXPECT_EQ(expected,
              Bytes(file.m_buffer.begin(), file.m_buffer.begin() + static_cast<std::ptrdiff_t>(expected.size())));
}

TEST(CTesseraDatChk, RefusesABufferShorterThanTheHeader)
{
    Bytes buffer(63u);
    Support::ExpectException(Support::CaptureException([&] { Param::CTesseraDatChk copy(63u, buffer.data()); }),
                             Code::BufferTooShort, 63u, 64u);
}

TEST(CTesseraDatChk, MisuseRaisesTheGuard)
{
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CTesseraDat file(64u, nullptr); }), "CTesseraDat.cpp");
    CLoaded file(TwoUdids().Build());
    Param::CTesseraDatChk copy(BufferLength, file.m_buffer.data());
    std::uint32_t length = 0u;
    const std::uint8_t* section = nullptr;
    std::uint8_t* target = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StartReadingUdidSection(length, section); }),
                         "CTesseraDat.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.WriteContent(); }), "CTesseraDatChk.cpp");
    copy.ReadContent(file.m_length);
    copy.StartReadingUdidSection(length, section);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.ReadContent(file.m_length); }), "CTesseraDat.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StartReadingUdidSection(length, section); }),
                         "CTesseraDat.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StartWritingUdidSection(length, target); }),
                         "CTesseraDatChk.cpp");
    copy.StopReadingUdidSection();
    copy.StartWritingUdidSection(length, target);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.WriteContent(); }), "CTesseraDatChk.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StopWritingUdidSection(length + 1u); }),
                         "CTesseraDatChk.cpp");
}
} // namespace
