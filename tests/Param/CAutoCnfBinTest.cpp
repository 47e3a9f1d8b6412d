// The auto-configuration file: header and section checks in their order, the file CRC, the UDID section validated
// on first read, its reader, the machine options.
#include "Param/CAutoCnfBin.h"
#include "Param/CAutoCnfBinUdidSection.h"
#include "Param/CAutoCnfBinUdidSectionUdidReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "Param/CAutoCnfBinEventCode.h"
#include "Param/CByteArrayReaderEventCode.h"
#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Code = Param::CAutoCnfBinEventCode;
using Records = std::vector<std::pair<std::uint16_t, Support::Udid>>;

constexpr std::uint32_t BufferLength = 65536u;

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

Bytes Pattern(std::size_t length, std::uint8_t seed)
{
    Bytes bytes(length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        bytes[i] = static_cast<std::uint8_t>(seed + i);
    }
    return bytes;
}

Support::CAutoCnfBinBuilder Configured()
{
    Support::CAutoCnfBinBuilder builder;
    builder.m_timestamp = 0x5F5E1000u;
    builder.AddUdid(2u, {1, 1, 1, 1, 1, 2});
    builder.AddUdid(5u, {0, 0, 0, 0, 0, 0});
    builder.AddUdid(1023u, {9, 8, 7, 6, 5, 4});
    builder.m_machineOptions = Pattern(76u, 0x40u);
    builder.m_moduleFlags = Pattern(396u, 0x90u);
    return builder;
}

Records ReadAll(Param::CUdidReader& reader)
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

TEST(CAutoCnfBin, ExposesTimestampMachineOptionsAndNonZeroUdids)
{
    const Support::CAutoCnfBinBuilder builder = Configured();
    CLoaded file(builder.Build());
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    EXPECT_EQ(0x5F5E1000u, autoCnfBin.GetTimestamp());
    ASSERT_TRUE(autoCnfBin.HasMachineOptionSection());
    std::uint16_t length = 0u;
    const std::uint8_t* options = nullptr;
    autoCnfBin.GetRawMachineOptionSection(length, options);
    ASSERT_EQ(76u, length);
    EXPECT_EQ(file.m_buffer.data() + 64 + 8 + 24 + 4, options) << "right behind the UDID section, not copied";
    EXPECT_EQ(*builder.m_machineOptions, Bytes(options, options + 76));

    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    const Records expected = {{2u, {1, 1, 1, 1, 1, 2}}, {1023u, {9, 8, 7, 6, 5, 4}}};
    EXPECT_EQ(expected, ReadAll(reader)) << "the all-zero UDID is skipped";
}

TEST(CAutoCnfBin, AnEmptyFileAndAFileWithoutSectionsHoldNothing)
{
    CLoaded file(Support::CAutoCnfBinBuilder().Build());
    ASSERT_EQ(68u, file.m_length);
    for (const std::uint32_t length : {0u, 68u})
    {
        Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
        autoCnfBin.ReadContent(length);
        EXPECT_EQ(0u, autoCnfBin.GetTimestamp());
        EXPECT_FALSE(autoCnfBin.HasMachineOptionSection());
        Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
        EXPECT_TRUE(ReadAll(reader).empty());
    }
}

TEST(CAutoCnfBin, TheSectionIsValidatedOnceAfterEachRead)
{
    CLoaded file(Configured().Build());
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin.GetUdidSection());
    const Records first = ReadAll(reader);
    file.m_buffer[64 + 4] ^= 0x01u; // the section version, after its validation
    EXPECT_EQ(first, ReadAll(reader)) << "a second Open() does not validate again";

    Support::CAutoCnfBinBuilder wrongVersion = Configured();
    wrongVersion.m_udidVersion = 0x301u;
    const Bytes bytes = wrongVersion.Build();
    std::copy(bytes.begin(), bytes.end(), file.m_buffer.begin());
    autoCnfBin.ReadContent(file.m_length);
    Support::ExpectException(Support::CaptureException([&] { reader.Open(); }), Code::InvalidModuleVersion, 0u, 0x301u);
}

TEST(CAutoCnfBin, ASectionCrcReachingPastTheSectionButNotTheContentIsRead)
{
    // UDID section declared two bytes short, so that its CRC ends inside the machine options behind it.
    Support::CAutoCnfBinBuilder builder;
    builder.AddUdid(4u, {4, 4, 4, 4, 4, 4});
    const Bytes section = builder.BuildUdidSection();
    Bytes bytes(64u, 0u);
    Support::AppendBytes(bytes, section.data(), section.size());
    Support::AppendBytes(bytes, Pattern(74u, 1u).data(), 74u);
    const auto udidLength = static_cast<std::uint32_t>(section.size() - 2u);
    Support::PutUInt16(bytes, 0u, 2u);
    Support::PutUInt16(bytes, 2u, 64u);
    Support::PutUInt16(bytes, 4u, 0x400u);
    Support::PutUInt16(bytes, 6u, 8u);
    Support::PutUInt32(bytes, 12u, udidLength);
    Support::PutUInt32(bytes, 16u, 64u);
    Support::PutUInt32(bytes, 20u, 76u);
    Support::PutUInt32(bytes, 24u, 64u + udidLength);
    Support::PutUInt32(bytes, 60u, Support::Crc32(bytes, 0u, 60u));
    Support::AppendUInt32(bytes, Support::Crc32(bytes, 0u, bytes.size()));
    CLoaded file(bytes);
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    EXPECT_EQ((Records{{4u, {4, 4, 4, 4, 4, 4}}}), ReadAll(reader));
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

template <typename Change> Bytes Damaged(Change change, Support::CAutoCnfBinBuilder builder = Configured())
{
    change(builder);
    return builder.Build();
}

Bytes Truncated(std::size_t length)
{
    Bytes bytes = Configured().Build();
    bytes.resize(length);
    return bytes;
}

std::vector<CRefusal> Refusals()
{
    using B = Support::CAutoCnfBinBuilder;
    const Bytes valid = Configured().Build();
    const auto size = static_cast<std::uint32_t>(valid.size());
    const std::uint32_t udidLength = 8u + 24u + 4u;
    const std::uint32_t fileCrcOffset = 64u + udidLength + 76u + 396u;
    const Bytes headerCrc = Damaged([](B& b) { b.m_spoilHeaderCrc = true; });
    const Bytes fileCrc = Damaged([](B& b) { b.m_spoilFileCrc = true; });
    const Bytes undeclared = Damaged(
        [](B& b)
        {
            b.m_moduleFlagLength = 0u;
            b.m_moduleFlagOffset = 0u;
        });
    return {
        {"OneByte", Truncated(1u), Code::InvalidContentLength, 0u, 1u},
        {"SixtyThreeBytes", Truncated(63u), Code::InvalidContentLength, 0u, 63u},
        {"SectionCount", Damaged([](B& b) { b.m_sectionCount = 6u; }), Code::InvalidSectionCount, 0u, 6u},
        {"HeaderLength", Damaged([](B& b) { b.m_headerLength = 60u; }), Code::InvalidHeaderLength, 0u, 60u},
        {"Version", Damaged([](B& b) { b.m_version = 0x300u; }), Code::InvalidVersion, 0u, 0x300u},
        {"VersionBeforeHeaderCrc",
         Damaged(
             [](B& b)
             {
                 b.m_version = 0x401u;
                 b.m_spoilHeaderCrc = true;
             }),
         Code::InvalidVersion, 0u, 0x401u},
        {"InformationOffset", Damaged([](B& b) { b.m_udidInformationOffset = 12u; }),
         Code::InvalidUdidInformationSectionOffset, 0u, 12u},
        {"UdidSectionOffset", Damaged([](B& b) { b.m_udidSectionOffset = 68u; }), Code::InvalidUdidSectionOffset, 0u,
         68u},
        {"EmptyUdidSectionWithOffset", Damaged([](B& b) { b.m_udidSectionLength = 0u; }),
         Code::InvalidUdidSectionOffset, 0u, 64u},
        {"UdidSectionPastContent", Damaged([](B& b) { b.m_udidSectionLength = 0x12345u; }), Code::InvalidUdids, 64u,
         0x2345u},
        {"UdidSectionOfNineBytes", Damaged([](B& b) { b.m_udidSectionLength = 9u; }), Code::ModuleBufferTooShort, 0u,
         9u},
        {"MachineOptionLength", Damaged([](B& b) { b.m_machineOptionLength = 75u; }),
         Code::InvalidMachineOptionSectionLength, 0u, 75u},
        {"MachineOptionOffset", Damaged([](B& b) { b.m_machineOptionOffset = 63u; }),
         Code::InvalidMachineOptionSectionOffset, 0u, 63u},
        {"NoMachineOptionsWithOffset", Damaged([](B& b) { b.m_machineOptionLength = 0u; }),
         Code::InvalidMachineOptionSectionOffset, 0u, 64u + udidLength},
        {"MachineOptionsPastContent", Damaged([&](B& b) { b.m_machineOptionOffset = size - 75u; }),
         Code::InvalidMachineOptions, static_cast<std::uint16_t>(size - 75u), 76u},
        {"MachineOptionOffsetWrapsAround", Damaged([](B& b) { b.m_machineOptionOffset = 0xFFFFFFF0u; }),
         Code::InvalidMachineOptions, 0xFFF0u, 76u},
        {"ModuleFlagLength", Damaged([](B& b) { b.m_moduleFlagLength = 397u; }), Code::InvalidModuleFlagSectionLength,
         0u, 397u},
        {"ModuleFlagOffset", Damaged([](B& b) { b.m_moduleFlagOffset = 0u; }), Code::InvalidModuleFlagSectionOffset, 0u,
         0u},
        {"ModuleFlagsPastContent", Damaged([&](B& b) { b.m_moduleFlagOffset = size - 395u; }), Code::InvalidModuleFlags,
         static_cast<std::uint16_t>(size - 395u), 396u},
        {"HeaderCrc", headerCrc, Code::InvalidHeaderCrc, 0u, Support::Crc32(headerCrc, 0u, 60u)},
        {"FileCrc", fileCrc, Code::InvalidFileCrc, 0u, Support::Crc32(fileCrc, 0u, fileCrcOffset)},
        {"FileCrcMissing", Damaged([](B& b) { b.m_omitFileCrc = true; }), Code::InvalidFileCrc, 0u, fileCrcOffset},
        {"FileCrcCut", Truncated(size - 2u), Code::InvalidFileCrc, 0u, fileCrcOffset},
        {"UndeclaredModuleFlags", undeclared, Code::InvalidFileCrc, 0u,
         Support::Crc32(undeclared, 0u, 64u + udidLength + 76u)},
    };
}

class CAutoCnfBinRefusal : public testing::TestWithParam<CRefusal>
{
};

TEST_P(CAutoCnfBinRefusal, RaisesItsCodeAndLeavesNoUdidsBehind)
{
    const CRefusal& refusal = GetParam();
    CLoaded file(refusal.m_bytes);
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    Support::ExpectException(Support::CaptureException([&] { autoCnfBin.ReadContent(file.m_length); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)autoCnfBin.GetTimestamp(); }), "CAutoCnfBin.cpp");
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    EXPECT_TRUE(ReadAll(reader).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, CAutoCnfBinRefusal, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<CRefusal>& refusal) { return refusal.param.m_name; });

std::vector<CRefusal> SectionRefusals()
{
    using B = Support::CAutoCnfBinBuilder;
    const Bytes sectionCrc = Damaged([](B& b) { b.m_spoilUdidSectionCrc = true; });
    return {
        {"ModuleCount", Damaged([](B& b) { b.m_moduleCount = 102u; }), Code::InvalidModuleCount, 0u, 102u},
        {"EntriesPastSection", Damaged([](B& b) { b.m_moduleCount = 5u; }), Code::InvalidEntries, 0u, 40u},
        {"EntryLength", Damaged([](B& b) { b.m_entryLength = 6u; }), Code::InvalidEntryLength, 0u, 6u},
        {"Version", Damaged([](B& b) { b.m_udidVersion = 0x400u; }), Code::InvalidModuleVersion, 0u, 0x400u},
        {"EntryOffset", Damaged([](B& b) { b.m_entryOffset = 10u; }), Code::InvalidEntryOffset, 0u, 10u},
        {"SectionCrc", sectionCrc, Code::InvalidModuleCrc, 0u, Support::ReadUInt32(sectionCrc, 64u + 8u + 24u)},
    };
}

class CAutoCnfBinUdidSectionRefusal : public testing::TestWithParam<CRefusal>
{
};

TEST_P(CAutoCnfBinUdidSectionRefusal, RaisesItsCodeWhenTheReaderOpensAndAgainOnTheNextOpen)
{
    const CRefusal& refusal = GetParam();
    CLoaded file(refusal.m_bytes);
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    EXPECT_TRUE(autoCnfBin.HasMachineOptionSection()) << "the rest of the file is valid";
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        Support::ExpectException(Support::CaptureException([&] { reader.Open(); }), refusal.m_code,
                                 refusal.m_information0, refusal.m_information1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CAutoCnfBinUdidSectionRefusal, testing::ValuesIn(SectionRefusals()),
                         [](const testing::TestParamInfo<CRefusal>& refusal) { return refusal.param.m_name; });

TEST(CAutoCnfBinUdidSection, AcceptsUpToOneHundredAndOneModules)
{
    Support::CAutoCnfBinBuilder builder;
    for (std::uint16_t sadr = 1u; sadr <= 101u; ++sadr)
    {
        builder.AddUdid(sadr, {0, 0, 0, 0, static_cast<std::uint8_t>(sadr >> 8), static_cast<std::uint8_t>(sadr)});
    }
    CLoaded file(builder.Build());
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    EXPECT_EQ(101u, ReadAll(reader).size());
}

TEST(CAutoCnfBinUdidSection, LengthsOfOneToNineAreRefusedAndTenIsNot)
{
    const Bytes bytes(16u, 0u);
    Param::CAutoCnfBinUdidSection section;
    for (std::uint32_t length = 1u; length <= 9u; ++length)
    {
        Support::ExpectException(Support::CaptureException([&] { section.Initialize(length, bytes.data()); }),
                                 Code::ModuleBufferTooShort, 0u, length);
    }
    section.Initialize(10u, bytes.data());
}

TEST(CAutoCnfBinUdidSection, RefusesASectionCrcBeyondTheBytesItMayRead)
{
    Support::CAutoCnfBinBuilder builder;
    builder.m_hasUdidSection = true;
    const Bytes section = builder.BuildUdidSection();
    ASSERT_EQ(12u, section.size());
    Param::CAutoCnfBinUdidSection udidSection;
    std::uint32_t length = 0u;
    const std::uint8_t* entries = nullptr;
    for (const std::uint32_t available : {10u, 11u})
    {
        udidSection.Initialize(10u, section.data(), available);
        Support::ExpectException(Support::CaptureException([&] { udidSection.StartReadingUdids(length, entries); }),
                                 Code::InvalidModuleCrc, 0u, 8u);
    }
    udidSection.Initialize(10u, section.data(), 12u);
    udidSection.StartReadingUdids(length, entries);
    EXPECT_EQ(0u, length);
}

TEST(CAutoCnfBinUdidSectionUdidReader, AnInvalidSafetyAddressIsRefusedWhileReading)
{
    Support::CAutoCnfBinBuilder builder;
    builder.AddUdid(1u, {1, 2, 3, 4, 5, 6});
    builder.AddUdid(0u, {1, 2, 3, 4, 5, 6});
    CLoaded file(builder.Build());
    Param::CAutoCnfBin autoCnfBin(BufferLength, file.m_buffer.data());
    autoCnfBin.ReadContent(file.m_length);
    Param::CAutoCnfBinUdidSectionUdidReader reader(autoCnfBin);
    reader.Open();
    std::uint16_t sadr = 0u;
    const std::uint8_t* udid = nullptr;
    ASSERT_TRUE(reader.TryReadNext(sadr, udid));
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, udid); }),
                             Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, 0u);
    reader.Close();
}

TEST(CAutoCnfBin, RefusesContentLongerThanItsBufferAndMisuse)
{
    Bytes buffer(64u);
    Param::CAutoCnfBin autoCnfBin(64u, buffer.data());
    Support::ExpectException(Support::CaptureException([&] { autoCnfBin.ReadContent(65u); }), Code::BufferTooShort, 64u,
                             65u);
    const char* const file = "CAutoCnfBin.cpp";
    std::uint16_t length = 0u;
    const std::uint8_t* section = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)autoCnfBin.HasMachineOptionSection(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { autoCnfBin.GetRawMachineOptionSection(length, section); }), file);
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CAutoCnfBin nothing(64u, nullptr); }), file);
    Param::CAutoCnfBinUdidSection unbound;
    std::uint32_t entriesLength = 0u;
    Support::ExpectGuard(Support::CaptureGuard([&] { unbound.StartReadingUdids(entriesLength, section); }),
                         "CAutoCnfBinUdidSection.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { unbound.Initialize(0u, nullptr); }), "CAutoCnfBinUdidSection.cpp");
}
} // namespace
