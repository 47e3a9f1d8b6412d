// Parameter checker: configured checksums, and discovered checksums compared in length and content.
#include "Check/CPersistentParameterChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "Check/CParameterCheckEventCode.h"
#include "Param/CInvertedParameterChecksumReader.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::Bytes;

constexpr const char* FileName = "CPersistentParameterChecker.cpp";

Bytes MakeChecksum(std::size_t length, std::uint8_t seed)
{
    Bytes checksum(length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        checksum[i] = static_cast<std::uint8_t>(seed + 7u * i);
    }
    return checksum;
}

Support::CParameterStreamBuilder MakeConfiguration(const std::vector<std::pair<std::uint16_t, Bytes>>& checksums)
{
    Support::CParameterStreamBuilder stream;
    for (const auto& [safetyAddress, checksum] : checksums)
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = 1u;
        module.m_productCode = 1u;
        module.m_majorRevision = 1u;
        module.m_minorRevision = 1u;
        module.m_parameterChecksum = checksum;
        stream.AddModule(module);
    }
    return stream;
}

struct CParameterCheckerSetup
{
    explicit CParameterCheckerSetup(const std::vector<std::pair<std::uint16_t, Bytes>>& checksums)
        : m_configuration(MakeConfiguration(checksums)), m_checker(m_configuration.m_invertedChecksumReader)
    {
    }

    void Discover(std::uint16_t safetyAddress, const Bytes& checksum, bool removeFirst = true)
    {
        if (removeFirst)
        {
            m_checker.RemoveDiscoveredModule(safetyAddress);
        }
        // One byte more: the inspector always hands over its buffer, also for an empty checksum.
        Bytes inverted(checksum.size() + 1u, 0xFFu);
        std::transform(checksum.begin(), checksum.end(), inverted.begin(),
                       [](std::uint8_t byte) { return static_cast<std::uint8_t>(~byte); });
        m_checker.AddDiscoveredModule(safetyAddress, static_cast<std::uint32_t>(checksum.size()), inverted.data());
    }

    CheckTest::CConfiguration m_configuration;
    Check::CPersistentParameterChecker m_checker;
};

/// Records handed out by a plain list, for values that the stream filters refuse before the checker sees them.
class CListedChecksumReader : public Param::CInvertedParameterChecksumReader
{
public:
    explicit CListedChecksumReader(std::vector<std::pair<std::uint16_t, Bytes>> records) : m_records(std::move(records))
    {
    }
    void Open() override
    {
        m_position = 0u;
        m_open = true;
    }
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint32_t& checksumLength,
                     const std::uint8_t*& invertedChecksum) override
    {
        if (m_position == m_records.size())
        {
            return false;
        }
        const auto& record = m_records[m_position++];
        safetyAddress = record.first;
        checksumLength = static_cast<std::uint32_t>(record.second.size());
        invertedChecksum = record.second.data();
        return true;
    }
    void Close() override
    {
        m_open = false;
    }

    std::vector<std::pair<std::uint16_t, Bytes>> m_records;
    std::size_t m_position = 0u;
    bool m_open = false;
};

TEST(CPersistentParameterChecker, CompatibleOnlyWithTheConfiguredChecksumInLengthAndContent)
{
    const Bytes configured = MakeChecksum(8u, 1u);
    auto setup = std::make_unique<CParameterCheckerSetup>(
        std::vector<std::pair<std::uint16_t, Bytes>>{{3u, configured}, {1023u, MakeChecksum(256u, 9u)}});
    Check::CPersistentParameterChecker& checker = setup->m_checker;
    checker.Initialize();
    EXPECT_TRUE(checker.IsRequiredModule(3u));
    EXPECT_TRUE(checker.IsRequiredModule(1023u));
    EXPECT_FALSE(checker.IsRequiredModule(4u));

    Bytes changed = configured;
    changed[7] ^= 0x01u;
    Bytes longer = configured;
    longer.insert(longer.end(), 4u, 0u);
    const std::vector<std::pair<Bytes, bool>> cases = {
        {configured, true}, {changed, false}, {Bytes(configured.begin(), configured.begin() + 4), false},
        {longer, false},    {Bytes{}, false},
    };
    for (std::size_t i = 0u; i < cases.size(); ++i)
    {
        SCOPED_TRACE(i);
        setup->Discover(3u, cases[i].first);
        EXPECT_TRUE(checker.IsDiscoveredModule(3u));
        EXPECT_EQ(cases[i].second, checker.IsCompatibleModule(3u));
        EXPECT_EQ(cases[i].second, checker.IsValidModule(3u));
        setup->Discover(4u, cases[i].first);
        EXPECT_FALSE(checker.IsValidModule(4u)) << "no checksum is configured for 4";
    }
    setup->Discover(3u, configured);
    setup->Discover(3u, changed, false);
    EXPECT_TRUE(checker.IsValidModule(3u)) << "a discovered module is kept until it is removed";
    checker.RemoveDiscoveredModule(3u);
    EXPECT_FALSE(checker.IsDiscoveredModule(3u));
    EXPECT_FALSE(checker.IsValidModule(3u));

    setup->Discover(1023u, MakeChecksum(256u, 9u));
    EXPECT_TRUE(checker.IsValidModule(1023u));
}

TEST(CPersistentParameterChecker, RefusesReportedChecksumsAboveTwoHundredFiftySixBytesOrNotAMultipleOfFour)
{
    auto setup = std::make_unique<CParameterCheckerSetup>(
        std::vector<std::pair<std::uint16_t, Bytes>>{{3u, MakeChecksum(8u, 1u)}});
    setup->m_checker.Initialize();
    for (const std::size_t length : {1u, 2u, 6u, 255u, 257u, 260u, 1024u})
    {
        SCOPED_TRACE(length);
        Support::ExpectException(Support::CaptureException([&] { setup->Discover(3u, MakeChecksum(length, 1u)); }),
                                 Check::CParameterCheckEventCode::InvalidChecksum, 3u,
                                 static_cast<std::uint32_t>(length));
        EXPECT_FALSE(setup->m_checker.IsDiscoveredModule(3u));
    }
}

TEST(CPersistentParameterChecker, RefusesConfiguredChecksumsOfAnInvalidLengthOrAddress)
{
    struct CCase
    {
        std::uint16_t m_safetyAddress;
        std::size_t m_length;
        std::uint16_t m_eventCode;
        std::uint16_t m_information0;
        std::uint32_t m_information1;
    };
    const std::vector<CCase> cases = {
        {5u, 0u, Check::CParameterCheckEventCode::InvalidChecksum, 5u, 0u},
        {5u, 2u, Check::CParameterCheckEventCode::InvalidChecksum, 5u, 2u},
        {5u, 6u, Check::CParameterCheckEventCode::InvalidChecksum, 5u, 6u},
        {5u, 260u, Check::CParameterCheckEventCode::InvalidChecksum, 5u, 260u},
        {0u, 4u, Check::CParameterCheckEventCode::InvalidSafetyAddress, 0u, 0u},
        {1024u, 4u, Check::CParameterCheckEventCode::InvalidSafetyAddress, 0u, 1024u},
    };
    for (const CCase& invalid : cases)
    {
        SCOPED_TRACE(testing::Message() << invalid.m_safetyAddress << "/" << invalid.m_length);
        CListedChecksumReader reader(
            {{2u, MakeChecksum(4u, 1u)}, {invalid.m_safetyAddress, MakeChecksum(invalid.m_length, 2u)}});
        auto checker = std::make_unique<Check::CPersistentParameterChecker>(reader);
        Support::ExpectException(Support::CaptureException([&] { checker->Initialize(); }), invalid.m_eventCode,
                                 invalid.m_information0, invalid.m_information1);
        EXPECT_FALSE(reader.m_open);
        Support::ExpectGuard(Support::CaptureException([&] { (void)checker->IsRequiredModule(2u); }), FileName);
    }
}

TEST(CPersistentParameterChecker, GuardsBeforeInitializeAndRefusesAddressesOutOfRange)
{
    auto setup = std::make_unique<CParameterCheckerSetup>(std::vector<std::pair<std::uint16_t, Bytes>>{});
    Check::CPersistentParameterChecker& checker = setup->m_checker;
    const Bytes checksum = MakeChecksum(4u, 1u);
    std::uint16_t safetyAddress = 3u;
    const std::vector<std::function<void()>> operations = {
        [&] { checker.AddDiscoveredModule(safetyAddress, 4u, checksum.data()); },
        [&] { checker.RemoveDiscoveredModule(safetyAddress); },
        [&] { (void)checker.IsRequiredModule(safetyAddress); },
        [&] { (void)checker.IsDiscoveredModule(safetyAddress); },
        [&] { (void)checker.IsCompatibleModule(safetyAddress); },
        [&] { (void)checker.IsValidModule(safetyAddress); },
    };
    for (std::size_t i = 0u; i < operations.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException(operations[i]), FileName);
    }
    checker.Initialize();
    Support::ExpectGuard(Support::CaptureException([&] { checker.Initialize(); }), FileName);
    Support::ExpectGuard(Support::CaptureException([&] { checker.AddDiscoveredModule(0u, 4u, nullptr); }), FileName);
    for (const std::uint16_t invalid : {std::uint16_t{0u}, std::uint16_t{1024u}})
    {
        safetyAddress = invalid;
        for (std::size_t i = 0u; i < operations.size(); ++i)
        {
            SCOPED_TRACE(testing::Message() << "address " << invalid << ", operation " << i);
            Support::ExpectException(Support::CaptureException(operations[i]),
                                     Check::CParameterCheckEventCode::InvalidSafetyAddress, 0u, invalid);
        }
    }
}
} // namespace
