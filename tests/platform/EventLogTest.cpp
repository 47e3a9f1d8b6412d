// The domain's event log: a bounded ring that keeps the newest events in order across restarts, refuses what
// is not its own regular file, and reads back what was written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "PlatformFixture.h"
#include "eventLogLib.h"
#include "scmKernelEmulation.h"

namespace PlatformTest
{
namespace
{
std::array<std::uint8_t, EVENT_LOG_EVENT_LENGTH> MakeEvent(std::uint32_t number)
{
    std::array<std::uint8_t, EVENT_LOG_EVENT_LENGTH> event{};
    event[0] = 3u;
    for (std::size_t i = 0u; i < 4u; ++i)
    {
        event[7u + i] = static_cast<std::uint8_t>(number >> (8u * i));
    }
    return event;
}

std::uint32_t GetNumber(const EVENT_LOG_ENTRY& entry)
{
    std::uint32_t number = 0u;
    for (std::size_t i = 4u; i > 0u; --i)
    {
        number = (number << 8u) | entry.event[6u + i];
    }
    return number;
}

std::vector<EVENT_LOG_ENTRY> ReadAll(std::uint16_t domain)
{
    std::vector<EVENT_LOG_ENTRY> entries(EVENT_LOG_CAPACITY);
    const int count = eventLogRead(domain, entries.data(), entries.size());
    entries.resize((count > 0) ? static_cast<std::size_t>(count) : 0u);
    return entries;
}

std::string GetLogPath(std::uint16_t domain)
{
    char path[4096];
    EXPECT_EQ(0, scmKernelGetDomainPath(domain, "event-log", path, sizeof path));
    return path;
}

// The writer of a process is opened once and bound to its first domain for good: every case writes in children
// of its own, so that no case sees the log that another one opened.
bool SucceedsInChild(const std::function<bool()>& body)
{
    const pid_t child = fork();
    if (child == 0)
    {
        _exit(body() ? 0 : 1);
    }
    int status = -1;
    return (child > 0) && (waitpid(child, &status, 0) == child) && (status == 0);
}

bool AppendNumbers(std::uint32_t first, std::uint32_t last)
{
    for (std::uint32_t number = first; number <= last; ++number)
    {
        const auto event = MakeEvent(number);
        if (eventLogAppend(Domain, event.data(), event.size()) != OK)
        {
            return false;
        }
    }
    return true;
}

class EventLog : public ProvisionedDomain
{
};

TEST_F(EventLog, KeepsTheNewestEventsInOrderWithIncreasingSequenceAndTime)
{
    const std::uint32_t written = EVENT_LOG_CAPACITY + 44u;
    ASSERT_TRUE(SucceedsInChild([&] { return AppendNumbers(1u, written); }));
    const std::vector<EVENT_LOG_ENTRY> entries = ReadAll(Domain);
    ASSERT_EQ(EVENT_LOG_CAPACITY, entries.size());
    for (std::size_t i = 0u; i < entries.size(); ++i)
    {
        const std::uint32_t expected = written - EVENT_LOG_CAPACITY + 1u + static_cast<std::uint32_t>(i);
        EXPECT_EQ(expected, entries[i].sequence);
        EXPECT_EQ(expected, GetNumber(entries[i]));
        if (i > 0u)
        {
            EXPECT_LE(entries[i - 1u].monotonicMicroseconds, entries[i].monotonicMicroseconds);
        }
    }
    std::vector<EVENT_LOG_ENTRY> newest(3u);
    ASSERT_EQ(3, eventLogRead(Domain, newest.data(), newest.size()));
    EXPECT_EQ(written, newest.back().sequence);

    struct stat status = {};
    ASSERT_EQ(0, stat(GetLogPath(Domain).c_str(), &status));
    EXPECT_EQ(0600u, status.st_mode & 07777u);

    EXPECT_TRUE(SucceedsInChild(
        []
        {
            const std::array<std::uint8_t, 3> shortEvent{};
            const auto other = MakeEvent(1u);
            const bool shortRefused =
                (eventLogAppend(Domain, shortEvent.data(), shortEvent.size()) == ERROR) && (errno == EINVAL);
            const bool appended = AppendNumbers(1u, 1u);
            return shortRefused && appended && (eventLogAppend(Domain + 1u, other.data(), other.size()) == ERROR) &&
                   (errno == EEXIST);
        }));
}

TEST_F(EventLog, ContinuesAfterTheNewestRecordOfAnEarlierProcess)
{
    ASSERT_TRUE(SucceedsInChild([] { return AppendNumbers(1u, 5u); }));
    ASSERT_TRUE(SucceedsInChild([] { return AppendNumbers(99u, 99u); }));
    const std::vector<EVENT_LOG_ENTRY> entries = ReadAll(Domain);
    ASSERT_EQ(6u, entries.size());
    EXPECT_EQ(6u, entries.back().sequence);
    EXPECT_EQ(99u, GetNumber(entries.back()));
}

// What someone put where the log belongs is never followed, never blocks and is never written.
class EventLogRefusal : public ProvisionedDomain, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(EventLogRefusal, IsNotTheLog)
{
    const std::string path = GetLogPath(Domain);
    const std::string target = m_isolation->GetKernelRoot() + "-outside";
    {
        std::ofstream(target) << "outside";
    }
    const std::string kind = GetParam();
    if (kind == "symlink")
    {
        ASSERT_EQ(0, symlink(target.c_str(), path.c_str()));
    }
    else if (kind == "fifo")
    {
        ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    }
    else
    {
        ASSERT_EQ(0, mkdir(path.c_str(), 0700));
    }
    EXPECT_TRUE(SucceedsInChild(
        []
        {
            const auto event = MakeEvent(1u);
            EVENT_LOG_ENTRY entry{};
            return (eventLogAppend(Domain, event.data(), event.size()) == ERROR) &&
                   (eventLogRead(Domain, &entry, 1u) == -1);
        }));
    std::ifstream outside(target);
    std::string content;
    std::getline(outside, content);
    EXPECT_EQ("outside", content);
    std::filesystem::remove(target);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EventLogRefusal, ::testing::Values("symlink", "fifo", "directory"));
} // namespace
} // namespace PlatformTest
