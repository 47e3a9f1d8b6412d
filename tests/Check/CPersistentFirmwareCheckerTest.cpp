// Firmware checker: loading, compatibility and matching of discovered versions, and the acknowledgement that
// rewrites the firmware revision copy.
#include "Check/CPersistentFirmwareChecker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "Check/CFirmwareCheckEventCode.h"
#include "Param/CByteArrayWriterEventCode.h"
#include "support/Test/GuardExpectation.h"
#include "tests/Check/CheckSupport.h"

namespace
{
using RevisionRecords = std::vector<std::pair<std::uint16_t, std::uint16_t>>;

constexpr const char* FileName = "CPersistentFirmwareChecker.cpp";

struct CVersion
{
    std::uint32_t m_vendorId;
    std::uint32_t m_productCode;
    std::uint16_t m_majorRevision;
    std::uint16_t m_minorRevision;
};

constexpr CVersion Configured{0x100u, 0x200u, 3u, 5u};

Support::CParameterStreamBuilder MakeConfiguration(const std::vector<std::pair<std::uint16_t, CVersion>>& modules)
{
    Support::CParameterStreamBuilder stream;
    for (const auto& [safetyAddress, version] : modules)
    {
        Support::CModuleRecord module;
        module.m_safetyAddress = safetyAddress;
        module.m_vendorId = version.m_vendorId;
        module.m_productCode = version.m_productCode;
        module.m_majorRevision = version.m_majorRevision;
        module.m_minorRevision = version.m_minorRevision;
        stream.AddModule(module);
    }
    return stream;
}

struct CFirmwareCheckerSetup
{
    CFirmwareCheckerSetup(const std::vector<std::pair<std::uint16_t, CVersion>>& configured,
                          const RevisionRecords& acknowledged)
        : m_configuration(MakeConfiguration(configured)), m_file(acknowledged),
          m_checker(m_configuration.m_invertedFirmwareVersionReader, m_file.m_reader, m_file.m_writer, m_file)
    {
    }

    /// Discovers the version afresh, as the inspector does.
    void Discover(std::uint16_t safetyAddress, const CVersion& version)
    {
        m_checker.RemoveDiscoveredModule(safetyAddress);
        m_checker.AddDiscoveredModule(safetyAddress, ~version.m_vendorId, ~version.m_productCode,
                                      static_cast<std::uint16_t>(~version.m_majorRevision),
                                      static_cast<std::uint16_t>(~version.m_minorRevision));
    }

    CheckTest::CConfiguration m_configuration;
    CheckTest::CAcknowledgedMinorRevisionFile m_file;
    Check::CPersistentFirmwareChecker m_checker;
};

TEST(CPersistentFirmwareChecker, CompatibleNeedsTheConfiguredVersionAndMatchingTheAcknowledgedMinorRevision)
{
    CFirmwareCheckerSetup setup({{3u, Configured}}, {{3u, 5u}, {4u, 5u}});
    setup.m_checker.Initialize();
    struct CCase
    {
        CVersion m_discovered;
        bool m_compatible;
        bool m_matching;
    };
    const std::vector<CCase> cases = {
        {{0x100u, 0x200u, 3u, 5u}, true, true},       {{0x100u, 0x200u, 3u, 6u}, true, false},
        {{0x100u, 0x200u, 3u, 0xFFFFu}, true, false}, {{0x100u, 0x200u, 3u, 4u}, false, false},
        {{0x100u, 0x200u, 4u, 5u}, false, false},     {{0x100u, 0x200u, 2u, 5u}, false, false},
        {{0x101u, 0x200u, 3u, 5u}, false, false},     {{0x100u, 0x201u, 3u, 5u}, false, false},
    };
    for (std::size_t i = 0u; i < cases.size(); ++i)
    {
        SCOPED_TRACE(i);
        setup.Discover(3u, cases[i].m_discovered);
        EXPECT_TRUE(setup.m_checker.IsDiscoveredModule(3u));
        EXPECT_EQ(cases[i].m_compatible, setup.m_checker.IsCompatibleModule(3u));
        EXPECT_EQ(cases[i].m_matching, setup.m_checker.IsMatchingModule(3u));
        EXPECT_EQ(cases[i].m_matching, setup.m_checker.IsValidModule(3u));
        setup.Discover(4u, cases[i].m_discovered);
        EXPECT_FALSE(setup.m_checker.IsCompatibleModule(4u)) << "no version is configured for 4";
        EXPECT_FALSE(setup.m_checker.IsValidModule(4u));
    }
    setup.m_checker.RemoveDiscoveredModule(3u);
    EXPECT_FALSE(setup.m_checker.IsDiscoveredModule(3u));
    EXPECT_FALSE(setup.m_checker.IsCompatibleModule(3u));
    EXPECT_FALSE(setup.m_checker.IsMatchingModule(3u));
    EXPECT_TRUE(setup.m_checker.IsAcknowledgedModule(3u));
}

TEST(CPersistentFirmwareChecker, AcknowledgementRecordsTheMinorRevisionOfEveryCompatibleModule)
{
    CFirmwareCheckerSetup setup({{2u, {0x100u, 0x200u, 3u, 1u}}, {3u, Configured}, {4u, Configured}},
                                {{3u, 5u}, {7u, 9u}});
    setup.m_checker.Initialize();
    setup.Discover(2u, {0x100u, 0x200u, 3u, 3u});
    setup.Discover(3u, {0x100u, 0x200u, 3u, 6u});
    setup.Discover(4u, {0x100u, 0x999u, 3u, 6u});

    EXPECT_TRUE(setup.m_checker.TryAcknowledgeModules());
    EXPECT_EQ(1u, setup.m_file.m_writeCount);
    EXPECT_EQ((RevisionRecords{{2u, 3u}, {3u, 6u}, {7u, 9u}}), setup.m_file.ReadBack());
    EXPECT_TRUE(setup.m_checker.IsValidModule(2u));
    EXPECT_TRUE(setup.m_checker.IsValidModule(3u));
    EXPECT_FALSE(setup.m_checker.IsAcknowledgedModule(4u)) << "an incompatible module is not acknowledged";

    setup.m_checker.RemoveDiscoveredModule(3u);
    EXPECT_TRUE(setup.m_checker.TryAcknowledgeModules());
    EXPECT_EQ((RevisionRecords{{2u, 3u}, {3u, 6u}, {7u, 9u}}), setup.m_file.ReadBack())
        << "acknowledgements of modules not discovered now stay as they are";
    setup.Discover(3u, {0x100u, 0x200u, 3u, 6u});
    EXPECT_TRUE(setup.m_checker.IsValidModule(3u));
}

TEST(CPersistentFirmwareChecker, AWriterThatRefusesLeavesTheAcknowledgementsAsTheyWere)
{
    // Room for the fixed part of the file and one module entry.
    constexpr std::uint32_t OneEntryFileLength = Param::CFwRevCnfBinChk::ms_ContentLengthMin + 4u;
    CheckTest::CConfiguration configuration(MakeConfiguration({{2u, Configured}, {3u, Configured}}));
    CheckTest::CAcknowledgedMinorRevisionFile file({}, OneEntryFileLength);
    Check::CPersistentFirmwareChecker checker(configuration.m_invertedFirmwareVersionReader, file.m_reader,
                                              file.m_writer, file);
    checker.Initialize();
    for (const std::uint16_t safetyAddress : {std::uint16_t{2u}, std::uint16_t{3u}})
    {
        checker.AddDiscoveredModule(safetyAddress, ~Configured.m_vendorId, ~Configured.m_productCode,
                                    static_cast<std::uint16_t>(~Configured.m_majorRevision),
                                    static_cast<std::uint16_t>(~Configured.m_minorRevision));
    }
    const Util::CException refusal = Support::CaptureException([&] { (void)checker.TryAcknowledgeModules(); });
    Support::ExpectException(refusal, Param::CByteArrayWriterEventCode::BufferTooShort, 4u, 4u);
    EXPECT_EQ(0u, file.m_writeCount);
    for (const std::uint16_t safetyAddress : {std::uint16_t{2u}, std::uint16_t{3u}})
    {
        EXPECT_FALSE(checker.IsAcknowledgedModule(safetyAddress)) << safetyAddress;
        EXPECT_FALSE(checker.IsMatchingModule(safetyAddress)) << safetyAddress;
    }
}

TEST(CPersistentFirmwareChecker, RefusesZeroVersionValues)
{
    CFirmwareCheckerSetup setup({{3u, Configured}}, {});
    setup.m_checker.Initialize();
    const std::vector<CVersion> versions = {
        {0u, 0x200u, 3u, 5u}, {0x100u, 0u, 3u, 5u}, {0x100u, 0x200u, 0u, 5u}, {0x100u, 0x200u, 3u, 0u}};
    for (std::size_t i = 0u; i < versions.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectException(Support::CaptureException([&] { setup.Discover(3u, versions[i]); }),
                                 Check::CFirmwareCheckEventCode::InvalidVersion, 0u, 3u);
        EXPECT_FALSE(setup.m_checker.IsDiscoveredModule(3u));

        CFirmwareCheckerSetup configured({{3u, Configured}, {8u, versions[i]}}, {});
        Support::ExpectException(Support::CaptureException([&] { configured.m_checker.Initialize(); }),
                                 Check::CFirmwareCheckEventCode::InvalidVersion, 0u, 8u);
    }
    CFirmwareCheckerSetup acknowledged({{3u, Configured}}, {{3u, 5u}, {6u, 0u}});
    Support::ExpectException(Support::CaptureException([&] { acknowledged.m_checker.Initialize(); }),
                             Check::CFirmwareCheckEventCode::InvalidVersion, 0u, 6u);
    Support::ExpectGuard(Support::CaptureException([&] { (void)acknowledged.m_checker.IsRequiredModule(3u); }),
                         FileName);
}

TEST(CPersistentFirmwareChecker, GuardsBeforeInitializeAndRefusesAddressesOutOfRange)
{
    CFirmwareCheckerSetup setup({{3u, Configured}}, {});
    Check::CPersistentFirmwareChecker& checker = setup.m_checker;
    std::uint16_t safetyAddress = 3u;
    const std::vector<std::function<void()>> operations = {
        [&] { checker.AddDiscoveredModule(safetyAddress, 1u, 1u, 1u, 1u); },
        [&] { checker.RemoveDiscoveredModule(safetyAddress); },
        [&] { (void)checker.IsRequiredModule(safetyAddress); },
        [&] { (void)checker.IsAcknowledgedModule(safetyAddress); },
        [&] { (void)checker.IsDiscoveredModule(safetyAddress); },
        [&] { (void)checker.IsCompatibleModule(safetyAddress); },
        [&] { (void)checker.IsMatchingModule(safetyAddress); },
        [&] { (void)checker.IsValidModule(safetyAddress); },
    };
    for (std::size_t i = 0u; i < operations.size(); ++i)
    {
        SCOPED_TRACE(i);
        Support::ExpectGuard(Support::CaptureException(operations[i]), FileName);
    }
    Support::ExpectGuard(Support::CaptureException([&] { (void)checker.TryAcknowledgeModules(); }), FileName);
    checker.Initialize();
    Support::ExpectGuard(Support::CaptureException([&] { checker.Initialize(); }), FileName);
    for (const std::uint16_t invalid : {std::uint16_t{0u}, std::uint16_t{1024u}})
    {
        safetyAddress = invalid;
        for (std::size_t i = 0u; i < operations.size(); ++i)
        {
            SCOPED_TRACE(testing::Message() << "address " << invalid << ", operation " << i);
            Support::ExpectException(Support::CaptureException(operations[i]),
                                     Check::CFirmwareCheckEventCode::InvalidSafetyAddress, 0u, invalid);
        }
    }
}
} // namespace
