// The firmware revision file and its check copy: reading checks in order, authentication data, minor-revision
// streams, rebuilding the copy.
#include "Param/CFwRevCnfBin.h"
#include "Param/CFwRevCnfBinChk.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionReader.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionWriter.h"
#include "Param/CFwRevCnfBinMinorRevisionReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <utility>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CByteArrayWriterEventCode.h"
#include "Param/CFwRevCnfBinEventCode.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Code = Param::CFwRevCnfBinEventCode;
using Records = std::vector<std::pair<std::uint16_t, std::uint16_t>>;

constexpr std::uint32_t BufferLength = 65536u;

struct CLoaded
{
    explicit CLoaded(const Bytes& bytes, std::uint32_t bufferLength = BufferLength)
        : m_buffer(bufferLength, 0u), m_length(static_cast<std::uint32_t>(bytes.size()))
    {
        std::copy(bytes.begin(), bytes.end(), m_buffer.begin());
    }
    Bytes m_buffer;
    std::uint32_t m_length;
};

Support::CFwRevCnfBinBuilder Commissioned(bool inverted = false)
{
    Support::CFwRevCnfBinBuilder builder;
    builder.m_inverted = inverted;
    builder.AddModule(3u, 0x0102u);
    builder.AddModule(7u, 0u);
    builder.AddModule(1023u, 0xFFFFu);
    builder.m_hasCpuId = true;
    builder.m_cpuId = {1, 2, 3, 4, 5, 6, 7, 8};
    builder.m_hasKelUdid = true;
    builder.m_kelUdid = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    builder.m_hasPassword = true;
    builder.m_password = {'s', 'e', 'c', 'r', 'e', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7F};
    builder.m_tesseraEmpty = true;
    builder.m_setupModeActive = true;
    return builder;
}

template <typename Reader> Records ReadAll(Reader& reader)
{
    Records records;
    std::uint16_t sadr = 0u;
    std::uint16_t revision = 0u;
    reader.Open();
    while (reader.TryReadNext(sadr, revision))
    {
        records.emplace_back(sadr, revision);
    }
    reader.Close();
    return records;
}

TEST(CFwRevCnfBin, ReadsModulesAndAuthentificationData)
{
    const Support::CFwRevCnfBinBuilder builder = Commissioned();
    CLoaded file(builder.Build());
    ASSERT_EQ(53u + 12u, file.m_length);
    Param::CFwRevCnfBin fwRevCnfBin(BufferLength, file.m_buffer.data());
    fwRevCnfBin.ReadContent(file.m_length);
    EXPECT_TRUE(fwRevCnfBin.HasCpuId());
    EXPECT_TRUE(fwRevCnfBin.HasKelUdid());
    EXPECT_TRUE(fwRevCnfBin.HasPassword());
    EXPECT_TRUE(fwRevCnfBin.WasTesseraEmpty());
    EXPECT_TRUE(fwRevCnfBin.IsSetupModeActive());
    EXPECT_EQ(0, std::memcmp(builder.m_cpuId.data(), fwRevCnfBin.GetCpuId(), 8u));
    EXPECT_EQ(0, std::memcmp(builder.m_kelUdid.data(), fwRevCnfBin.GetKelUdid(), 6u));
    EXPECT_EQ(0, std::memcmp(builder.m_password.data(), fwRevCnfBin.GetPassword(), 16u));

    Param::CFwRevCnfBinMinorRevisionReader reader(fwRevCnfBin);
    EXPECT_EQ((Records{{3u, 0x0102u}, {1023u, 0xFFFFu}}), ReadAll(reader)) << "revision 0 is not acknowledged";
    EXPECT_EQ((Records{{3u, 0x0102u}, {1023u, 0xFFFFu}}), ReadAll(reader)) << "a new Open() starts again";
}

TEST(CFwRevCnfBin, EachFeatureFlagSetsOnlyItsOwnValue)
{
    for (std::uint16_t bit = 0u; bit < 5u; ++bit)
    {
        Support::CFwRevCnfBinBuilder builder;
        builder.m_featureFlags = static_cast<std::uint16_t>(1u << bit);
        CLoaded file(builder.Build());
        Param::CFwRevCnfBin fwRevCnfBin(BufferLength, file.m_buffer.data());
        fwRevCnfBin.ReadContent(file.m_length);
        const bool values[] = {fwRevCnfBin.HasCpuId(), fwRevCnfBin.HasKelUdid(), fwRevCnfBin.HasPassword(),
                               fwRevCnfBin.WasTesseraEmpty(), fwRevCnfBin.IsSetupModeActive()};
        for (std::uint16_t other = 0u; other < 5u; ++other)
        {
            EXPECT_EQ(other == bit, values[other]) << "flag bit " << bit << ", value " << other;
        }
    }
}

TEST(CFwRevCnfBin, AnEmptyFileHoldsNothingWhateverTheBuffer)
{
    Bytes buffer(BufferLength, 0x55u);
    Param::CFwRevCnfBin fwRevCnfBin(BufferLength, buffer.data());
    fwRevCnfBin.ReadContent(0u);
    EXPECT_FALSE(fwRevCnfBin.HasCpuId() || fwRevCnfBin.HasKelUdid() || fwRevCnfBin.HasPassword());
    EXPECT_FALSE(fwRevCnfBin.WasTesseraEmpty() || fwRevCnfBin.IsSetupModeActive());
    EXPECT_EQ(0, std::memcmp(Support::CpuId{}.data(), fwRevCnfBin.GetCpuId(), 8u));
    EXPECT_EQ(0, std::memcmp(Support::Udid{}.data(), fwRevCnfBin.GetKelUdid(), 6u));
    EXPECT_EQ(0, std::memcmp(Support::Password{}.data(), fwRevCnfBin.GetPassword(), 16u));
    Param::CFwRevCnfBinMinorRevisionReader reader(fwRevCnfBin);
    EXPECT_TRUE(ReadAll(reader).empty());
}

TEST(CFwRevCnfBin, TheSmallestFileIsValidAndTrailingBytesAreIgnored)
{
    Support::CFwRevCnfBinBuilder smallest;
    smallest.m_trailer = {0xEE, 0xEE, 0xEE};
    CLoaded file(smallest.Build());
    for (const std::uint32_t length : {53u, file.m_length})
    {
        Param::CFwRevCnfBin fwRevCnfBin(BufferLength, file.m_buffer.data());
        fwRevCnfBin.ReadContent(length);
        EXPECT_FALSE(fwRevCnfBin.HasCpuId() || fwRevCnfBin.HasKelUdid() || fwRevCnfBin.HasPassword());
        Param::CFwRevCnfBinMinorRevisionReader reader(fwRevCnfBin);
        EXPECT_TRUE(ReadAll(reader).empty());
    }
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

template <typename Change> Bytes Damaged(Change change)
{
    Support::CFwRevCnfBinBuilder builder = Commissioned();
    change(builder);
    return builder.Build();
}

Bytes Truncated(std::size_t length)
{
    Bytes bytes = Commissioned().Build();
    bytes.resize(length);
    return bytes;
}

std::vector<CRefusal> Refusals()
{
    using B = Support::CFwRevCnfBinBuilder;
    constexpr std::uint32_t A = 12u + 4u * 3u; // offset of the authentication section with three modules
    const Bytes moduleCrc = Damaged([](B& b) { b.m_spoilModuleCrc = true; });
    const Bytes authentificationCrc = Damaged([](B& b) { b.m_spoilAuthentificationCrc = true; });
    return {
        {"OneByte", Truncated(1u), Code::BufferTooShort, 0u, 1u},
        {"ElevenBytes", Truncated(11u), Code::BufferTooShort, 0u, 11u},
        {"ModuleCount", Damaged([](B& b) { b.m_moduleCount = 1024u; }), Code::InvalidModuleCount, 0u, 1024u},
        {"ModuleCountBeforeVersion",
         Damaged(
             [](B& b)
             {
                 b.m_moduleCount = 0xFFFFu;
                 b.m_version = 0u;
             }),
         Code::InvalidModuleCount, 0u, 0xFFFFu},
        {"EntryLength", Damaged([](B& b) { b.m_entryLength = 8u; }), Code::InvalidEntryLength, 0u, 8u},
        {"Version", Damaged([](B& b) { b.m_version = 0x0100u; }), Code::InvalidVersion, 0u, 0x0100u},
        {"VersionBeforeModuleCrc",
         Damaged(
             [](B& b)
             {
                 b.m_version = 0x0201u;
                 b.m_spoilModuleCrc = true;
             }),
         Code::InvalidVersion, 0u, 0x0201u},
        {"EntryOffset", Damaged([](B& b) { b.m_entryOffset = 12u; }), Code::InvalidEntryOffset, 0u, 12u},
        {"EntriesPastContent", Damaged([](B& b) { b.m_moduleCount = 1023u; }), Code::InvalidEntries, 8u, 4092u},
        {"EntriesCut", Truncated(8u + 4u * 3u - 1u), Code::InvalidEntries, 8u, 12u},
        {"ModuleCrcMissing", Truncated(8u + 4u * 3u), Code::InvalidAuthentification, 0u, A},
        {"ModuleCrcCut", Truncated(8u + 4u * 3u + 3u), Code::InvalidAuthentification, 0u, A},
        {"ModuleCrc", moduleCrc, Code::InvalidModuleCrc, 0u, Support::Crc32(moduleCrc, 0u, 20u)},
        {"AuthentificationMissing", Truncated(A), Code::InvalidAuthentification, 0u, A},
        {"AuthentificationCut", Truncated(A + 40u), Code::InvalidAuthentification, 0u, A},
        {"AuthentificationLengthIsTheRealOne", Damaged([](B& b) { b.m_authentificationSectionLength = 41u; }),
         Code::InvalidAuthentificationSectionLength, 0u, 41u},
        {"AuthentificationDataOffset", Damaged([](B& b) { b.m_authentificationDataOffset = 6u; }),
         Code::InvalidAuthentificationDataOffset, 0u, 6u},
        {"UnknownFlag", Damaged([](B& b) { b.m_featureFlags = 0x0020u; }), Code::InvalidFeatureFlags, 0u, 0x20u},
        {"UnknownHighFlag", Damaged([](B& b) { b.m_featureFlags = 0x801Fu; }), Code::InvalidFeatureFlags, 0u, 0x801Fu},
        {"AuthentificationCrc", authentificationCrc, Code::InvalidAuthentificationCrc, 0u,
         Support::Crc32(authentificationCrc, A, 37u)},
    };
}

class CFwRevCnfBinRefusal : public testing::TestWithParam<CRefusal>
{
};

TEST_P(CFwRevCnfBinRefusal, RaisesItsCodeAndLeavesTheFileUnread)
{
    const CRefusal& refusal = GetParam();
    CLoaded file(refusal.m_bytes);
    Param::CFwRevCnfBinChk fwRevCnfBin(BufferLength, file.m_buffer.data());
    Support::ExpectException(Support::CaptureException([&] { fwRevCnfBin.ReadContent(file.m_length); }), refusal.m_code,
                             refusal.m_information0, refusal.m_information1);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)fwRevCnfBin.HasPassword(); }), "CFwRevCnfBin.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)fwRevCnfBin.GetInvertedPassword(); }),
                         "CFwRevCnfBinChk.cpp");
}

INSTANTIATE_TEST_SUITE_P(Table, CFwRevCnfBinRefusal, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<CRefusal>& refusal) { return refusal.param.m_name; });

TEST(CFwRevCnfBin, NeverReadsBeyondTheContentOfAnExactBuffer)
{
    // The buffer ends where the content ends, so a read past it would show under the address sanitizer.
    for (std::size_t length = 1u; length < 53u + 12u; ++length)
    {
        Bytes bytes = Commissioned().Build();
        bytes.resize(length);
        Param::CFwRevCnfBin fwRevCnfBin(static_cast<std::uint32_t>(length), bytes.data());
        EXPECT_NE(0xE200u,
                  Support::CaptureException([&] { fwRevCnfBin.ReadContent(static_cast<std::uint32_t>(length)); })
                      .m_eventCode);
    }
    Bytes buffer(20u);
    Param::CFwRevCnfBin small(20u, buffer.data());
    Support::ExpectException(Support::CaptureException([&] { small.ReadContent(21u); }), Code::BufferTooShort, 20u,
                             21u);
}

TEST(CFwRevCnfBinChk, ReadsTheStoredComplementsAndReturnsEveryEntry)
{
    const Support::CFwRevCnfBinBuilder builder = Commissioned(true);
    CLoaded file(builder.Build());
    Param::CFwRevCnfBinChk copy(BufferLength, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    EXPECT_EQ(0, std::memcmp(Support::Complemented(builder.m_cpuId).data(), copy.GetInvertedCpuId(), 8u));
    EXPECT_EQ(0, std::memcmp(Support::Complemented(builder.m_kelUdid).data(), copy.GetInvertedKelUdid(), 6u));
    EXPECT_EQ(0, std::memcmp(Support::Complemented(builder.m_password).data(), copy.GetInvertedPassword(), 16u));
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader reader(copy);
    EXPECT_EQ((Records{{3u, 0xFEFDu}, {7u, 0xFFFFu}, {1023u, 0x0000u}}), ReadAll(reader));
}

TEST(CFwRevCnfBinChk, EmptyCopyHoldsComplementedZeros)
{
    Bytes buffer(53u, 0x33u);
    Param::CFwRevCnfBinChk copy(53u, buffer.data());
    copy.ReadContent(0u);
    EXPECT_EQ(Bytes(8u, 0xFFu), Bytes(copy.GetInvertedCpuId(), copy.GetInvertedCpuId() + 8));
    EXPECT_EQ(Bytes(6u, 0xFFu), Bytes(copy.GetInvertedKelUdid(), copy.GetInvertedKelUdid() + 6));
    EXPECT_EQ(Bytes(16u, 0xFFu), Bytes(copy.GetInvertedPassword(), copy.GetInvertedPassword() + 16));
}

TEST(CFwRevCnfBinChk, RebuildsTheFileByteExactFromItsWriterAndSetters)
{
    const Support::CFwRevCnfBinBuilder expected = Commissioned(true);
    Bytes buffer(BufferLength, 0xC3u);
    Param::CFwRevCnfBinChk copy(BufferLength, buffer.data());
    copy.ReadContent(0u);
    Param::CFwRevCnfBinChkInvertedMinorRevisionWriter writer(copy);
    writer.Open();
    for (const auto& module : expected.m_modules)
    {
        writer.WriteNext(module.m_safetyAddress, static_cast<std::uint16_t>(~module.m_minorRevision));
    }
    EXPECT_EQ(12u, writer.GetContentLength());
    writer.Close();
    copy.SetInvertedCpuId(Support::Complemented(expected.m_cpuId).data());
    copy.SetInvertedKelUdid(Support::Complemented(expected.m_kelUdid).data());
    copy.SetInvertedPassword(Support::Complemented(expected.m_password).data());
    copy.SetTesseraEmpty(true);
    copy.SetSetupModeActive(true);
    copy.WriteContent();
    const Bytes bytes = expected.Build();
    ASSERT_EQ(53u + 4u * 3u, copy.GetContentLength());
    EXPECT_EQ(bytes, Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bytes.size())));

    buffer[8] ^= 0xFFu;
    copy.WriteContent();
    EXPECT_NE(bytes[8], buffer[8]) << "a second write without a change rewrites nothing";

    copy.SetSetupModeActive(false);
    copy.WriteContent();
    Param::CFwRevCnfBinChk reread(BufferLength, buffer.data());
    reread.ReadContent(copy.GetContentLength());
    EXPECT_FALSE(reread.IsSetupModeActive());
    EXPECT_TRUE(reread.WasTesseraEmpty());
    EXPECT_TRUE(reread.HasPassword());
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader reader(reread);
    EXPECT_EQ(3u, ReadAll(reader).size());
}

TEST(CFwRevCnfBinChk, APasswordAloneSetsFlagBitTwoAndATerminatingZero)
{
    Bytes buffer(BufferLength, 0xFFu);
    Param::CFwRevCnfBinChk copy(BufferLength, buffer.data());
    copy.ReadContent(0u);
    const Support::Password inverted = Support::Complemented(Support::Password{1, 2, 3});
    copy.SetInvertedPassword(inverted.data());
    EXPECT_TRUE(copy.HasPassword());
    copy.WriteContent();
    ASSERT_EQ(53u, copy.GetContentLength());
    EXPECT_EQ(0x0004u, Support::ReadUInt16(buffer, 12u + 4u));
    EXPECT_EQ(0u, buffer[12u + 20u + 16u]) << "the 17th password byte";
    EXPECT_EQ(0, std::memcmp(inverted.data(), buffer.data() + 12 + 20, 16u));
}

TEST(CFwRevCnfBinChk, WriterRefusesInvalidAddressesAndAFullSection)
{
    Bytes buffer(53u + 4u);
    Param::CFwRevCnfBinChk copy(53u + 4u, buffer.data());
    copy.ReadContent(0u);
    Param::CFwRevCnfBinChkInvertedMinorRevisionWriter writer(copy);
    writer.Open();
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(0u, 1u); }),
                             Param::CByteArrayWriterEventCode::InvalidSafetyAddress, 0u, 0u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(1024u, 1u); }),
                             Param::CByteArrayWriterEventCode::InvalidSafetyAddress, 0u, 1024u);
    writer.WriteNext(1023u, 1u);
    Support::ExpectException(Support::CaptureException([&] { writer.WriteNext(1u, 1u); }),
                             Param::CByteArrayWriterEventCode::BufferTooShort, 4u, 4u);
    writer.Close();
    copy.WriteContent();
    EXPECT_EQ(57u, copy.GetContentLength());
}

TEST(CFwRevCnfBinChk, RefusesABufferShorterThanTheSmallestFile)
{
    Bytes buffer(52u);
    Support::ExpectException(Support::CaptureException([&] { Param::CFwRevCnfBinChk copy(52u, buffer.data()); }),
                             Code::BufferTooShort, 0u, 52u);
}

TEST(CFwRevCnfBinMinorRevisionReader, AnInvalidAddressEndsTheStreamAndReleasesTheFile)
{
    Support::CFwRevCnfBinBuilder builder = Commissioned();
    builder.AddModule(1024u, 5u);
    CLoaded file(builder.Build());
    Param::CFwRevCnfBin fwRevCnfBin(BufferLength, file.m_buffer.data());
    fwRevCnfBin.ReadContent(file.m_length);
    Param::CFwRevCnfBinMinorRevisionReader reader(fwRevCnfBin);
    reader.Open();
    std::uint16_t sadr = 0u;
    std::uint16_t revision = 0u;
    ASSERT_TRUE(reader.TryReadNext(sadr, revision));
    ASSERT_TRUE(reader.TryReadNext(sadr, revision));
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, revision); }),
                             Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, 1024u);
    reader.Close();
    fwRevCnfBin.ReadContent(file.m_length);
    reader.Open();
    reader.Close();
}

TEST(CFwRevCnfBinChkInvertedMinorRevisionReader, AnInvalidAddressEndsTheStreamAndReleasesTheFile)
{
    Support::CFwRevCnfBinBuilder builder = Commissioned(true);
    builder.m_modules.insert(builder.m_modules.begin(), {0u, 1u});
    CLoaded file(builder.Build());
    Param::CFwRevCnfBinChk copy(BufferLength, file.m_buffer.data());
    copy.ReadContent(file.m_length);
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader reader(copy);
    reader.Open();
    std::uint16_t sadr = 0u;
    std::uint16_t revision = 0u;
    Support::ExpectException(Support::CaptureException([&] { (void)reader.TryReadNext(sadr, revision); }),
                             Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, 0u);
    copy.ReadContent(0u);
}

TEST(CFwRevCnfBinChk, MisuseRaisesTheGuard)
{
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CFwRevCnfBin file(64u, nullptr); }), "CFwRevCnfBin.cpp");
    Bytes buffer(BufferLength);
    Param::CFwRevCnfBinChk copy(BufferLength, buffer.data());
    const char* const chk = "CFwRevCnfBinChk.cpp";
    std::uint32_t length = 0u;
    std::uint8_t* section = nullptr;
    const std::uint8_t* readSection = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.WriteContent(); }), chk);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.SetTesseraEmpty(true); }), chk);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StartWritingModuleSection(length, section); }), chk);
    copy.ReadContent(0u);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.SetInvertedCpuId(nullptr); }), chk);
    copy.StartWritingModuleSection(length, section);
    EXPECT_EQ(BufferLength - 53u, length);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.ReadContent(0u); }), "CFwRevCnfBin.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StartReadingModuleSection(length, readSection); }),
                         "CFwRevCnfBin.cpp");
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.WriteContent(); }), chk);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StopWritingModuleSection(6u); }), chk);
    Support::ExpectGuard(Support::CaptureGuard([&] { copy.StopWritingModuleSection(4u * 1024u); }), chk);
    copy.StopWritingModuleSection(4u * 1023u);
    copy.WriteContent();
    EXPECT_EQ(53u + 4u * 1023u, copy.GetContentLength());
}
} // namespace
