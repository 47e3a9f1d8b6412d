// The safety parameter container: valid files read back, each reading check met by the damage it names, in order.
#include "Param/CTolParaSaf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CInvertingCommissioningFlagReader.h"
#include "Param/CInvertingFirmwareVersionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "Param/CParameterConfigurationDataReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterSafetyAddressReader.h"
#include "Param/CParameterUdidReader.h"
#include "Param/CTolParaSafEventCode.h"
#include "Param/CTolParaSafScmSectionParameterReader.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
constexpr std::uint32_t Capacity = 262144u;

// The loaded file in a buffer of the persistence manager's size.
struct CLoaded
{
    explicit CLoaded(const Bytes& file, std::uint32_t capacity = Capacity)
        : m_buffer(capacity, 0u), m_tolParaSaf(capacity, m_buffer.data())
    {
        std::copy(file.begin(), file.begin() + std::min<std::size_t>(file.size(), capacity), m_buffer.begin());
    }
    Bytes m_buffer;
    Param::CTolParaSaf m_tolParaSaf;
};

Support::CParameterStreamBuilder Configuration()
{
    Support::CParameterStreamBuilder stream;
    stream.AddModule({1u, 0x100u, 0x200u, 1u, 2u, {0x11, 0x22, 0x33, 0x44}});
    stream.AddUdid(1u, {1, 2, 3, 4, 5, 6});
    stream.AddModule({1023u, 0x101u, 0x201u, 3u, 4u, {0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC}});
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = 1023u;
    parameter.m_parameterNumber = 4u;
    parameter.m_data = {9, 8, 7};
    stream.AddAdditionalParameter(parameter);
    stream.AddCommissioningFlags(true, false, true);
    stream.AddConfigurationData(true);
    return stream;
}

struct CRecord
{
    std::uint16_t m_index;
    std::uint8_t m_subIndex;
    Bytes m_data;
    bool operator==(const CRecord& other) const
    {
        return (m_index == other.m_index) && (m_subIndex == other.m_subIndex) && (m_data == other.m_data);
    }
};

std::vector<CRecord> ReadRecords(Param::CParameterReader& reader)
{
    std::vector<CRecord> records;
    reader.Open();
    std::uint16_t index = 0;
    std::uint8_t subIndex = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    while (reader.TryReadNext(index, subIndex, length, data))
    {
        records.push_back({index, subIndex, Bytes(data, data + length)});
    }
    reader.Close();
    return records;
}

std::vector<CRecord> Expected(const Support::CParameterStreamBuilder& stream)
{
    std::vector<CRecord> records;
    for (const auto& record : stream.m_records)
    {
        records.push_back({record.m_index, record.m_subIndex, record.m_data});
    }
    return records;
}

TEST(CTolParaSaf, ValidFileReadsBackToTheRecordsItWasBuiltFrom)
{
    const Support::CParameterStreamBuilder stream = Configuration();
    for (const std::uint32_t gap : {0u, 3u})
    {
        Support::CTolParaSafBuilder builder;
        builder.m_scmSection = stream.Build();
        builder.m_sectionGap = gap;
        builder.m_crcGap = gap;
        builder.m_otherSection = Bytes(100u, 0xEE);
        const Bytes file = builder.Build();
        CLoaded loaded(file);
        loaded.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size()));
        Param::CTolParaSafScmSectionParameterReader reader(loaded.m_tolParaSaf);
        EXPECT_EQ(Expected(stream), ReadRecords(reader)) << "gap " << gap;
        EXPECT_EQ(Expected(stream), ReadRecords(reader)) << "a second pass, gap " << gap;
    }
}

TEST(CTolParaSaf, FiltersTakeTurnsOnTheOneSectionStreamAsThePersistenceManagerWiresThem)
{
    Support::CTolParaSafBuilder builder;
    builder.m_scmSection = Configuration().Build();
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    loaded.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size()));
    Param::CTolParaSafScmSectionParameterReader stream(loaded.m_tolParaSaf);
    Param::CParameterSafetyAddressReader addresses(stream);
    Param::CParameterFirmwareVersionReader plainVersions(stream);
    Param::CInvertingFirmwareVersionReader versions(plainVersions);
    Param::CParameterParameterChecksumReader plainChecksums(stream);
    Param::CInvertingParameterChecksumReader checksums(plainChecksums);
    Param::CParameterAdditionalParameterHeaderReader plainHeaders(stream);
    Param::CInvertingAdditionalParameterHeaderReader headers(plainHeaders);
    Param::CParameterCommissioningFlagReader plainFlags(stream);
    Param::CInvertingCommissioningFlagReader flags(plainFlags);

    std::vector<std::uint16_t> sadrs;
    std::uint16_t sadr = 0;
    addresses.Open();
    while (addresses.TryReadNext(sadr))
    {
        sadrs.push_back(sadr);
    }
    addresses.Close();
    EXPECT_EQ((std::vector<std::uint16_t>{1u, 1023u}), sadrs);

    std::uint32_t vendorId = 0;
    std::uint32_t productCode = 0;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    versions.Open();
    ASSERT_TRUE(versions.TryReadNext(sadr, vendorId, productCode, major, minor));
    ASSERT_TRUE(versions.TryReadNext(sadr, vendorId, productCode, major, minor));
    EXPECT_EQ(1023u, sadr);
    EXPECT_EQ(~0x101u, vendorId);
    EXPECT_EQ(static_cast<std::uint16_t>(~3u), major);
    EXPECT_FALSE(versions.TryReadNext(sadr, vendorId, productCode, major, minor));
    versions.Close();

    std::uint32_t checksumLength = 0;
    const std::uint8_t* invertedChecksum = nullptr;
    checksums.Open();
    ASSERT_TRUE(checksums.TryReadNext(sadr, checksumLength, invertedChecksum));
    EXPECT_EQ(4u, checksumLength);
    EXPECT_EQ(static_cast<std::uint8_t>(~0x11u), invertedChecksum[0]);
    ASSERT_TRUE(checksums.TryReadNext(sadr, checksumLength, invertedChecksum));
    EXPECT_EQ(8u, checksumLength);
    checksums.Close();

    std::uint8_t number = 0;
    const std::uint8_t* invertedHeader = nullptr;
    headers.Open();
    ASSERT_TRUE(headers.TryReadNext(sadr, number, invertedHeader));
    EXPECT_EQ(1023u, sadr);
    EXPECT_EQ(4u, number);
    EXPECT_FALSE(headers.TryReadNext(sadr, number, invertedHeader));
    headers.Close();

    bool invertedSetup = true;
    bool invertedTessera = true;
    bool invertedFirmware = false;
    flags.Open();
    ASSERT_TRUE(flags.TryReadNext(invertedSetup, invertedTessera, invertedFirmware));
    EXPECT_FALSE(invertedSetup);
    EXPECT_FALSE(invertedTessera);
    EXPECT_TRUE(invertedFirmware);
    flags.Close();
}

TEST(CTolParaSaf, EmptyFileYieldsAnEmptyStreamForEveryFilter)
{
    Bytes buffer(16u, 0xAB);
    Param::CTolParaSaf tolParaSaf(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    tolParaSaf.ReadContent(0u);
    Param::CTolParaSafScmSectionParameterReader stream(tolParaSaf);
    EXPECT_TRUE(ReadRecords(stream).empty());

    std::uint16_t sadr = 0;
    Param::CParameterSafetyAddressReader addresses(stream);
    addresses.Open();
    EXPECT_FALSE(addresses.TryReadNext(sadr));
    addresses.Close();
    const std::uint8_t* pointer = nullptr;
    Param::CParameterUdidReader udids(stream);
    udids.Open();
    EXPECT_FALSE(udids.TryReadNext(sadr, pointer));
    udids.Close();
    std::uint32_t value32 = 0;
    std::uint16_t value16 = 0;
    Param::CParameterFirmwareVersionReader versions(stream);
    versions.Open();
    EXPECT_FALSE(versions.TryReadNext(sadr, value32, value32, value16, value16));
    versions.Close();
    Param::CParameterParameterChecksumReader checksums(stream);
    checksums.Open();
    EXPECT_FALSE(checksums.TryReadNext(sadr, value32, pointer));
    checksums.Close();
    bool flag = false;
    Param::CParameterCommissioningFlagReader flags(stream);
    flags.Open();
    EXPECT_FALSE(flags.TryReadNext(flag, flag, flag));
    flags.Close();
    Param::CParameterConfigurationDataReader configuration(stream);
    configuration.Open();
    EXPECT_FALSE(configuration.TryReadNext(flag));
    configuration.Close();
    std::uint8_t number = 0;
    Param::CParameterAdditionalParameterHeaderReader headers(stream);
    headers.Open();
    EXPECT_FALSE(headers.TryReadNext(sadr, number, pointer));
    headers.Close();
}

TEST(CTolParaSaf, SectionCrcsCoverBlocksOfSixteenKibibytes)
{
    for (const std::uint32_t length : {0u, 16384u, 16385u, 40000u})
    {
        Support::CTolParaSafBuilder builder;
        builder.m_scmSection = Bytes(length, 0u); // index 0 records: skipped by every filter, fine for the layout
        const Bytes file = builder.Build();
        const std::uint32_t crcCount = (length + 16383u) / 16384u;
        ASSERT_EQ(64u + length + 4u * crcCount, file.size());
        CLoaded loaded(file);
        EXPECT_NO_THROW(loaded.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size()))) << length;
    }
}

struct CDamage
{
    std::string m_name;
    std::function<void(Support::CTolParaSafBuilder&)> m_damage;
    std::uint16_t m_code;
    // information1 from the built file (stored or computed values) or a fixed value
    std::function<std::uint32_t(const Bytes&)> m_information1;
};

std::function<std::uint32_t(const Bytes&)> Fixed(std::uint32_t value)
{
    return [value](const Bytes&) { return value; };
}

class CTolParaSafDamage : public ::testing::TestWithParam<CDamage>
{
};

TEST_P(CTolParaSafDamage, IsRefusedWithTheCodeOfTheFirstFailingCheck)
{
    const CDamage& damage = GetParam();
    Support::CTolParaSafBuilder builder;
    builder.m_scmSection = Configuration().Build();
    builder.m_scmSection.resize(20000u, 0u); // two blocks
    damage.m_damage(builder);
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    Support::ExpectException(
        Support::CaptureException([&] { loaded.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size())); }),
        damage.m_code, 0u, damage.m_information1(file));
    std::uint32_t length = 0;
    const std::uint8_t* section = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { loaded.m_tolParaSaf.StartReadingScmSection(length, section); }),
                         "CTolParaSaf.cpp");
}

using Code = Param::CTolParaSafEventCode;
std::uint32_t StoredHeaderCrc(const Bytes& file)
{
    return Support::ReadUInt16(file, 62u);
}

INSTANTIATE_TEST_SUITE_P(
    ReadingChecks, CTolParaSafDamage,
    ::testing::Values(
        CDamage{"HeaderLength", [](auto& b) { b.m_headerLength = 63u; }, Code::InvalidHeaderLength, Fixed(63u)},
        CDamage{"Version", [](auto& b) { b.m_version = 0x201u; }, Code::InvalidVersion, Fixed(0x201u)},
        CDamage{"VersionBeforeHeaderCrc",
                [](auto& b)
                {
                    b.m_version = 0x100u;
                    b.m_spoilHeaderCrc = true;
                },
                Code::InvalidVersion, Fixed(0x100u)},
        CDamage{"TotalLength", [](auto& b) { b.m_totalLength = 5u; }, Code::InvalidTotalLength, Fixed(5u)},
        CDamage{"ScmSectionVersion", [](auto& b) { b.m_scmSectionVersion = 0x102u; }, Code::InvalidScmSectionVersion,
                Fixed(0x102u)},
        CDamage{"ScmSectionVersionBeforeHeaderCrc",
                [](auto& b)
                {
                    b.m_scmSectionVersion = 0u;
                    b.m_spoilHeaderCrc = true;
                },
                Code::InvalidScmSectionVersion, Fixed(0u)},
        CDamage{"HeaderCrcReportsTheStoredValue", [](auto& b) { b.m_spoilHeaderCrc = true; }, Code::InvalidHeaderCrc,
                StoredHeaderCrc},
        CDamage{"HeaderCrcBeforeLayout",
                [](auto& b)
                {
                    b.m_scmSectionOffset = 0u;
                    b.m_spoilHeaderCrc = true;
                },
                Code::InvalidHeaderCrc, StoredHeaderCrc},
        CDamage{"ScmSectionOffset", [](auto& b) { b.m_scmSectionOffset = 63u; }, Code::InvalidScmSectionOffset,
                Fixed(63u)},
        CDamage{"ScmSectionLengthBeyondTheBuffer", [](auto& b) { b.m_scmSectionLength = Capacity - 63u; },
                Code::InvalidScmSectionLength, Fixed(Capacity - 63u)},
        CDamage{"ScmSectionLengthWrapsAround", [](auto& b) { b.m_scmSectionLength = 0xFFFFFFF0u; },
                Code::InvalidScmSectionLength, Fixed(0xFFFFFFF0u)},
        CDamage{"ScmCrcOffsetInsideTheSection", [](auto& b) { b.m_scmCrcOffset = 64u + 20000u - 1u; },
                Code::InvalidScmCrcOffset, Fixed(64u + 20000u - 1u)},
        CDamage{"ScmCrcCount", [](auto& b) { b.m_scmCrcCount = 1u; }, Code::InvalidScmCrcCount, Fixed(1u)},
        CDamage{"ScmCrcsBeyondTheBuffer", [](auto& b) { b.m_scmCrcOffset = Capacity - 7u; }, Code::InvalidScmCrcLength,
                Fixed(2u)},
        CDamage{"ScmCrcsWrapAround", [](auto& b) { b.m_scmCrcOffset = 0xFFFFFFFCu; }, Code::InvalidScmCrcLength,
                Fixed(2u)},
        CDamage{"FirstBlockCrcReportsTheComputedValue", [](auto& b) { b.m_spoilBlockCrc = 0u; }, Code::InvalidScmCrc,
                [](const Bytes& file) { return Support::Crc32(file, 64u, 16384u); }},
        CDamage{"LastBlockCrc", [](auto& b) { b.m_spoilBlockCrc = 1u; }, Code::InvalidScmCrc,
                [](const Bytes& file) { return Support::Crc32(file, 64u + 16384u, 20000u - 16384u); }}),
    [](const ::testing::TestParamInfo<CDamage>& damage) { return damage.param.m_name; });

TEST(CTolParaSaf, ContentLongerThanTheBufferOrShorterThanTheHeaderIsRefused)
{
    Support::CTolParaSafBuilder builder;
    const Bytes file = builder.Build();
    CLoaded small(file, 100u);
    Support::ExpectException(Support::CaptureException([&] { small.m_tolParaSaf.ReadContent(101u); }),
                             Code::BufferTooShort, 100u, 101u);
    CLoaded huge(file, 0x10002u);
    // information0 holds the low 16 bits of the capacity
    Support::ExpectException(Support::CaptureException([&] { huge.m_tolParaSaf.ReadContent(0x10003u); }),
                             Code::BufferTooShort, 0x0002u, 0x10003u);
    for (const std::uint32_t length : {1u, 63u})
    {
        CLoaded loaded(file);
        Support::ExpectException(Support::CaptureException([&] { loaded.m_tolParaSaf.ReadContent(length); }),
                                 Code::BufferTooShort, 0u, length);
    }
    CLoaded exact(file, static_cast<std::uint32_t>(file.size()));
    EXPECT_NO_THROW(exact.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size())));
}

TEST(CTolParaSaf, SectionOrCrcsPastTheEndOfTheFileAreRefusedEvenInsideTheBuffer)
{
    // A bare header that places a 16-byte section and its CRC right after itself, in the zeroed rest of the
    // buffer: the CRC-32 of zeros is 0, so only the bounds keep this file from passing.
    Support::CTolParaSafBuilder sectionPastTheEnd;
    sectionPastTheEnd.m_scmSectionLength = 16u;
    sectionPastTheEnd.m_scmCrcOffset = 80u;
    sectionPastTheEnd.m_scmCrcCount = 1u;
    sectionPastTheEnd.m_totalLength = 64u;
    Bytes file = sectionPastTheEnd.Build();
    file.resize(64u);
    CLoaded loaded(file);
    Support::ExpectException(Support::CaptureException([&] { loaded.m_tolParaSaf.ReadContent(64u); }),
                             Code::InvalidScmSectionLength, 0u, 16u);

    // The section inside the file, its CRC table past the end.
    Support::CTolParaSafBuilder crcsPastTheEnd;
    crcsPastTheEnd.m_scmSection = Bytes(16u, 0u);
    crcsPastTheEnd.m_totalLength = 80u;
    Bytes withoutCrcs = crcsPastTheEnd.Build();
    withoutCrcs.resize(80u);
    CLoaded truncated(withoutCrcs);
    Support::ExpectException(Support::CaptureException([&] { truncated.m_tolParaSaf.ReadContent(80u); }),
                             Code::InvalidScmCrcLength, 0u, 1u);
}

TEST(CTolParaSaf, MalformedRecordsAreRefusedOnlyWhenRead)
{
    Support::CParameterStreamBuilder stream = Configuration();
    stream.m_tail = {0x01, 0x02};
    Support::CTolParaSafBuilder builder;
    builder.m_scmSection = stream.Build();
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    loaded.m_tolParaSaf.ReadContent(static_cast<std::uint32_t>(file.size()));
    Param::CTolParaSafScmSectionParameterReader reader(loaded.m_tolParaSaf);
    Param::CParameterSafetyAddressReader addresses(reader);
    addresses.Open();
    std::uint16_t sadr = 0;
    ASSERT_TRUE(addresses.TryReadNext(sadr));
    ASSERT_TRUE(addresses.TryReadNext(sadr));
    const auto position = static_cast<std::uint32_t>(builder.m_scmSection.size() - 2u);
    Support::ExpectException(Support::CaptureException([&] { (void)addresses.TryReadNext(sadr); }),
                             Param::CByteArrayReaderEventCode::IncompleteDescription, 0u, position);
    EXPECT_NO_THROW(reader.Open()) << "the refusal left the section closed, so it can be read again";
}

TEST(CTolParaSaf, MisuseRaisesTheGuard)
{
    const char* const file = "CTolParaSaf.cpp";
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CTolParaSaf tolParaSaf(16u, nullptr); }), file);
    Bytes buffer(64u, 0u);
    Param::CTolParaSaf tolParaSaf(64u, buffer.data());
    std::uint32_t length = 0;
    const std::uint8_t* section = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { tolParaSaf.StartReadingScmSection(length, section); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { tolParaSaf.StopReadingScmSection(); }), file);
    tolParaSaf.ReadContent(0u);
    tolParaSaf.StartReadingScmSection(length, section);
    EXPECT_EQ(0u, length);
    EXPECT_EQ(buffer.data(), section);
    Support::ExpectGuard(Support::CaptureGuard([&] { tolParaSaf.StartReadingScmSection(length, section); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { tolParaSaf.ReadContent(0u); }), file);
    tolParaSaf.StopReadingScmSection();

    Param::CTolParaSafScmSectionParameterReader reader(tolParaSaf);
    reader.Open();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Open(); }), file);
    reader.Close();
    Support::ExpectGuard(Support::CaptureGuard([&] { reader.Close(); }), "CByteArrayParameterReader.cpp");
}
} // namespace
