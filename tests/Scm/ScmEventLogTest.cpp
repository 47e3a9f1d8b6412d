// Event logging over real queues: the record bytes, the budget of four, a late event queue, a full queue and
// concurrent loggers. Each scenario runs in a fresh child process, since the budget belongs to the process.
#include "Scm/ScmEventLog.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Test/ChildExit.h"

namespace
{
constexpr std::uint16_t Domain = 7u;

using CEvent = std::array<std::uint8_t, ScmEvent::ms_Length>;

// Runs scenario in a child process; the child's verdict (and its explanation on failure) comes back to the test.
void RunInFreshProcess(const std::function<std::string()>& scenario)
{
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0)
    {
        const std::string failure = scenario();
        if (!failure.empty())
        {
            std::fprintf(stderr, "%s\n", failure.c_str());
        }
        Support::ExitChild(failure.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status)) << "the scenario crashed";
    EXPECT_EQ(0, WEXITSTATUS(status)) << "the scenario failed (see its message above)";
}

class ScmEventLog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string prefix = "evtlog" + std::to_string(getpid()) + "-";
        ASSERT_EQ(0, setenv("SCM_IPC_PREFIX", prefix.c_str(), 1));
        Support::SetSafetyDomainNumber(Domain);
        ASSERT_NE(nullptr, ScmGetEventQueueToRuntimeName(Domain, m_name));
    }

    void TearDown() override
    {
        (void)msgQUnlink(m_name);
    }

    MSG_Q_ID CreateEventQueue(std::size_t capacity) const
    {
        return msgQOpen(m_name, capacity, ScmEvent::ms_Length, 0, OM_CREATE, nullptr);
    }

    static std::vector<CEvent> Drain(MSG_Q_ID queue)
    {
        std::vector<CEvent> events;
        CEvent event{};
        while (msgQReceive(queue, reinterpret_cast<char*>(event.data()), event.size(), NO_WAIT) ==
               static_cast<ssize_t>(event.size()))
        {
            events.push_back(event);
        }
        return events;
    }

    char m_name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
};

TEST_F(ScmEventLog, PostsTheElevenByteRecord)
{
    RunInFreshProcess(
        [this]() -> std::string
        {
            MSG_Q_ID queue = CreateEventQueue(10u);
            if (queue == nullptr)
            {
                return "cannot create the event queue";
            }
            ScmLogError(0xE2D4u, 1u, 2u);
            ScmLogWarning(0xE205u, 0x0102u, 0xA0B0C0D0u);
            const std::vector<CEvent> events = Drain(queue);
            const CEvent error = {0x03, 0xD4, 0xE2, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00};
            const CEvent warning = {0x02, 0x05, 0xE2, 0x00, 0x00, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0};
            if (events.size() != 2u || events[0] != error || events[1] != warning)
            {
                return "unexpected records (" + std::to_string(events.size()) + " received)";
            }
            return "";
        });
}

TEST_F(ScmEventLog, PostsOnlyTheFirstFourEventsOfTheProcess)
{
    RunInFreshProcess(
        [this]() -> std::string
        {
            MSG_Q_ID queue = CreateEventQueue(10u);
            if (queue == nullptr)
            {
                return "cannot create the event queue";
            }
            for (std::uint16_t i = 0u; i < 7u; ++i)
            {
                if ((i % 2u) == 0u)
                {
                    ScmLogError(static_cast<std::uint16_t>(0xE200u + i), i, i);
                }
                else
                {
                    ScmLogWarning(static_cast<std::uint16_t>(0xE200u + i), i, i);
                }
            }
            const std::vector<CEvent> events = Drain(queue);
            if (events.size() != 4u)
            {
                return "expected 4 events, got " + std::to_string(events.size());
            }
            for (std::size_t i = 0u; i < events.size(); ++i)
            {
                if (events[i][1] != 0x00u + i || events[i][0] != ((i % 2u) == 0u ? 3u : 2u))
                {
                    return "events out of order or with the wrong level";
                }
            }
            return "";
        });
}

TEST_F(ScmEventLog, EventBeforeTheQueueExistsIsDroppedButCounted)
{
    RunInFreshProcess(
        [this]() -> std::string
        {
            ScmLogError(0xE231u, 0u, 114u); // no queue yet: lost, counts against the budget
            MSG_Q_ID queue = CreateEventQueue(10u);
            if (queue == nullptr)
            {
                return "cannot create the event queue";
            }
            for (int i = 0; i < 5; ++i)
            {
                ScmLogWarning(0xE205u, 1u, static_cast<std::uint32_t>(i));
            }
            const std::vector<CEvent> events = Drain(queue);
            if (events.size() != 3u)
            {
                return "expected the three events the budget leaves, got " + std::to_string(events.size());
            }
            return (events[0][7] == 0u && events[2][7] == 2u) ? "" : "the later events came out wrong";
        });
}

TEST_F(ScmEventLog, FullQueueLosesTheEventWithoutBlocking)
{
    RunInFreshProcess(
        [this]() -> std::string
        {
            MSG_Q_ID queue = CreateEventQueue(2u);
            if (queue == nullptr)
            {
                return "cannot create the event queue";
            }
            MSG_Q_INFO info{};
            if (msgQInfoGet(queue, &info) != OK || info.maxMsgs != 2u)
            {
                return "queue capacity is not 2";
            }
            for (int i = 0; i < 4; ++i)
            {
                ScmLogError(0xE20Bu, 0u, static_cast<std::uint32_t>(i));
            }
            const std::vector<CEvent> events = Drain(queue);
            return (events.size() == 2u && events[1][7] == 1u) ? "" : "a full queue must keep the first two events";
        });
}

TEST_F(ScmEventLog, ConcurrentLoggersPostExactlyFourEvents)
{
    RunInFreshProcess(
        [this]() -> std::string
        {
            MSG_Q_ID queue = CreateEventQueue(10u);
            if (queue == nullptr)
            {
                return "cannot create the event queue";
            }
            std::vector<std::thread> loggers;
            for (int task = 0; task < 3; ++task)
            {
                loggers.emplace_back(
                    [task]
                    {
                        for (int i = 0; i < 20; ++i)
                        {
                            ScmLogError(static_cast<std::uint16_t>(0xE200 + task), 0u, static_cast<std::uint32_t>(i));
                        }
                    });
            }
            for (std::thread& logger : loggers)
            {
                logger.join();
            }
            const std::size_t posted = Drain(queue).size();
            return (posted == 4u) ? "" : "expected exactly 4 events, got " + std::to_string(posted);
        });
}
} // namespace
