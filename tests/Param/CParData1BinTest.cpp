// The parameter data file: valid files read back, each reading check met by the damage it names, in order.
#include "Param/CParData1Bin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Param/CParData1BinEventCode.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
constexpr std::uint32_t Capacity = 65536u;

struct CLoaded
{
    explicit CLoaded(const Bytes& file, std::uint32_t capacity = Capacity)
        : m_buffer(capacity, 0u), m_parData1Bin(capacity, m_buffer.data())
    {
        std::copy(file.begin(), file.begin() + std::min<std::size_t>(file.size(), capacity), m_buffer.begin());
    }
    Bytes m_buffer;
    Param::CParData1Bin m_parData1Bin;
};

Support::CAdditionalParameterRecord Parameter(std::uint16_t sadr, std::uint8_t number, std::size_t length)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = sadr;
    parameter.m_parameterNumber = number;
    parameter.m_data.resize(length);
    for (std::size_t i = 0; i < length; ++i)
    {
        parameter.m_data[i] = static_cast<std::uint8_t>(i * 3u + number);
    }
    parameter.m_timestamp = 0x5E000000u + number;
    return parameter;
}

TEST(CParData1Bin, ValidFileHandsOutItsHeaderFieldsAndDataArea)
{
    Support::CParData1BinBuilder builder;
    builder.m_parameters = {Parameter(1u, 1u, 10u), Parameter(1023u, 16u, 0u)};
    builder.m_fileVersion = Support::CParData1BinBuilder::ms_LumoFileVersion;
    builder.m_timestamp = 0x12345678u;
    builder.m_dataGap = 8u;
    builder.m_crcGap = 4u;
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    loaded.m_parData1Bin.ReadContent(static_cast<std::uint32_t>(file.size()));
    EXPECT_EQ(0x12345678u, loaded.m_parData1Bin.GetTimestamp());
    std::uint16_t version = 0;
    std::uint32_t count = 0;
    std::uint32_t dataLength = 0;
    const std::uint8_t* data = nullptr;
    loaded.m_parData1Bin.StartReadingData(version, count, dataLength, data);
    EXPECT_EQ(0x200u, version);
    EXPECT_EQ(2u, count);
    const Bytes expected = builder.BuildData();
    ASSERT_EQ(expected.size(), dataLength);
    EXPECT_EQ(loaded.m_buffer.data() + 64u + 8u, data);
    EXPECT_EQ(expected, Bytes(data, data + dataLength));
    loaded.m_parData1Bin.StopReadingData();
}

TEST(CParData1Bin, EmptyFileIsVersionOneHundredWithoutData)
{
    Bytes buffer(8u, 0xAA);
    Param::CParData1Bin parData1Bin(8u, buffer.data());
    parData1Bin.ReadContent(0u);
    EXPECT_EQ(0u, parData1Bin.GetTimestamp());
    std::uint16_t version = 0;
    std::uint32_t count = 1;
    std::uint32_t dataLength = 1;
    const std::uint8_t* data = nullptr;
    parData1Bin.StartReadingData(version, count, dataLength, data);
    EXPECT_EQ(0x100u, version);
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, dataLength);
    EXPECT_NE(nullptr, data);
}

TEST(CParData1Bin, DataCrcsCoverBlocksOfSixteenKibibytes)
{
    for (const std::size_t length : {std::size_t{16384u - 16u}, std::size_t{16385u - 16u}, std::size_t{40000u}})
    {
        Support::CParData1BinBuilder builder;
        builder.m_parameters = {Parameter(7u, 2u, length)};
        const Bytes file = builder.Build();
        const std::uint32_t dataLength = static_cast<std::uint32_t>(length + 16u);
        const std::uint32_t crcCount = (dataLength + 16383u) / 16384u;
        ASSERT_EQ(64u + dataLength + 4u * crcCount, file.size());
        EXPECT_EQ(crcCount, Support::ReadUInt32(file, 20u));
        CLoaded loaded(file);
        EXPECT_NO_THROW(loaded.m_parData1Bin.ReadContent(static_cast<std::uint32_t>(file.size()))) << length;
    }
}

struct CDamage
{
    std::string m_name;
    std::function<void(Support::CParData1BinBuilder&)> m_damage;
    std::uint16_t m_reason;
    std::function<std::uint32_t(const Bytes&)> m_information1;
};

std::function<std::uint32_t(const Bytes&)> Fixed(std::uint32_t value)
{
    return [value](const Bytes&) { return value; };
}

class CParData1BinDamage : public ::testing::TestWithParam<CDamage>
{
};

TEST_P(CParData1BinDamage, IsRefusedWithTheReasonOfTheFirstFailingCheck)
{
    const CDamage& damage = GetParam();
    Support::CParData1BinBuilder builder;
    builder.m_parameters = {Parameter(5u, 1u, 20000u), Parameter(6u, 2u, 3u)}; // two data blocks
    damage.m_damage(builder);
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    Support::ExpectException(
        Support::CaptureException([&] { loaded.m_parData1Bin.ReadContent(static_cast<std::uint32_t>(file.size())); }),
        Param::CParData1BinEventCode::OtherReason, damage.m_reason, damage.m_information1(file));
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)loaded.m_parData1Bin.GetTimestamp(); }), "CParData1Bin.cpp");
}

using Reason = Param::CParData1BinOtherReasonInformation0;
constexpr std::uint32_t DataLength = 2u * 16u + 20000u + 3u;
std::uint32_t StoredHeaderCrc(const Bytes& file)
{
    return Support::ReadUInt32(file, 60u);
}

INSTANTIATE_TEST_SUITE_P(
    ReadingChecks, CParData1BinDamage,
    ::testing::Values(
        CDamage{"HeaderLength", [](auto& b) { b.m_headerLength = 32u; }, Reason::InvalidHeaderLength, Fixed(32u)},
        CDamage{"Version", [](auto& b) { b.m_fileVersion = 0x300u; }, Reason::InvalidVersion, Fixed(0x300u)},
        CDamage{"VersionBeforeHeaderCrc",
                [](auto& b)
                {
                    b.m_fileVersion = 0x101u;
                    b.m_spoilHeaderCrc = true;
                },
                Reason::InvalidVersion, Fixed(0x101u)},
        CDamage{"Offset", [](auto& b) { b.m_offset = 65u; }, Reason::InvalidOffset, Fixed(65u)},
        CDamage{"HeaderCrcReportsTheStoredValue", [](auto& b) { b.m_spoilHeaderCrc = true; }, Reason::InvalidHeaderCrc,
                StoredHeaderCrc},
        CDamage{"HeaderCrcBeforeLayout",
                [](auto& b)
                {
                    b.m_dataOffset = 1u;
                    b.m_spoilHeaderCrc = true;
                },
                Reason::InvalidHeaderCrc, StoredHeaderCrc},
        CDamage{"DataOffset", [](auto& b) { b.m_dataOffset = 63u; }, Reason::InvalidDataOffset, Fixed(63u)},
        CDamage{"DataLengthBeyondTheContent", [](auto& b) { b.m_dataLength = DataLength + 9u; },
                Reason::InvalidDataLength, Fixed(DataLength + 9u)},
        CDamage{"DataLengthWrapsAround", [](auto& b) { b.m_dataLength = 0xFFFFFFF0u; }, Reason::InvalidDataLength,
                Fixed(0xFFFFFFF0u)},
        CDamage{"CrcOffsetInsideTheData", [](auto& b) { b.m_crcOffset = 64u + DataLength - 4u; },
                Reason::InvalidCrcOffset, Fixed(64u + DataLength - 4u)},
        CDamage{"CrcCount", [](auto& b) { b.m_crcCount = 3u; }, Reason::InvalidCrcCount, Fixed(3u)},
        CDamage{"CrcsBeyondTheContent", [](auto& b) { b.m_crcOffset = 64u + DataLength + 1u; },
                Reason::InvalidCrcLength, Fixed(2u)},
        CDamage{"CrcsWrapAround", [](auto& b) { b.m_crcOffset = 0xFFFFFFFCu; }, Reason::InvalidCrcLength, Fixed(2u)},
        CDamage{"FirstDataCrcReportsTheComputedValue", [](auto& b) { b.m_spoilBlockCrc = 0u; }, Reason::InvalidDataCrc,
                [](const Bytes& file) { return Support::Crc32(file, 64u, 16384u); }},
        CDamage{"LastDataCrc", [](auto& b) { b.m_spoilBlockCrc = 1u; }, Reason::InvalidDataCrc,
                [](const Bytes& file) { return Support::Crc32(file, 64u + 16384u, DataLength - 16384u); }}),
    [](const ::testing::TestParamInfo<CDamage>& damage) { return damage.param.m_name; });

TEST(CParData1Bin, ContentLongerThanTheBufferOrShorterThanTheHeaderIsRefused)
{
    const Bytes file = Support::CParData1BinBuilder{}.Build();
    ASSERT_EQ(64u, file.size());
    CLoaded small(file, 64u);
    Support::ExpectException(Support::CaptureException([&] { small.m_parData1Bin.ReadContent(65u); }),
                             Param::CParData1BinEventCode::OtherReason, Reason::BufferTooShort, 65u);
    EXPECT_NO_THROW(small.m_parData1Bin.ReadContent(64u)) << "a header without data fits exactly";
    for (const std::uint32_t length : {1u, 63u})
    {
        CLoaded loaded(file);
        Support::ExpectException(Support::CaptureException([&] { loaded.m_parData1Bin.ReadContent(length); }),
                                 Param::CParData1BinEventCode::OtherReason, Reason::BufferTooShort, length);
    }
}

TEST(CParData1Bin, MisuseRaisesTheGuard)
{
    const char* const file = "CParData1Bin.cpp";
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CParData1Bin parData1Bin(16u, nullptr); }), file);
    Bytes buffer(64u, 0u);
    Param::CParData1Bin parData1Bin(64u, buffer.data());
    std::uint16_t version = 0;
    std::uint32_t count = 0;
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)parData1Bin.GetTimestamp(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { parData1Bin.StartReadingData(version, count, length, data); }),
                         file);
    Support::ExpectGuard(Support::CaptureGuard([&] { parData1Bin.StopReadingData(); }), file);
    parData1Bin.ReadContent(0u);
    parData1Bin.StartReadingData(version, count, length, data);
    Support::ExpectGuard(Support::CaptureGuard([&] { parData1Bin.StartReadingData(version, count, length, data); }),
                         file);
    Support::ExpectGuard(Support::CaptureGuard([&] { parData1Bin.ReadContent(0u); }), file);
}
} // namespace
