// Start-up of the scm-checker process: the domain number, the condition handshake with runtime and SCM, the
// self-verification of the executable, the hand-over semaphores, the check task's hand-over and its delay warning.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Scm/QdrhwtVerify.h"
#include "Scm/ScmEventLog.h"
#include "Scm/ScmKernel.h"
#include "ScmCheckerVersion.h"
#include "scmKernelEmulation.h"
#include "support/Files/CTesseraUidBuilder.h"
#include "support/Peers/CPlayedRuntime.h"
#include "support/Peers/CPlayedScm.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using namespace std::chrono_literals;
using Support::CCheckerProcess;

constexpr const char* EnvironmentMessage = "SCM checker failed to start: environment not defined?\n";

// The "SafetyDomainNumber" values that must not start a checker.
class StartUpBadDomain : public ::testing::TestWithParam<std::optional<std::string>>
{
protected:
    Support::CPlatformIsolation m_isolation;
};

TEST_P(StartUpBadDomain, PrintsTheEnvironmentMessageAndEndsWith255)
{
    CCheckerProcess checker({{"SafetyDomainNumber", GetParam()}});
    EXPECT_EQ(255, checker.WaitForExit(10s));
    EXPECT_EQ(EnvironmentMessage, checker.GetOutput());
}

INSTANTIATE_TEST_SUITE_P(Values, StartUpBadDomain,
                         ::testing::Values(std::nullopt, std::string(""), std::string("0"), std::string("1024"),
                                           std::string("abc"), std::string("12x")));

// A provisioned domain whose runtime and SCM the test plays.
class StartUp : public ::testing::Test
{
protected:
    explicit StartUp(std::uint16_t domain = 7u) : m_domain(domain), m_provisioner(domain)
    {
        m_provisioner.Create(Support::MakeCleanDomainProvision());
    }

    ~StartUp() override
    {
        m_provisioner.Destroy();
    }

    CCheckerProcess::CEnvironment Environment() const
    {
        return {{"SafetyDomainNumber", std::to_string(m_domain)}};
    }

    std::optional<std::uint32_t> WaitForCondition(std::uint32_t condition, int milliseconds) const
    {
        std::uint32_t information = 0u;
        if (scmKernelWaitForCondition(m_domain, condition, milliseconds, &information) != 0)
        {
            return std::nullopt;
        }
        return information;
    }

    // Reads the next event of the runtime's event queue, waiting at most about the given time.
    std::optional<Support::CEventRecord> ReceiveEvent(std::chrono::milliseconds timeout) const
    {
        return Support::CPlayedRuntime(m_domain).ReceiveEvent(timeout);
    }

    // Plays the SCM's side of one cycle: the checker's hand-over arrives, the SCM hands back.
    bool PlayScmCycle() const
    {
        return Support::CPlayedScm(m_domain).PlayCycle();
    }

    // Starts the checker and plays the runtime and the SCM through the handshake.
    void Handshake(CCheckerProcess& checker, std::uint32_t scmRevisionNumber) const
    {
        ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmStarted, 0u));
        ASSERT_EQ(std::optional<std::uint32_t>(SCM_CHECKER_REVISION_NUMBER),
                  WaitForCondition(ScmCheckerInitialized, 30000));
        ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmScmInitialized, scmRevisionNumber));
        ASSERT_TRUE(checker.IsRunning());
    }

    Support::CPlatformIsolation m_isolation;
    std::uint16_t m_domain;
    Support::CDomainProvisioner m_provisioner;
};

class StartUpForDomain : public StartUp, public ::testing::WithParamInterface<std::uint16_t>
{
protected:
    StartUpForDomain() : StartUp(GetParam()) {}
};

TEST_P(StartUpForDomain, WaitsForTheRuntimeThenPublishesItsRevisionNumber)
{
    CCheckerProcess checker(Environment());
    EXPECT_FALSE(checker.WaitForExit(300ms).has_value()) << checker.GetOutput();
    EXPECT_FALSE(WaitForCondition(ScmCheckerInitialized, 0).has_value()) << "published before the runtime started";
    ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmStarted, 0u));
    EXPECT_EQ(std::optional<std::uint32_t>(SCM_CHECKER_REVISION_NUMBER),
              WaitForCondition(ScmCheckerInitialized, 30000));
    EXPECT_TRUE(checker.IsRunning());
    EXPECT_EQ("", checker.GetOutput());
}

INSTANTIATE_TEST_SUITE_P(LowestAndHighest, StartUpForDomain, ::testing::Values(1u, 1023u));

TEST_F(StartUp, CheckTaskHandsOverToTheScmEveryCycle)
{
    CCheckerProcess checker(Environment());
    Handshake(checker, SCM_CHECKER_REVISION_NUMBER);
    for (int cycle = 0; cycle < 5; ++cycle)
    {
        ASSERT_TRUE(PlayScmCycle()) << "cycle " << cycle;
    }
    EXPECT_FALSE(ReceiveEvent(0ms).has_value()) << "a clean start posts no event";
}

TEST_F(StartUp, ScmWithAnotherRevisionNumberIsLoggedAndTheCheckTaskStillStarts)
{
    CCheckerProcess checker(Environment());
    const std::uint32_t scmRevisionNumber = SCM_CHECKER_REVISION_NUMBER + 1u;
    Handshake(checker, scmRevisionNumber);
    const std::optional<Support::CEventRecord> event = ReceiveEvent(10s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Error, event->m_level);
    EXPECT_EQ(0xE203u, event->m_code);
    EXPECT_EQ(0u, event->m_information0);
    EXPECT_EQ(scmRevisionNumber, event->m_information1);
    EXPECT_TRUE(PlayScmCycle());
}

TEST_F(StartUp, CycleGapOfMoreThanTenSecondsIsWarned)
{
    CCheckerProcess checker(Environment());
    Handshake(checker, SCM_CHECKER_REVISION_NUMBER);
    ASSERT_TRUE(PlayScmCycle());
    // Eleven seconds pass for the checker's microsecond counter between two cycle starts.
    ASSERT_EQ(0, scmKernelSetClockControl(m_domain, 11000000, 0, 0));
    ASSERT_TRUE(PlayScmCycle());
    ASSERT_TRUE(PlayScmCycle());
    const std::optional<Support::CEventRecord> event = ReceiveEvent(10s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Warning, event->m_level);
    EXPECT_EQ(0xE205u, event->m_code);
    EXPECT_EQ(m_domain, event->m_information0);
    EXPECT_GT(event->m_information1, 11000000u);
    EXPECT_LT(event->m_information1, 21000000u);
}

// A start-up step that fails in the checker process, made to fail through the platform's fault rules.
struct CStartFailureCase
{
    const char* m_name;
    const char* m_faults;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
    bool m_announced; // the failing step comes after the checker has published its revision number
};

// Names the case in test listings.
void PrintTo(const CStartFailureCase& testCase, std::ostream* stream)
{
    *stream << testCase.m_name;
}

class StartUpFailure : public StartUp, public ::testing::WithParamInterface<CStartFailureCase>
{
};

TEST_P(StartUpFailure, LogsTheFailureAndEndsWith255)
{
    const CStartFailureCase& parameter = GetParam();
    CCheckerProcess::CEnvironment environment = Environment();
    environment["SCM_FAULTS"] = parameter.m_faults;
    CCheckerProcess checker(environment);
    ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmStarted, 0u));
    if (parameter.m_announced)
    {
        ASSERT_TRUE(WaitForCondition(ScmCheckerInitialized, 30000).has_value());
        ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmScmInitialized, SCM_CHECKER_REVISION_NUMBER));
    }
    EXPECT_EQ(255, checker.WaitForExit(30s));
    const std::optional<Support::CEventRecord> event = ReceiveEvent(1s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Error, event->m_level);
    EXPECT_EQ(parameter.m_code, event->m_code);
    EXPECT_EQ(parameter.m_information0, event->m_information0);
    EXPECT_EQ(parameter.m_information1, event->m_information1);
    EXPECT_EQ(parameter.m_announced, WaitForCondition(ScmCheckerInitialized, 0).has_value());
    EXPECT_EQ("", checker.GetOutput());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartUpFailure,
    ::testing::Values(CStartFailureCase{"OpenToScmSemaphore", "semOpen:1", 0xE206u, 0u, EIO, false},
                      CStartFailureCase{"OpenFromScmSemaphore", "semOpen:2:2", 0xE206u, 1u, ENOENT, false},
                      // The session's timeout task is spawned first, the check task last.
                      CStartFailureCase{"SpawnTimeoutTask", "taskSpawn:1", 0xE209u, 0u, 0u, false},
                      CStartFailureCase{"SpawnCheckTask", "taskSpawn:2", 0xE204u, 0u, 0u, true}),
    [](const ::testing::TestParamInfo<CStartFailureCase>& testCase) { return testCase.param.m_name; });

// A failed give or take of the hand-over is logged with its errno; the next cycle hands over again.
class StartUpHandOverFailure : public StartUp, public ::testing::WithParamInterface<CStartFailureCase>
{
};

TEST_P(StartUpHandOverFailure, LogsTheFailureAndGoesOnWithTheNextCycle)
{
    const CStartFailureCase& parameter = GetParam();
    CCheckerProcess::CEnvironment environment = Environment();
    environment["SCM_FAULTS"] = parameter.m_faults;
    CCheckerProcess checker(environment);
    Handshake(checker, SCM_CHECKER_REVISION_NUMBER);
    const std::optional<Support::CEventRecord> event = ReceiveEvent(10s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Error, event->m_level);
    EXPECT_EQ(parameter.m_code, event->m_code);
    EXPECT_EQ(parameter.m_information0, event->m_information0);
    EXPECT_EQ(parameter.m_information1, event->m_information1);
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        ASSERT_TRUE(PlayScmCycle()) << "cycle " << cycle;
    }
    EXPECT_TRUE(checker.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Table, StartUpHandOverFailure,
                         ::testing::Values(CStartFailureCase{"Give", "semGive:1", 0xE206u, 2u, EIO, true},
                                           CStartFailureCase{"Take", "semTake:1:4", 0xE206u, 3u, EINTR, true}),
                         [](const ::testing::TestParamInfo<CStartFailureCase>& testCase)
                         { return testCase.param.m_name; });

// The SCM may write its key-medium signature between the checker's announcement and its own: the checker takes it
// over into its complemented copy before the first cycle. A copy that it cannot write is logged, and the checker
// runs on (fail-safe).
class StartUpSignature : public StartUp, public ::testing::WithParamInterface<bool>
{
};

TEST_P(StartUpSignature, IsTakenOverFromTheScmBeforeTheFirstCycle)
{
    const bool writeRefused = GetParam();
    Support::CTesseraUidBuilder signature;
    signature.m_kelUdid = {0x00u, 0x60u, 0x65u, 0x10u, 0x20u, 0x30u};
    signature.m_timestamp = 0x0102030405060708u;
    CCheckerProcess::CEnvironment environment = Environment();
    if (writeRefused)
    {
        environment["SCM_FAULTS"] = "ScmWriteStorage:1:28";
    }
    CCheckerProcess checker(environment);
    ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmStarted, 0u));
    ASSERT_TRUE(WaitForCondition(ScmCheckerInitialized, 30000).has_value());
    const Support::Bytes plain = signature.Build();
    ASSERT_EQ(0, scmKernelWriteStorage(m_domain, "tessera.uid", plain.data(), plain.size()));
    ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmScmInitialized, SCM_CHECKER_REVISION_NUMBER));
    ASSERT_TRUE(PlayScmCycle());

    signature.m_inverted = true;
    Support::Bytes copy(64u);
    const ssize_t length = scmKernelReadStorage(m_domain, "tessera.uid.chk", copy.data(), copy.size());
    ASSERT_GE(length, 0);
    copy.resize(static_cast<std::size_t>(length));
    EXPECT_EQ(writeRefused ? Support::Bytes{} : signature.Build(), copy);
    const std::optional<Support::CEventRecord> event = ReceiveEvent(writeRefused ? 1s : 100ms);
    EXPECT_EQ(writeRefused, event.has_value());
    if (event.has_value())
    {
        EXPECT_EQ(ScmEvent::Error, event->m_level);
        EXPECT_EQ(0xE234u, event->m_code); // the write of a storage failed
    }
    EXPECT_TRUE(checker.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Table, StartUpSignature, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& writeRefused)
                         { return writeRefused.param ? "WriteRefused" : "Written"; });

TEST_F(StartUp, ChangedExecutableRefusesToStart)
{
    // A copy of the checker with one byte changed far from its identification record.
    const std::filesystem::path copy = std::filesystem::path(m_isolation.GetKernelRoot()) / "scm-checker";
    std::ifstream input(CCheckerProcess::DefaultExecutable(), std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), 4096u);
    image[image.size() / 2] = static_cast<char>(image[image.size() / 2] ^ 0x01);
    std::ofstream(copy, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    ASSERT_EQ(0, chmod(copy.c_str(), 0700));

    CCheckerProcess checker(Environment(), copy.string());
    ASSERT_EQ(0, scmKernelSetCondition(m_domain, ScmStarted, 0u));
    EXPECT_EQ(255, checker.WaitForExit(30s));
    const std::optional<Support::CEventRecord> event = ReceiveEvent(1s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Error, event->m_level);
    EXPECT_EQ(0xE202u, event->m_code);
    EXPECT_EQ(QdrhwtImageCrc, event->m_information0);
    EXPECT_FALSE(WaitForCondition(ScmCheckerInitialized, 0).has_value());
}
} // namespace
