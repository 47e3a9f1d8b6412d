// The extended machine options file: header checks in their order, the raw content, the length limit.
#include "Param/CEmoData1Bin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Param/CEmoData1BinEventCode.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Reason = Param::CEmoData1BinOtherReasonInformation0;
constexpr std::uint32_t Capacity = 65536u;

struct CLoaded
{
    explicit CLoaded(const Bytes& file, std::uint32_t capacity = Capacity)
        : m_buffer(capacity, 0u), m_emoData1Bin(capacity, m_buffer.data())
    {
        std::copy(file.begin(), file.begin() + std::min<std::size_t>(file.size(), capacity), m_buffer.begin());
    }
    Bytes m_buffer;
    Param::CEmoData1Bin m_emoData1Bin;
};

TEST(CEmoData1Bin, ValidFileHandsOutItsTimestampAndWholeContent)
{
    for (const std::uint32_t length : {64u, 1000u, 65535u})
    {
        Support::CEmoData1BinBuilder builder;
        builder.m_timestamp = 0xA5A5F00Fu;
        builder.PadTo(length);
        const Bytes file = builder.Build();
        ASSERT_EQ(length, file.size());
        CLoaded loaded(file);
        loaded.m_emoData1Bin.ReadContent(length);
        EXPECT_TRUE(loaded.m_emoData1Bin.HasContent());
        EXPECT_EQ(0xA5A5F00Fu, loaded.m_emoData1Bin.GetTimestamp());
        std::uint16_t contentLength = 0;
        const std::uint8_t* content = nullptr;
        loaded.m_emoData1Bin.GetRawContent(contentLength, content);
        EXPECT_EQ(length, contentLength);
        EXPECT_EQ(loaded.m_buffer.data(), content) << "the header is part of the content";
    }
}

TEST(CEmoData1Bin, EmptyFileHasNoContent)
{
    Bytes buffer(8u, 0xEE);
    Param::CEmoData1Bin emoData1Bin(8u, buffer.data());
    emoData1Bin.ReadContent(0u);
    EXPECT_FALSE(emoData1Bin.HasContent());
    EXPECT_EQ(0u, emoData1Bin.GetTimestamp());
}

struct CDamage
{
    std::string m_name;
    std::function<void(Support::CEmoData1BinBuilder&)> m_damage;
    std::uint16_t m_reason;
    std::function<std::uint32_t(const Bytes&)> m_information1;
};

std::function<std::uint32_t(const Bytes&)> Fixed(std::uint32_t value)
{
    return [value](const Bytes&) { return value; };
}

class CEmoData1BinDamage : public ::testing::TestWithParam<CDamage>
{
};

TEST_P(CEmoData1BinDamage, IsRefusedWithTheReasonOfTheFirstFailingCheck)
{
    const CDamage& damage = GetParam();
    Support::CEmoData1BinBuilder builder;
    builder.m_timestamp = 42u;
    builder.PadTo(200u);
    damage.m_damage(builder);
    const Bytes file = builder.Build();
    CLoaded loaded(file);
    Support::ExpectException(
        Support::CaptureException([&] { loaded.m_emoData1Bin.ReadContent(static_cast<std::uint32_t>(file.size())); }),
        Param::CEmoData1BinEventCode::OtherReason, damage.m_reason, damage.m_information1(file));
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)loaded.m_emoData1Bin.HasContent(); }), "CEmoData1Bin.cpp");
}

INSTANTIATE_TEST_SUITE_P(
    ReadingChecks, CEmoData1BinDamage,
    ::testing::Values(
        CDamage{"SectionCount", [](auto& b) { b.m_sectionCount = 5u; }, Reason::InvalidSectionCount, Fixed(5u)},
        CDamage{"SectionCountBeforeHeaderLength",
                [](auto& b)
                {
                    b.m_sectionCount = 3u;
                    b.m_headerLength = 63u;
                },
                Reason::InvalidSectionCount, Fixed(3u)},
        CDamage{"HeaderLength", [](auto& b) { b.m_headerLength = 63u; }, Reason::InvalidHeaderLength, Fixed(63u)},
        CDamage{"Version", [](auto& b) { b.m_version = 2u; }, Reason::InvalidVersion, Fixed(2u)},
        CDamage{"VersionBeforeHeaderCrc",
                [](auto& b)
                {
                    b.m_version = 0u;
                    b.m_spoilHeaderCrc = true;
                },
                Reason::InvalidVersion, Fixed(0u)},
        CDamage{"HeaderCrcReportsTheComputedValue", [](auto& b) { b.m_spoilHeaderCrc = true; },
                Reason::InvalidHeaderCrc, [](const Bytes& file) { return Support::Crc32(file, 0u, 60u); }}),
    [](const ::testing::TestParamInfo<CDamage>& damage) { return damage.param.m_name; });

TEST(CEmoData1Bin, ContentTooShortTooLongOrBeyondTheBufferIsRefused)
{
    Support::CEmoData1BinBuilder builder;
    builder.PadTo(Capacity + 1u);
    const Bytes file = builder.Build();
    for (const std::uint32_t length : {1u, 63u, Capacity, Capacity + 1u})
    {
        SCOPED_TRACE(length);
        CLoaded loaded(file);
        Support::ExpectException(Support::CaptureException([&] { loaded.m_emoData1Bin.ReadContent(length); }),
                                 Param::CEmoData1BinEventCode::OtherReason, Reason::BufferTooShort, length);
    }
    SCOPED_TRACE("a length that a uint16 cannot describe is refused whatever the buffer");
    CLoaded large(file, Capacity + 8u);
    Support::ExpectException(Support::CaptureException([&] { large.m_emoData1Bin.ReadContent(Capacity + 1u); }),
                             Param::CEmoData1BinEventCode::OtherReason, Reason::BufferTooShort, Capacity + 1u);
}

TEST(CEmoData1Bin, MisuseRaisesTheGuard)
{
    const char* const file = "CEmoData1Bin.cpp";
    Support::ExpectGuard(Support::CaptureGuard([] { Param::CEmoData1Bin emoData1Bin(16u, nullptr); }), file);
    Bytes buffer(64u, 0u);
    Param::CEmoData1Bin emoData1Bin(64u, buffer.data());
    std::uint16_t length = 0;
    const std::uint8_t* content = nullptr;
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)emoData1Bin.GetTimestamp(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)emoData1Bin.HasContent(); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { emoData1Bin.GetRawContent(length, content); }), file);
}
} // namespace
