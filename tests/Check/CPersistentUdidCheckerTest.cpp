// UDID checker: loading, discovery, uniqueness, encoder consistency, the pending count and the acknowledgement that
// rewrites the key-medium UDID copy.
#include "Check/CPersistentUdidChecker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "Check/CUdidCheckEventCode.h"
#include "Param/CSafetyAddressReader.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using CheckTest::MakeUdid;
using Support::Udid;
using UdidRecords = std::vector<std::pair<std::uint16_t, Udid>>;

constexpr const char* FileName = "CPersistentUdidChecker.cpp";

Support::CParameterStreamBuilder MakeRequiredModules(const std::vector<std::uint16_t>& addresses)
{
    Support::CParameterStreamBuilder stream;
    for (const std::uint16_t safetyAddress : addresses)
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = 1u;
        module.m_productCode = 1u;
        module.m_majorRevision = 1u;
        module.m_minorRevision = 1u;
        stream.AddModule(module);
    }
    return stream;
}

/// The checker over a configuration of required addresses and a "tessera.dat.chk" of acknowledged UDIDs.
struct CUdidCheckerSetup
{
    CUdidCheckerSetup(const std::vector<std::uint16_t>& required, const UdidRecords& acknowledged)
        : m_configuration(MakeRequiredModules(required)), m_file(acknowledged),
          m_checker(m_configuration.m_safetyAddressReader, m_file.m_reader, m_file.m_writer, m_file)
    {
    }

    void Add(std::uint16_t safetyAddress, const Udid& udid)
    {
        const Udid inverted = Support::Complemented(udid);
        m_checker.AddDiscoveredModule(safetyAddress, inverted.data());
    }

    CheckTest::CConfiguration m_configuration;
    CheckTest::CAcknowledgedUdidFile m_file;
    Check::CPersistentUdidChecker m_checker;
};

/// Records handed out by a plain list, for values that the file readers refuse before the checker sees them.
class CListedSafetyAddressReader : public Param::CSafetyAddressReader
{
public:
    explicit CListedSafetyAddressReader(std::vector<std::uint16_t> addresses) : m_addresses(std::move(addresses)) {}
    void Open() override
    {
        m_position = 0u;
        m_open = true;
    }
    bool TryReadNext(std::uint16_t& safetyAddress) override
    {
        if (m_position == m_addresses.size())
        {
            return false;
        }
        safetyAddress = m_addresses[m_position++];
        return true;
    }
    void Close() override
    {
        m_open = false;
    }

    std::vector<std::uint16_t> m_addresses;
    std::size_t m_position = 0u;
    bool m_open = false;
};

TEST(CPersistentUdidChecker, LoadsRequiredAddressesAndAcknowledgedUdids)
{
    CUdidCheckerSetup setup({1u, 5u, 1023u}, {{5u, MakeUdid(5u)}, {7u, MakeUdid(7u)}});
    setup.m_checker.Initialize();
    for (std::uint16_t safetyAddress = 1u; safetyAddress <= 1023u; ++safetyAddress)
    {
        const bool required = (safetyAddress == 1u) || (safetyAddress == 5u) || (safetyAddress == 1023u);
        const bool acknowledged = (safetyAddress == 5u) || (safetyAddress == 7u);
        ASSERT_EQ(required, setup.m_checker.IsRequiredModule(safetyAddress)) << safetyAddress;
        ASSERT_EQ(acknowledged, setup.m_checker.IsAcknowledgedModule(safetyAddress)) << safetyAddress;
        ASSERT_FALSE(setup.m_checker.IsDiscoveredModule(safetyAddress)) << safetyAddress;
    }
    EXPECT_EQ(0u, setup.m_checker.GetUnacknowledgedModuleCount());
}

TEST(CPersistentUdidChecker, RefusesAnAllZeroAcknowledgedUdidAndStaysUninitialised)
{
    CUdidCheckerSetup setup({1u}, {{4u, Udid{}}});
    Support::ExpectException(Support::CaptureException([&] { setup.m_checker.Initialize(); }),
                             Check::CUdidCheckEventCode::InvalidUdid, 0u, 4u);
    Support::ExpectGuard(Support::CaptureException([&] { (void)setup.m_checker.IsRequiredModule(1u); }), FileName);
}

TEST(CPersistentUdidChecker, RefusesARequiredAddressOutOfRangeAndClosesTheReader)
{
    for (const std::uint16_t safetyAddress : {std::uint16_t{0u}, std::uint16_t{1024u}})
    {
        CListedSafetyAddressReader required({3u, safetyAddress});
        CheckTest::CAcknowledgedUdidFile file;
        Check::CPersistentUdidChecker checker(required, file.m_reader, file.m_writer, file);
        Support::ExpectException(Support::CaptureException([&] { checker.Initialize(); }),
                                 Check::CUdidCheckEventCode::InvalidSafetyAddress, 0u, safetyAddress);
        EXPECT_FALSE(required.m_open);
    }
}

TEST(CPersistentUdidChecker, GuardsEveryOperationBeforeInitializeAndASecondInitialize)
{
    CUdidCheckerSetup setup({1u}, {});
    const Udid inverted = Support::Complemented(MakeUdid(1u));
    Check::CPersistentUdidChecker& checker = setup.m_checker;
    const std::vector<std::function<void()>> operations = {
        [&] { checker.AddDiscoveredModule(1u, inverted.data()); },
        [&] { checker.RemoveDiscoveredModule(1u); },
        [&] { checker.AddDiscoveredEncoder(1u); },
        [&] { checker.RemoveDiscoveredEncoder(1u); },
        [&] { (void)checker.GetUnacknowledgedModuleCount(); },
        [&] { (void)checker.TryAcknowledgeModules(0u); },
        [&] { (void)checker.IsRequiredModule(1u); },
        [&] { (void)checker.IsAcknowledgedModule(1u); },
        [&] { (void)checker.IsDiscoveredModule(1u); },
        [&] { (void)checker.IsMatchingModule(1u); },
        [&] { (void)checker.IsConsistentModule(1u); },
        [&] { (void)checker.IsUniqueModule(1u); },
        [&] { (void)checker.IsValidModule(1u); },
    };
    for (std::size_t i = 0u; i < operations.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException(operations[i]), FileName);
    }
    checker.Initialize();
    Support::ExpectGuard(Support::CaptureException([&] { checker.Initialize(); }), FileName);
}

TEST(CPersistentUdidChecker, RefusesAddressesOutOfRangeInEveryOperation)
{
    CUdidCheckerSetup setup({1u}, {});
    Check::CPersistentUdidChecker& checker = setup.m_checker;
    checker.Initialize();
    const Udid inverted = Support::Complemented(MakeUdid(1u));
    for (const std::uint16_t safetyAddress : {std::uint16_t{0u}, std::uint16_t{1024u}, std::uint16_t{0xFFFFu}})
    {
        const std::vector<std::function<void()>> operations = {
            [&] { checker.AddDiscoveredModule(safetyAddress, inverted.data()); },
            [&] { checker.RemoveDiscoveredModule(safetyAddress); },
            [&] { checker.AddDiscoveredEncoder(safetyAddress); },
            [&] { checker.RemoveDiscoveredEncoder(safetyAddress); },
            [&] { (void)checker.IsRequiredModule(safetyAddress); },
            [&] { (void)checker.IsAcknowledgedModule(safetyAddress); },
            [&] { (void)checker.IsDiscoveredModule(safetyAddress); },
            [&] { (void)checker.IsMatchingModule(safetyAddress); },
            [&] { (void)checker.IsConsistentModule(safetyAddress); },
            [&] { (void)checker.IsUniqueModule(safetyAddress); },
            [&] { (void)checker.IsValidModule(safetyAddress); },
        };
        for (std::size_t i = 0u; i < operations.size(); ++i)
        {
            SCOPED_TRACE(testing::Message() << "address " << safetyAddress << ", operation " << i);
            Support::ExpectException(Support::CaptureException(operations[i]),
                                     Check::CUdidCheckEventCode::InvalidSafetyAddress, 0u, safetyAddress);
        }
    }
    Support::ExpectGuard(Support::CaptureException([&] { checker.AddDiscoveredModule(0u, nullptr); }), FileName);
}

TEST(CPersistentUdidChecker, RefusesAnAllZeroDiscoveredUdidAndEncodersWithoutAModule)
{
    CUdidCheckerSetup setup({2u}, {});
    setup.m_checker.Initialize();
    Support::ExpectException(Support::CaptureException([&] { setup.Add(2u, Udid{}); }),
                             Check::CUdidCheckEventCode::InvalidUdid, 0u, 2u);
    EXPECT_FALSE(setup.m_checker.IsDiscoveredModule(2u));
    EXPECT_EQ(0u, setup.m_checker.GetUnacknowledgedModuleCount());
    Support::ExpectException(Support::CaptureException([&] { setup.m_checker.AddDiscoveredEncoder(2u); }),
                             Check::CUdidCheckEventCode::NoModuleForEncoder, 0u, 2u);
    Support::ExpectException(Support::CaptureException([&] { setup.m_checker.RemoveDiscoveredEncoder(2u); }),
                             Check::CUdidCheckEventCode::NoModuleForEncoder, 0u, 2u);
}

TEST(CPersistentUdidChecker, ModulesSharingAUdidAreNotUniqueUntilAllButOneAreRemoved)
{
    CUdidCheckerSetup setup({}, {});
    setup.m_checker.Initialize();
    setup.Add(2u, MakeUdid(1u));
    setup.Add(3u, MakeUdid(1u));
    setup.Add(4u, MakeUdid(2u));
    setup.Add(9u, MakeUdid(1u));
    EXPECT_FALSE(setup.m_checker.IsUniqueModule(2u));
    EXPECT_FALSE(setup.m_checker.IsUniqueModule(3u));
    EXPECT_TRUE(setup.m_checker.IsUniqueModule(4u));
    setup.m_checker.RemoveDiscoveredModule(9u);
    EXPECT_FALSE(setup.m_checker.IsUniqueModule(2u)) << "two holders are left";
    setup.m_checker.RemoveDiscoveredModule(2u);
    EXPECT_TRUE(setup.m_checker.IsUniqueModule(3u));
    EXPECT_FALSE(setup.m_checker.IsUniqueModule(2u));
    EXPECT_TRUE(setup.m_checker.IsUniqueModule(4u));
}

TEST(CPersistentUdidChecker, ValidOnlyWhenRequiredMatchingConsistentAndUnique)
{
    CUdidCheckerSetup setup({1u, 2u}, {{1u, MakeUdid(1u)}, {2u, MakeUdid(2u)}, {3u, MakeUdid(3u)}});
    setup.m_checker.Initialize();
    setup.Add(1u, MakeUdid(1u));
    setup.Add(2u, MakeUdid(7u));
    setup.Add(3u, MakeUdid(3u));
    EXPECT_TRUE(setup.m_checker.IsValidModule(1u));
    EXPECT_FALSE(setup.m_checker.IsMatchingModule(2u)) << "another UDID than the acknowledged one";
    EXPECT_FALSE(setup.m_checker.IsValidModule(2u));
    EXPECT_FALSE(setup.m_checker.IsMatchingModule(3u)) << "a module that is not required never matches";
    EXPECT_FALSE(setup.m_checker.IsValidModule(3u));
    EXPECT_EQ(1u, setup.m_checker.GetUnacknowledgedModuleCount()) << "only the required module 2 is pending";

    setup.m_checker.RemoveDiscoveredEncoder(1u);
    EXPECT_FALSE(setup.m_checker.IsValidModule(1u));
    EXPECT_EQ(2u, setup.m_checker.GetUnacknowledgedModuleCount());
    setup.m_checker.AddDiscoveredEncoder(1u);
    EXPECT_TRUE(setup.m_checker.IsValidModule(1u));
    EXPECT_EQ(1u, setup.m_checker.GetUnacknowledgedModuleCount());

    setup.Add(4u, MakeUdid(1u));
    EXPECT_FALSE(setup.m_checker.IsValidModule(1u)) << "no longer unique";
    setup.m_checker.RemoveDiscoveredModule(4u);
    EXPECT_TRUE(setup.m_checker.IsValidModule(1u));
}

TEST(CPersistentUdidChecker, AcknowledgementNeedsTheExactPendingCountAndRewritesTheRecordsInAddressOrder)
{
    CUdidCheckerSetup setup({2u, 4u, 6u, 8u}, {{4u, MakeUdid(40u)}, {8u, MakeUdid(8u)}, {9u, MakeUdid(9u)}});
    setup.m_checker.Initialize();
    setup.Add(4u, MakeUdid(4u));
    setup.Add(2u, MakeUdid(2u));
    setup.Add(8u, MakeUdid(8u));
    setup.Add(11u, MakeUdid(11u));
    ASSERT_EQ(2u, setup.m_checker.GetUnacknowledgedModuleCount());
    const UdidRecords before = {{4u, MakeUdid(40u)}, {8u, MakeUdid(8u)}, {9u, MakeUdid(9u)}};

    for (const std::uint32_t wrongCount : {0u, 1u, 3u})
    {
        EXPECT_FALSE(setup.m_checker.TryAcknowledgeModules(wrongCount)) << wrongCount;
    }
    EXPECT_EQ(0u, setup.m_file.m_writeCount);
    EXPECT_FALSE(setup.m_checker.IsAcknowledgedModule(2u));
    EXPECT_EQ(before, setup.m_file.ReadBack());

    EXPECT_TRUE(setup.m_checker.TryAcknowledgeModules(2u));
    EXPECT_EQ(1u, setup.m_file.m_writeCount);
    const UdidRecords after = {{2u, MakeUdid(2u)}, {4u, MakeUdid(4u)}, {8u, MakeUdid(8u)}, {9u, MakeUdid(9u)}};
    EXPECT_EQ(after, setup.m_file.ReadBack()) << "required discovered modules take their discovered UDIDs; the "
                                                 "acknowledgement of 9, not discovered, stays";
    EXPECT_EQ(0u, setup.m_checker.GetUnacknowledgedModuleCount());
    for (const std::uint16_t safetyAddress : {2u, 4u, 8u})
    {
        EXPECT_TRUE(setup.m_checker.IsValidModule(safetyAddress)) << safetyAddress;
    }
    EXPECT_FALSE(setup.m_checker.IsAcknowledgedModule(6u)) << "required but not discovered";
    EXPECT_FALSE(setup.m_checker.IsAcknowledgedModule(11u)) << "discovered but not required";

    EXPECT_TRUE(setup.m_checker.TryAcknowledgeModules(0u)) << "nothing pending: the set is written again";
    EXPECT_EQ(2u, setup.m_file.m_writeCount);
    EXPECT_EQ(after, setup.m_file.ReadBack());
}

TEST(CPersistentUdidChecker, DuplicateRefusesTheWholeAcknowledgementBeforeAnythingChanges)
{
    CUdidCheckerSetup setup({2u, 3u, 5u}, {{7u, MakeUdid(7u)}});
    setup.m_checker.Initialize();
    setup.Add(2u, MakeUdid(2u));
    setup.Add(5u, MakeUdid(9u));
    setup.Add(3u, MakeUdid(9u));
    ASSERT_EQ(3u, setup.m_checker.GetUnacknowledgedModuleCount());

    Support::ExpectException(Support::CaptureException([&] { (void)setup.m_checker.TryAcknowledgeModules(3u); }),
                             Check::CUdidCheckEventCode::DuplicateUdid, 0u, 3u);
    EXPECT_FALSE(setup.m_checker.IsAcknowledgedModule(2u)) << "no module below the duplicate is acknowledged";
    EXPECT_EQ(3u, setup.m_checker.GetUnacknowledgedModuleCount());
    EXPECT_EQ(0u, setup.m_file.m_writeCount);
    EXPECT_EQ((UdidRecords{{7u, MakeUdid(7u)}}), setup.m_file.ReadBack());

    setup.m_checker.RemoveDiscoveredModule(5u);
    EXPECT_TRUE(setup.m_checker.TryAcknowledgeModules(2u)) << "the writer was not left open by the refusal";
    EXPECT_EQ((UdidRecords{{2u, MakeUdid(2u)}, {3u, MakeUdid(9u)}, {7u, MakeUdid(7u)}}), setup.m_file.ReadBack());
}

TEST(CPersistentUdidChecker, AModuleWithAnInconsistentEncoderStaysPendingThroughAnAcknowledgement)
{
    CUdidCheckerSetup setup({2u, 3u}, {});
    setup.m_checker.Initialize();
    setup.Add(2u, MakeUdid(2u));
    setup.Add(3u, MakeUdid(3u));
    setup.m_checker.RemoveDiscoveredEncoder(2u);
    ASSERT_EQ(2u, setup.m_checker.GetUnacknowledgedModuleCount());
    ASSERT_TRUE(setup.m_checker.TryAcknowledgeModules(2u));
    EXPECT_TRUE(setup.m_checker.IsMatchingModule(2u));
    EXPECT_FALSE(setup.m_checker.IsValidModule(2u));
    EXPECT_EQ(1u, setup.m_checker.GetUnacknowledgedModuleCount());
    setup.m_checker.AddDiscoveredEncoder(2u);
    EXPECT_TRUE(setup.m_checker.IsValidModule(2u));
    EXPECT_EQ(0u, setup.m_checker.GetUnacknowledgedModuleCount());
    setup.m_checker.RemoveDiscoveredEncoder(2u);
    setup.m_checker.RemoveDiscoveredModule(2u);
    EXPECT_EQ(0u, setup.m_checker.GetUnacknowledgedModuleCount());
}

/// The checker against a small model over eight addresses: after every step the pending count and every flag agree.
TEST(CPersistentUdidChecker, AgreesWithAModelOverRandomDiscoveriesEncodersAndAcknowledgements)
{
    const std::uint32_t seed = std::random_device{}();
    std::cout << "seed " << seed << std::endl;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);

    constexpr std::uint16_t AddressCount = 8u;
    const std::vector<std::uint16_t> required = {1u, 2u, 3u, 4u, 5u, 6u};
    CUdidCheckerSetup setup(required, {{2u, MakeUdid(2u)}, {5u, MakeUdid(1u)}, {8u, MakeUdid(3u)}});
    setup.m_checker.Initialize();

    struct CModel
    {
        bool m_required = false;
        std::optional<Udid> m_acknowledged;
        std::optional<Udid> m_discovered;
        bool m_consistent = false;
    };
    std::map<std::uint16_t, CModel> model;
    for (std::uint16_t a = 1u; a <= AddressCount; ++a)
    {
        model[a].m_required = (a <= 6u);
    }
    model[2u].m_acknowledged = MakeUdid(2u);
    model[5u].m_acknowledged = MakeUdid(1u);
    model[8u].m_acknowledged = MakeUdid(3u);

    const auto holders = [&](const Udid& udid)
    {
        unsigned count = 0u;
        for (const auto& entry : model)
        {
            count += (entry.second.m_discovered == udid) ? 1u : 0u;
        }
        return count;
    };
    const auto matching = [&](const CModel& module)
    { return module.m_required && module.m_discovered && module.m_acknowledged == module.m_discovered; };
    const auto pending = [&]
    {
        std::uint32_t count = 0u;
        for (const auto& entry : model)
        {
            const CModel& module = entry.second;
            count += (module.m_required && module.m_discovered && !(matching(module) && module.m_consistent)) ? 1u : 0u;
        }
        return count;
    };

    for (int step = 0; step < 4000; ++step)
    {
        const auto safetyAddress = static_cast<std::uint16_t>(1u + random() % AddressCount);
        CModel& module = model[safetyAddress];
        switch (random() % 6u)
        {
        case 0u:
        case 1u:
        {
            const Udid udid = MakeUdid(static_cast<std::uint8_t>(1u + random() % 4u));
            setup.m_checker.RemoveDiscoveredModule(safetyAddress);
            setup.Add(safetyAddress, udid);
            module.m_discovered = udid;
            module.m_consistent = true;
            break;
        }
        case 2u:
            setup.m_checker.RemoveDiscoveredModule(safetyAddress);
            module.m_discovered.reset();
            module.m_consistent = false;
            break;
        case 3u:
            if (module.m_discovered)
            {
                setup.m_checker.AddDiscoveredEncoder(safetyAddress);
                module.m_consistent = true;
            }
            break;
        case 4u:
            if (module.m_discovered)
            {
                setup.m_checker.RemoveDiscoveredEncoder(safetyAddress);
                module.m_consistent = false;
            }
            break;
        default:
        {
            std::optional<std::uint16_t> duplicate;
            for (const auto& entry : model)
            {
                if (!duplicate && entry.second.m_required && entry.second.m_discovered &&
                    holders(*entry.second.m_discovered) > 1u)
                {
                    duplicate = entry.first;
                }
            }
            if (duplicate)
            {
                Support::ExpectException(
                    Support::CaptureException([&] { (void)setup.m_checker.TryAcknowledgeModules(pending()); }),
                    Check::CUdidCheckEventCode::DuplicateUdid, 0u, *duplicate);
            }
            else
            {
                ASSERT_TRUE(setup.m_checker.TryAcknowledgeModules(pending()));
                for (auto& entry : model)
                {
                    if (entry.second.m_required && entry.second.m_discovered)
                    {
                        entry.second.m_acknowledged = entry.second.m_discovered;
                    }
                }
            }
            break;
        }
        }
        ASSERT_EQ(pending(), setup.m_checker.GetUnacknowledgedModuleCount()) << "step " << step;
        for (const auto& [a, m] : model)
        {
            const bool unique = m.m_discovered && holders(*m.m_discovered) == 1u;
            ASSERT_EQ(m.m_discovered.has_value(), setup.m_checker.IsDiscoveredModule(a)) << "step " << step;
            ASSERT_EQ(m.m_acknowledged.has_value(), setup.m_checker.IsAcknowledgedModule(a)) << "step " << step;
            ASSERT_EQ(matching(m), setup.m_checker.IsMatchingModule(a)) << "step " << step << ", address " << a;
            ASSERT_EQ(m.m_discovered && m.m_consistent, setup.m_checker.IsConsistentModule(a)) << "step " << step;
            ASSERT_EQ(unique, setup.m_checker.IsUniqueModule(a)) << "step " << step << ", address " << a;
            ASSERT_EQ(matching(m) && m.m_consistent && unique, setup.m_checker.IsValidModule(a)) << "step " << step;
        }
    }
    UdidRecords expected;
    for (const auto& [a, m] : model)
    {
        if (m.m_acknowledged)
        {
            expected.emplace_back(a, *m.m_acknowledged);
        }
    }
    if (setup.m_file.m_writeCount > 0u)
    {
        EXPECT_EQ(expected, setup.m_file.ReadBack());
    }
}
} // namespace
