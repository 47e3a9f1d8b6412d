// The key-medium UDID file and its check copy: layout checks in their order, block CRCs, rebuilding the copy.
#include "Param/CTesseraDat.h"
#include "Param/CTesseraDatChk.h"
#include "Param/CTesseraDatChkInvertedUdidReader.h"
#include "Param/CTesseraDatChkInvertedUdidWriter.h"
#include "Param/CTesseraDatUdidReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CByteArrayWriterEventCode.h"
#include "Param/CParameterReaderEventCode.h"
#include "Param/CParameterWriterEventCode.h"
#include "Param/CTesseraDatEventCode.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Code = Param::CTesseraDatEventCode;
using Records = std::vector<std::pair<std::uint16_t, Support::Udid>>;

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
template <typename Reader> Records ReadAll(Reader& reader)
{
    Records records;
    std::uint16_t sadr = 0u;
    const std::uint8_t* udid = nullptr;
    reader.Open();
    while (reader.TryReadNext(sadr, udid))
    {
        Support::Udid value{};
        std::copy(udid, udid + 6, value.begin());
        records.emplace_back(sadr, value);
    }
    reader.Close();
    return records;
}

Support::CTesseraDatBuilder WithZeroUdidAndOtherRecords(bool inverted)
{
    Support::CTesseraDatBuilder builder;
    builder.m_inverted = inverted;
    builder.AddUdid(5u, {5, 5, 5, 5, 5, 5});
    builder.AddRecord(0x1000u, 1u, {1, 2, 3});
    builder.AddUdid(6u, {0, 0, 0, 0, 0, 0});
    builder.AddUdid(7u, {7, 7, 7, 7, 7, 7}, 0u);
    builder.AddUdid(8u, {8, 8, 8, 8, 8, 8}, 254u);
    return builder;
}

TEST(CTesseraDatUdidReader, SkipsZeroUdidsAndOtherRecords)
{
    CLoaded file(WithZeroUdidAndOtherRecords(false).Build());
    Param::CTesseraDat tesseraDat(BufferLength, file.m_buffer.data());
    tesseraDat.ReadContent(file.m_length);
    Param::CTesseraDatUdidReader reader(tesseraDat);
    const Records expected = {{5u, {5, 5, 5, 5, 5, 5}}, {8u, {8, 8, 8, 8, 8, 8}}};
    EXPECT_EQ(expected, ReadAll(reader));
    EXPECT_EQ(expected, ReadAll(reader)) << "a new Open() starts again";
}

TEST(CTesseraDatChkInvertedUdidReader, ReturnsEveryEntryAsStored)
{
    CLoaded file(WithZeroUdidAndOtherRecords(true).Build());
    Param::CTesseraDatChk copy(BufferLength, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    Param::CTesseraDatChkInvertedUdidReader reader(copy);
    const Support::Udid ones = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const Records expected = {{5u, Support::Complemented(Support::Udid{5, 5, 5, 5, 5, 5})},
                              {6u, ones},
                              {8u, Support::Complemented(Support::Udid{8, 8, 8, 8, 8, 8})}};
    EXPECT_EQ(expected, ReadAll(reader));
}

TEST(CTesseraDatChkInvertedUdidWriter, WrittenCopyIsByteExactAndReadsBack)
{
    Support::CTesseraDatBuilder expected;
    expected.m_inverted = true;
    expected.AddUdid(1023u, {1, 2, 3, 4, 5, 6});
    expected.AddUdid(1u, {6, 5, 4, 3, 2, 1});
    Bytes buffer(BufferLength, 0x77u);
    Param::CTesseraDatChk copy(BufferLength, buffer.data());
    copy.ReadContent(0u);
    Param::CTesseraDatChkInvertedUdidWriter writer(copy);
    writer.Open();
    writer.WriteNext(1023u, Support::Complemented(Support::Udid{1, 2, 3, 4, 5, 6}).data());
    writer.WriteNext(1u, Support::Complemented(Support::Udid{6, 5, 4, 3, 2, 1}).data());
    EXPECT_EQ(26u, writer.GetContentLength());
    writer.Close();
    copy.WriteContent();
    const Bytes bytes = expected.Build();
    ASSERT_EQ(64u + 26u + 4u, copy.GetContentLength());
    EXPECT_EQ(bytes, Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bytes.size())));
    EXPECT_EQ(0xCFFFu, Support::ReadUInt16(buffer, 64u));

    Param::CTesseraDatChk reread(BufferLength, buffer.data());
    reread.ReadContent(copy.GetContentLength());
    Param::CTesseraDatChkInvertedUdidReader reader(reread);
    EXPECT_EQ(2u, ReadAll(reader).size());
}

TEST(CTesseraDatChkInvertedUdidWriter, RefusesInvalidAddressesAndAFullSection)
{
    const std::uint32_t capacity = 64u + 13u + 4u + 3u;
    Bytes buffer(capacity);
    Param::CTesseraDatChk copy(capacity, buffer.data());
    const Support::Udid udid = {1, 1, 1, 1, 1, 1};
    Param::CTesseraDatChkInvertedUdidWriter writer(copy);
    writer.Open();
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0u, udid.data()); }),
                             Param::CParameterWriterEventCode::InvalidSafetyAddress, 0u, 0u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(1024u, udid.data()); }),
                             Param::CParameterWriterEventCode::InvalidSafetyAddress, 0u, 1024u);
    writer.WriteNext(2u, udid.data());
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(3u, udid.data()); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 13u, 15u);
    writer.Close();
    copy.WriteContent();
    EXPECT_EQ(64u + 13u + 4u, copy.GetContentLength());
}

struct CStreamRefusal
{
    const char* m_name;
    Support::CTesseraDatBuilder m_builder;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

void PrintTo(const CStreamRefusal& refusal, std::ostream* stream)
{
    *stream << refusal.m_name;
}

std::vector<CStreamRefusal> StreamRefusals()
{
    CStreamRefusal cutHead{"RecordHeadCut", TwoUdids(), Param::CByteArrayReaderEventCode::IncompleteDescription, 0u,
                           26u};
    cutHead.m_builder.m_sectionTail = {0x01, 0xCC, 0x01};
    CStreamRefusal cutData{"RecordDataCut", TwoUdids(), Param::CByteArrayReaderEventCode::IncompleteParameter, 33u, 6u};
    cutData.m_builder.m_sectionTail = {0x01, 0xCC, 0x01, 6, 0, 0, 0, 1, 2};
    CStreamRefusal longUdid{"UdidOfSevenBytes", TwoUdids(), Param::CParameterReaderEventCode::InvalidLength, 0u, 7u};
    longUdid.m_builder.AddRecord(0xCC02u, 1u, {1, 2, 3, 4, 5, 6, 7});
    return {cutHead, cutData, longUdid};
}

class CTesseraDatStreamRefusal : public testing::TestWithParam<CStreamRefusal>
{
};

TEST_P(CTesseraDatStreamRefusal, BothReadersReleaseTheFile)
{
    const CStreamRefusal& refusal = GetParam();
    CLoaded file(refusal.m_builder.Build());
    Param::CTesseraDatChk copy(BufferLength, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    Param::CTesseraDatUdidReader plain(copy);
    Support::ExpectException(Support::CaptureException([&] { (void)ReadAll(plain); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    plain.Close();
    Param::CTesseraDatChkInvertedUdidReader inverted(copy);
    Support::ExpectException(Support::CaptureException([&] { (void)ReadAll(inverted); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    inverted.Close();
    copy.ReadContent(0u);
    EXPECT_TRUE(ReadAll(inverted).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, CTesseraDatStreamRefusal, testing::ValuesIn(StreamRefusals()),
                         [](const testing::TestParamInfo<CStreamRefusal>& refusal) { return refusal.param.m_name; });
} // namespace
