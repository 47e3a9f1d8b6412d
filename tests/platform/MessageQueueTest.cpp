// Message queues on real POSIX queues: the checker opens what a peer created and moves messages through them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PlatformFixture.h"
#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"
#include "support/Provision/QueueFlows.h"

namespace PlatformTest
{
namespace
{
std::string QueueName(ScmQueueNameFunction function)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    return function(Domain, name);
}

class MessageQueue : public ProvisionedDomain
{
protected:
    void SetUp() override
    {
        ProvisionedDomain::SetUp();
        m_frameQueue = msgQOpen(QueueName(ScmGetFrameQueueToScmName).c_str(), 0u, 0u, 0, 0, nullptr);
        ASSERT_NE(nullptr, m_frameQueue);
    }

    void TearDown() override
    {
        if (m_frameQueue != nullptr)
        {
            (void)msgQDelete(m_frameQueue);
        }
        ProvisionedDomain::TearDown();
    }

    std::size_t CountWaiting(MSG_Q_ID queue)
    {
        MSG_Q_INFO info{};
        EXPECT_EQ(OK, msgQInfoGet(queue, &info));
        return info.numMsgs;
    }

    MSG_Q_ID m_frameQueue = nullptr;
};

TEST_F(MessageQueue, OpeningWithoutCreateNeverCreates)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        errno = 0;
        EXPECT_EQ(nullptr, msgQOpen("/scm0008/frame-send", 0u, 0u, 0, 0, nullptr));
        EXPECT_EQ(ENOENT, errno);
    }
}

TEST_F(MessageQueue, ProvisionedQueuesCarryTheirFlowsLongestMessage)
{
    for (const Support::CQueueFlow& flow : Support::GetQueueFlows())
    {
        const std::string name = Support::GetQueueName(flow, Domain);
        MSG_Q_ID queue = msgQOpen(name.c_str(), 0u, 0u, 0, 0, nullptr);
        ASSERT_NE(nullptr, queue) << name;
        MSG_Q_INFO info{};
        ASSERT_EQ(OK, msgQInfoGet(queue, &info));
        EXPECT_EQ(flow.m_maxMessageLength, info.maxMsgLength) << name;
        EXPECT_EQ(m_provisioner->GetQueueCapacity(), info.maxMsgs) << name;
        EXPECT_EQ(0u, info.numMsgs) << name;
        EXPECT_EQ(OK, msgQDelete(queue));
    }
}

TEST_F(MessageQueue, MessagesRoundTripInOrderWithTheirLengths)
{
    const std::vector<std::string> messages = {std::string(521u, '\x5A'), "", "a", std::string(20u, '\xFF')};
    for (const std::string& message : messages)
    {
        ASSERT_EQ(OK, msgQSend(m_frameQueue, message.data(), message.size(), NO_WAIT, MSG_PRI_NORMAL));
    }
    EXPECT_EQ(messages.size(), CountWaiting(m_frameQueue));
    for (const std::string& message : messages)
    {
        char buffer[521] = {};
        const ssize_t length = msgQReceive(m_frameQueue, buffer, sizeof(buffer), NO_WAIT);
        ASSERT_EQ(static_cast<ssize_t>(message.size()), length);
        EXPECT_EQ(message, std::string(buffer, static_cast<std::size_t>(length)));
    }
}

TEST_F(MessageQueue, ShortBufferCutsTheMessageAndLengthZeroDiscardsOne)
{
    std::string first(300u, '\0');
    for (std::size_t i = 0u; i < first.size(); ++i)
    {
        first[i] = static_cast<char>(i);
    }
    ASSERT_EQ(OK, msgQSend(m_frameQueue, first.data(), first.size(), NO_WAIT, MSG_PRI_NORMAL));
    ASSERT_EQ(OK, msgQSend(m_frameQueue, "discarded", 9u, NO_WAIT, MSG_PRI_NORMAL));
    ASSERT_EQ(OK, msgQSend(m_frameQueue, "last", 4u, NO_WAIT, MSG_PRI_NORMAL));

    char buffer[10] = {};
    ASSERT_EQ(10, msgQReceive(m_frameQueue, buffer, sizeof(buffer), NO_WAIT));
    EXPECT_EQ(first.substr(0u, 10u), std::string(buffer, 10u));
    EXPECT_EQ(0, msgQReceive(m_frameQueue, nullptr, 0u, NO_WAIT));
    EXPECT_EQ(1u, CountWaiting(m_frameQueue));
    ASSERT_EQ(4, msgQReceive(m_frameQueue, buffer, sizeof(buffer), NO_WAIT));
    EXPECT_EQ("last", std::string(buffer, 4u));
}

TEST_F(MessageQueue, FullQueueRefusesNoWaitSendAndEmptyQueueNoWaitReceive)
{
    const std::size_t capacity = m_provisioner->GetQueueCapacity();
    for (std::size_t i = 0u; i < capacity; ++i)
    {
        ASSERT_EQ(OK, msgQSend(m_frameQueue, "x", 1u, NO_WAIT, MSG_PRI_NORMAL));
    }
    EXPECT_EQ(capacity, CountWaiting(m_frameQueue));
    EXPECT_EQ(ERROR, msgQSend(m_frameQueue, "x", 1u, NO_WAIT, MSG_PRI_NORMAL));
    EXPECT_EQ(EAGAIN, errno);
    EXPECT_EQ(ERROR, msgQSend(m_frameQueue, "x", 1u, 1, MSG_PRI_NORMAL));
    EXPECT_EQ(ETIMEDOUT, errno);
    for (std::size_t i = 0u; i < capacity; ++i)
    {
        ASSERT_EQ(0, msgQReceive(m_frameQueue, nullptr, 0u, NO_WAIT));
    }
    char buffer[4];
    EXPECT_EQ(ERROR, msgQReceive(m_frameQueue, buffer, 1u, NO_WAIT));
    EXPECT_EQ(EAGAIN, errno);
    EXPECT_EQ(ERROR, msgQReceive(m_frameQueue, buffer, sizeof(buffer), 1));
    EXPECT_EQ(ETIMEDOUT, errno);
}

TEST_F(MessageQueue, OversizedMessageIsRefused)
{
    const std::string message(522u, 'x');
    EXPECT_EQ(ERROR, msgQSend(m_frameQueue, message.data(), message.size(), NO_WAIT, MSG_PRI_NORMAL));
    EXPECT_EQ(EMSGSIZE, errno);
}

TEST_F(MessageQueue, DeleteReleasesTheHandleAndLeavesTheQueueWithItsMessages)
{
    ASSERT_EQ(OK, msgQSend(m_frameQueue, "kept", 4u, NO_WAIT, MSG_PRI_NORMAL));
    ASSERT_EQ(OK, msgQDelete(m_frameQueue));
    MSG_Q_INFO info{};
    EXPECT_EQ(ERROR, msgQInfoGet(m_frameQueue, &info));
    EXPECT_EQ(EBADF, errno);
    m_frameQueue = msgQOpen(QueueName(ScmGetFrameQueueToScmName).c_str(), 0u, 0u, 0, 0, nullptr);
    ASSERT_NE(nullptr, m_frameQueue);
    EXPECT_EQ(1u, CountWaiting(m_frameQueue));
}

TEST_F(MessageQueue, SlashAndDotSpellingsNameTheSameQueue)
{
    MSG_Q_ID dotted = msgQOpen("/scm0007.~frame-send", 0u, 0u, 0, 0, nullptr);
    ASSERT_NE(nullptr, dotted);
    ASSERT_EQ(OK, msgQSend(dotted, "via dot", 7u, NO_WAIT, MSG_PRI_NORMAL));
    EXPECT_EQ(1u, CountWaiting(m_frameQueue));
    EXPECT_EQ(OK, msgQDelete(dotted));
}

TEST_F(MessageQueue, AnotherPrefixSeesOtherQueues)
{
    const std::string name = QueueName(ScmGetFrameQueueToScmName);
    const std::string ownPrefix = m_isolation->GetPrefix();
    ASSERT_EQ(0, setenv("SCM_IPC_PREFIX", (ownPrefix + "other-").c_str(), 1));
    EXPECT_EQ(nullptr, msgQOpen(name.c_str(), 0u, 0u, 0, 0, nullptr));
    EXPECT_EQ(ENOENT, errno);
    ASSERT_EQ(0, setenv("SCM_IPC_PREFIX", ownPrefix.c_str(), 1));
}

TEST_F(MessageQueue, MessageFromAnotherProcessArrives)
{
    const CProcessResult result =
        RunProcess(PLATFORM_TEST_PEER, {"send", QueueName(ScmGetFrameQueueToScmName), "from the peer"});
    ASSERT_EQ(0, result.m_exitCode);
    char buffer[64] = {};
    ASSERT_EQ(13, msgQReceive(m_frameQueue, buffer, sizeof(buffer), NO_WAIT));
    EXPECT_EQ("from the peer", std::string(buffer, 13u));
}

TEST_F(MessageQueue, CreationTakesTheLargestCapacityTheSystemAllows)
{
    MSG_Q_ID queue = msgQOpen("/scm0007/large", 100000u, 21u, 0, OM_CREATE, nullptr);
    ASSERT_NE(nullptr, queue) << std::strerror(errno);
    MSG_Q_INFO info{};
    ASSERT_EQ(OK, msgQInfoGet(queue, &info));
    // 100000 is above msg_max for unprivileged processes and above the hard limit 65536 for privileged ones:
    // both fall back to msg_max.
    std::ifstream limit("/proc/sys/fs/mqueue/msg_max");
    std::size_t msgMax = 0u;
    ASSERT_TRUE(limit >> msgMax);
    EXPECT_EQ(msgMax, info.maxMsgs);
    EXPECT_EQ(OK, msgQDelete(queue));
    EXPECT_EQ(OK, msgQUnlink("/scm0007/large"));
}

TEST_F(MessageQueue, ExclusiveCreateRefusesAnExistingQueue)
{
    EXPECT_EQ(nullptr,
              msgQOpen(QueueName(ScmGetFrameQueueToScmName).c_str(), 10u, 521u, 0, OM_CREATE | OM_EXCL, nullptr));
    EXPECT_EQ(EEXIST, errno);
}

TEST_F(MessageQueue, HandleTableIsFixed)
{
    std::vector<MSG_Q_ID> handles;
    const std::string name = QueueName(ScmGetEventQueueToRuntimeName);
    // The fixture holds one handle already.
    for (int i = 1; i < MSG_Q_MAX_OPEN; ++i)
    {
        MSG_Q_ID queue = msgQOpen(name.c_str(), 0u, 0u, 0, 0, nullptr);
        ASSERT_NE(nullptr, queue) << i;
        handles.push_back(queue);
    }
    EXPECT_EQ(nullptr, msgQOpen(name.c_str(), 0u, 0u, 0, 0, nullptr));
    EXPECT_EQ(EMFILE, errno);
    for (MSG_Q_ID queue : handles)
    {
        EXPECT_EQ(OK, msgQDelete(queue));
    }
}
} // namespace
} // namespace PlatformTest
