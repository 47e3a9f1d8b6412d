// The running checker finds a changed byte of its code memory: event 0xE24D with the section and block of the
// change, in the cycle in which its code-memory test completes that block, and the cycle goes on.
#include <elf.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Scm/ScmEventLog.h"
#include "ScmCheckerVersion.h"
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
using Support::CElfFile;

constexpr std::uint16_t BlockCrcMismatch = 0xE24Du;
constexpr std::uint64_t BlockLength = 16384u;
constexpr std::uint64_t ChunkLength = 256u;
// The tester's sections in order: .init, .text, .fini, .rodata, the unwind tables.
constexpr std::uint16_t TextSectionIndex = 1u;
// The block of .text to change: the third, which the test reaches after about 200 cycles, with a block index that
// differs from the section index.
constexpr std::uint64_t PreferredBlock = 2u;

// Calls of the code-memory test for one section: 256 bytes each, one for an empty section.
std::uint64_t GetCallCount(std::uint64_t length)
{
    return (length == 0u) ? 1u : (length + ChunkLength - 1u) / ChunkLength;
}

// A byte of the block that lies in no function: alignment padding, which the checker never executes.
std::optional<std::uint64_t> FindUnusedCodeByte(const CElfFile& executable, std::uint64_t start, std::uint64_t end)
{
    std::vector<bool> used(end - start, false);
    for (const CElfFile::CSymbol& symbol : executable.GetSymbols())
    {
        if (symbol.m_type != STT_FUNC)
        {
            continue;
        }
        const std::uint64_t symbolEnd = std::min(symbol.m_address + symbol.m_size, end);
        for (std::uint64_t at = std::max(symbol.m_address, start); at < symbolEnd; ++at)
        {
            used[at - start] = true;
        }
    }
    for (std::uint64_t at = start; at < end; ++at)
    {
        if (!used[at - start])
        {
            return at;
        }
    }
    return std::nullopt;
}

std::string ReadLink(const std::string& path)
{
    char target[PATH_MAX] = {};
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1u);
    return (length > 0) ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// The child of this process that runs the executable (the checker process helper does not tell its pid).
pid_t FindChild(const std::string& executable)
{
    char* resolved = realpath(executable.c_str(), nullptr);
    const std::string path = (resolved != nullptr) ? resolved : executable;
    std::free(resolved);
    DIR* directory = opendir("/proc");
    pid_t found = -1;
    for (dirent* entry = (directory != nullptr) ? readdir(directory) : nullptr; entry != nullptr && found < 0;
         entry = readdir(directory))
    {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        if (pid <= 0 || !std::getline(stat, line) || line.rfind(')') == std::string::npos)
        {
            continue;
        }
        // Fields after the command name: state, then the parent's pid.
        std::istringstream fields(line.substr(line.rfind(')') + 1u));
        std::string state;
        pid_t parent = -1;
        fields >> state >> parent;
        if (parent == getpid() && ReadLink("/proc/" + std::to_string(pid) + "/exe") == path)
        {
            found = pid;
        }
    }
    if (directory != nullptr)
    {
        (void)closedir(directory);
    }
    return found;
}

// Where the process has mapped the start of the executable file.
std::optional<std::uint64_t> FindLoadBase(pid_t pid, const std::string& executable)
{
    char* resolved = realpath(executable.c_str(), nullptr);
    const std::string path = (resolved != nullptr) ? resolved : executable;
    std::free(resolved);
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);)
    {
        std::istringstream fields(line);
        std::string range;
        std::string permissions;
        std::string offset;
        std::string device;
        std::string inode;
        std::string mapped;
        fields >> range >> permissions >> offset >> device >> inode >> mapped;
        if (mapped == path && std::stoull(offset, nullptr, 16) == 0u)
        {
            return std::stoull(range.substr(0u, range.find('-')), nullptr, 16);
        }
    }
    return std::nullopt;
}

class CodeMemory : public ::testing::Test
{
protected:
    CodeMemory() : m_provisioner(m_domain)
    {
        m_provisioner.Create(Support::MakeCleanDomainProvision());
    }

    ~CodeMemory() override
    {
        m_provisioner.Destroy();
    }

    Support::CPlatformIsolation m_isolation;
    std::uint16_t m_domain = 11u;
    Support::CDomainProvisioner m_provisioner;
};

TEST_F(CodeMemory, ChangedCodeByteIsFoundWhenTheTestCompletesItsBlock)
{
    const std::string path = CCheckerProcess::DefaultExecutable();
    const CElfFile executable(path);
    const std::optional<CElfFile::CSection> textSection = executable.FindSection(".text");
    ASSERT_TRUE(textSection.has_value());
    const Elf64_Shdr& text = textSection->m_header;
    ASSERT_EQ(text.sh_addr, executable.GetSymbol("LdTextStart"));
    const std::uint64_t textBlockCount = (text.sh_size + BlockLength - 1u) / BlockLength;
    const std::uint64_t block = std::min(PreferredBlock, textBlockCount - 1u);
    const std::uint64_t blockStart = text.sh_addr + block * BlockLength;
    const std::uint64_t blockEnd = std::min(blockStart + BlockLength, text.sh_addr + text.sh_size);
    const std::optional<std::uint64_t> target = FindUnusedCodeByte(executable, blockStart, blockEnd);
    ASSERT_TRUE(target.has_value()) << "block " << block << " of .text is all functions";

    // The call that completes the block: all of .init, then .text block by block.
    std::uint64_t cycle = GetCallCount(executable.GetSymbol("LdInitEnd") - executable.GetSymbol("LdInitStart"));
    for (std::uint64_t earlier = 0u; earlier <= block; ++earlier)
    {
        const std::uint64_t start = text.sh_addr + earlier * BlockLength;
        cycle += GetCallCount(std::min(start + BlockLength, text.sh_addr + text.sh_size) - start);
    }

    CCheckerProcess checker({{"SafetyDomainNumber", std::to_string(m_domain)}});
    Support::CPlayedRuntime runtime(m_domain);
    Support::CPlayedScm scm(m_domain);
    runtime.StartDomain();
    // The revision number comes after the reference CRCs are taken; the check task waits for the SCM's.
    ASSERT_EQ(std::optional<std::uint32_t>(SCM_CHECKER_REVISION_NUMBER), scm.WaitForCheckerRevision(30s));

    // As a debugger does: the kernel lets this parent write the child's read-only private mapping (a copy of the
    // page, still read-only for the checker).
    const pid_t pid = FindChild(path);
    ASSERT_GT(pid, 0) << "the checker process was not found";
    const std::optional<std::uint64_t> base = FindLoadBase(pid, path);
    ASSERT_TRUE(base.has_value());
    const std::uint64_t address = *base + *target;
    const int memory = open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(memory, 0) << std::strerror(errno);
    std::uint8_t loaded = 0u;
    ASSERT_EQ(1, pread(memory, &loaded, 1u, static_cast<off_t>(address))) << std::strerror(errno);
    ASSERT_EQ(executable.GetByte(text.sh_offset + (*target - text.sh_addr)), loaded) << "not the loaded .text";
    const std::uint8_t changed = static_cast<std::uint8_t>(loaded ^ 0x5Au);
    ASSERT_EQ(1, pwrite(memory, &changed, 1u, static_cast<off_t>(address))) << std::strerror(errno);
    ASSERT_EQ(1, pread(memory, &loaded, 1u, static_cast<off_t>(address))) << std::strerror(errno);
    ASSERT_EQ(changed, loaded) << "the change did not reach the checker's memory";
    (void)close(memory);
    scm.PublishRevision(SCM_CHECKER_REVISION_NUMBER);

    // Within the hand-over of cycle n the checker has run the code-memory test of that cycle and waits.
    std::vector<Support::CEventRecord> events;
    for (std::uint64_t handOver = 1u; handOver <= cycle; ++handOver)
    {
        std::vector<Support::CEventRecord> received;
        ASSERT_TRUE(scm.PlayCycle([&] { received = runtime.ReceiveEvents(); })) << "hand-over " << handOver;
        for (const Support::CEventRecord& event : received)
        {
            events.push_back(event);
            EXPECT_FALSE(event.m_code == BlockCrcMismatch && handOver < cycle)
                << event << " in cycle " << handOver << ", before the changed block was complete in cycle " << cycle;
        }
    }
    EXPECT_LE(events.size(), 4u);
    const Support::CEventRecord expected{ScmEvent::Error, BlockCrcMismatch, TextSectionIndex,
                                         static_cast<std::uint32_t>(block)};
    const bool found = std::find(events.begin(), events.end(), expected) != events.end();
    EXPECT_TRUE(found) << "expected " << expected << " by cycle " << cycle << " (.text block " << block << ", byte 0x"
                       << std::hex << *target << ")";

    // A failed code-memory test stops the test, not the cycle.
    for (int handOver = 1; handOver <= 3; ++handOver)
    {
        EXPECT_TRUE(scm.PlayCycle()) << "hand-over " << handOver << " after the change was found";
    }
    EXPECT_TRUE(checker.IsRunning());
}
} // namespace
