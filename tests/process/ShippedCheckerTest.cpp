// The shipped scm-checker: none of the test controls in its file, hardened by its link, refusing to start with a
// test control in its environment, closed to inspection and core dumps, and warning when the host refuses its
// real-time provisions.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Scm/ScmEventLog.h"
#include "Scm/ScmKernel.h"
#include "ScmCheckerVersion.h"
#include "scmKernelEmulation.h"
#include "support/Peers/CPlayedRuntime.h"
#include "support/Peers/CPlayedScm.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"
#include "support/Test/CElfFile.h"

namespace
{
using namespace std::chrono_literals;
using Support::CCheckerProcess;
using CVariant = Support::CCheckerProcess::CVariant;

constexpr bool Fortified = (SCM_FORTIFIED != 0);
constexpr const char* TestControlsMessage = "SCM checker failed to start: test controls in the environment?\n";
constexpr std::uint16_t Domain = 7u;

std::string ReadFile(const std::string& path)
{
    std::ifstream input(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
}

bool Contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}

// Names that the test controls bring into a program: their environment variables, their classes' symbols.
TEST(ShippedCheckerFile, HoldsNoTestControl)
{
    const std::string shipped = ReadFile(CCheckerProcess::GetExecutable(CVariant::Shipped));
    const std::string test = ReadFile(CCheckerProcess::GetExecutable(CVariant::Test));
    ASSERT_FALSE(shipped.empty());
    for (const char* name : {"SCM_FAULTS", "SCM_CLOCK_SHIFT_US", "SCM_TICK_RATE", "SCM_TASK_SCHEDULING",
                             "CFaultInjector", "CControlledClock"})
    {
        EXPECT_FALSE(Contains(shipped, name)) << name;
        EXPECT_TRUE(Contains(test, name)) << name << " is not even in the test build: the search proves nothing";
    }
}

TEST(ShippedCheckerFile, IsPositionIndependentBindsNowAndHasStackCanaries)
{
    const std::string path = CCheckerProcess::GetExecutable(CVariant::Shipped);
    const Support::CElfFile checker(path);
    std::uint64_t flags = 0u;
    std::uint64_t flags1 = 0u;
    for (const Elf64_Dyn& entry : checker.GetDynamicEntries())
    {
        flags |= (entry.d_tag == DT_FLAGS) ? entry.d_un.d_val : 0u;
        flags1 |= (entry.d_tag == DT_FLAGS_1) ? entry.d_un.d_val : 0u;
    }
    EXPECT_NE(0u, flags1 & DF_1_PIE);
    EXPECT_NE(0u, flags & DF_BIND_NOW);
    EXPECT_NE(0u, flags1 & DF_1_NOW);
    const std::vector<Elf64_Phdr>& segments = checker.GetSegments();
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(),
                            [](const Elf64_Phdr& segment) { return segment.p_type == PT_GNU_RELRO; }));
    const std::string file = ReadFile(path);
    EXPECT_TRUE(Contains(file, "__stack_chk_fail"));
    if (Fortified)
    {
        // main formats into fixed buffers and prints: the fortified variants check their bounds.
        EXPECT_TRUE(Contains(file, "__snprintf_chk"));
        EXPECT_TRUE(Contains(file, "__printf_chk"));
    }
}

// Each test control, set for the shipped checker: refused before anything else of the start-up. No domain exists,
// so a checker that went on would end with another message.
class ShippedCheckerRefusal : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{
protected:
    Support::CPlatformIsolation m_isolation;
};

TEST_P(ShippedCheckerRefusal, PrintsTheTestControlsMessageAndEndsWith255)
{
    CCheckerProcess checker({{"SafetyDomainNumber", std::to_string(Domain)}, {GetParam().first, GetParam().second}},
                            CVariant::Shipped);
    EXPECT_EQ(255, checker.WaitForExit(10s));
    EXPECT_EQ(TestControlsMessage, checker.GetOutput());
}

INSTANTIATE_TEST_SUITE_P(Variables, ShippedCheckerRefusal,
                         ::testing::Values(std::make_pair("SCM_FAULTS", "msgQSend:1"), std::make_pair("SCM_FAULTS", ""),
                                           std::make_pair("SCM_CLOCK_SHIFT_US", "11000000"),
                                           std::make_pair("SCM_TICK_RATE", "1"),
                                           std::make_pair("SCM_TASK_SCHEDULING", "normal")),
                         [](const ::testing::TestParamInfo<std::pair<const char*, const char*>>& variable) {
                             return std::string(variable.param.first) + (*variable.param.second == '\0' ? "Empty" : "");
                         });

TEST(ShippedCheckerStart, BadDomainNumberComesFirst)
{
    Support::CPlatformIsolation isolation;
    CCheckerProcess checker({{"SafetyDomainNumber", std::nullopt}, {"SCM_FAULTS", "msgQSend:1"}}, CVariant::Shipped);
    EXPECT_EQ(255, checker.WaitForExit(10s));
    EXPECT_EQ("SCM checker failed to start: environment not defined?\n", checker.GetOutput());
}

// The "Max core file size" limits of a process, "<soft> <hard>" as /proc shows them.
std::string ReadCoreLimits(pid_t pid)
{
    std::ifstream limits("/proc/" + std::to_string(pid) + "/limits");
    std::string line;
    while (std::getline(limits, line))
    {
        if (line.rfind("Max core file size", 0u) == 0u)
        {
            std::istringstream fields(line.substr(18u));
            std::string soft;
            std::string hard;
            fields >> soft >> hard;
            return soft + " " + hard;
        }
    }
    return "";
}

// Opens /proc/<pid>/mem from a thread without CAP_SYS_PTRACE in its effective set (capabilities belong to a thread
// on Linux), so that the target's dumpable flag decides as it does for any unprivileged inspector. 0 or the errno.
int OpenMemoryWithoutPtraceCapability(pid_t pid)
{
    int error = 0;
    std::thread inspector(
        [pid, &error]
        {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
            if (syscall(SYS_capget, &header, data) == 0)
            {
                data[CAP_TO_INDEX(CAP_SYS_PTRACE)].effective &= ~CAP_TO_MASK(CAP_SYS_PTRACE);
                (void)syscall(SYS_capset, &header, data);
            }
            const int descriptor = open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDONLY | O_CLOEXEC);
            error = (descriptor >= 0) ? 0 : errno;
            if (descriptor >= 0)
            {
                (void)close(descriptor);
            }
        });
    inspector.join();
    return error;
}

// The checker inherits a core limit as large as allowed, so that its own limit of 0 shows, and no CAP_SYS_PTRACE:
// an inspector must hold every capability that its target may use, whatever the target's dumpable flag.
void PrepareForInspection()
{
    rlimit core{};
    if (getrlimit(RLIMIT_CORE, &core) == 0)
    {
        core.rlim_cur = core.rlim_max;
        (void)setrlimit(RLIMIT_CORE, &core);
    }
    (void)prctl(PR_CAPBSET_DROP, CAP_SYS_PTRACE, 0, 0, 0);
}

// Takes away what real-time provisions need: the limits and, for root, the capabilities that override them.
void DropRealTimeRights()
{
    const rlimit none{0u, 0u};
    (void)setrlimit(RLIMIT_RTPRIO, &none);
    (void)setrlimit(RLIMIT_MEMLOCK, &none);
    (void)prctl(PR_CAPBSET_DROP, CAP_SYS_NICE, 0, 0, 0);
    (void)prctl(PR_CAPBSET_DROP, CAP_IPC_LOCK, 0, 0, 0);
}

// A clean domain on which a checker starts and, before the runtime has started it, waits.
class ShippedCheckerProcess : public ::testing::Test
{
protected:
    ShippedCheckerProcess() : m_provisioner(Domain)
    {
        m_provisioner.Create(Support::MakeCleanDomainProvision());
    }

    ~ShippedCheckerProcess() override
    {
        m_provisioner.Destroy();
    }

    static CCheckerProcess::CEnvironment Environment()
    {
        return {{"SafetyDomainNumber", std::to_string(Domain)}};
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
};

TEST_F(ShippedCheckerProcess, IsNotDumpableAndHasNoCoreLimit)
{
    rlimit core{};
    ASSERT_EQ(0, getrlimit(RLIMIT_CORE, &core));
    if (core.rlim_max == 0u)
    {
        GTEST_SKIP() << "a hard core limit of 0 leaves nothing to lower";
    }
    CCheckerProcess shipped(Environment(), CVariant::Shipped, PrepareForInspection);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while ((ReadCoreLimits(shipped.GetPid()) != "0 0") && (std::chrono::steady_clock::now() < deadline))
    {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ("0 0", ReadCoreLimits(shipped.GetPid()));
    EXPECT_EQ(EACCES, OpenMemoryWithoutPtraceCapability(shipped.GetPid()));
    EXPECT_TRUE(shipped.IsRunning()) << shipped.GetOutput();

    // The same inspector opens the test build's memory, which stays open to tests, and sees its inherited limit.
    CCheckerProcess test(Environment(), CVariant::Test, PrepareForInspection);
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(test.IsRunning()) << test.GetOutput();
    EXPECT_EQ(0, OpenMemoryWithoutPtraceCapability(test.GetPid()));
    EXPECT_NE("0 0", ReadCoreLimits(test.GetPid()));
}

TEST_F(ShippedCheckerProcess, WithoutRealTimeRightsWarnsAtStartAndRuns)
{
    CCheckerProcess checker(Environment(), CVariant::Shipped, DropRealTimeRights);
    Support::CPlayedScm scm(Domain);
    ASSERT_EQ(0, scmKernelSetCondition(Domain, ScmStarted, 0u));
    ASSERT_EQ(std::optional<std::uint32_t>(SCM_CHECKER_REVISION_NUMBER), scm.WaitForCheckerRevision(30s))
        << checker.GetOutput();
    scm.PublishRevision(SCM_CHECKER_REVISION_NUMBER);
    const std::optional<Support::CEventRecord> event = Support::CPlayedRuntime(Domain).ReceiveEvent(10s);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(ScmEvent::Warning, event->m_level);
    EXPECT_EQ(0xE205u, event->m_code);
    EXPECT_EQ(0u, event->m_information0);
    EXPECT_EQ(3u, event->m_information1) << "real-time scheduling (1) and memory locking (2) refused";
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        ASSERT_TRUE(scm.PlayCycle()) << "cycle " << cycle;
    }
    EXPECT_TRUE(checker.IsRunning());
    EXPECT_FALSE(Support::CPlayedRuntime(Domain).ReceiveEvent(0ms).has_value()) << "one warning, nothing else";
}
} // namespace
