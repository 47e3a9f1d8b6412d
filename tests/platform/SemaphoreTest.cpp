// Binary semaphores on real POSIX named semaphores, handed over between processes.
#include <gtest/gtest.h>

#include <semaphore.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "ChildProcess.h"
#include "PlatformFixture.h"
#include "scmKernelEmulation.h"
#include "semLib.h"
#include "support/Provision/QueueFlows.h"
#include "taskLib.h"

namespace PlatformTest
{
namespace
{
class Semaphore : public ProvisionedDomain
{
protected:
    void SetUp() override
    {
        ProvisionedDomain::SetUp();
        m_toScm = semOpen(Support::GetToScmSemaphoreName(Domain).c_str(), SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
        ASSERT_NE(nullptr, m_toScm);
    }

    void TearDown() override
    {
        if (m_toScm != nullptr)
        {
            (void)semClose(m_toScm);
        }
        ProvisionedDomain::TearDown();
    }

    int GetValue()
    {
        int value = -1;
        EXPECT_EQ(0, scmKernelGetSemaphoreValue(m_toScm, &value));
        return value;
    }

    SEM_ID m_toScm = nullptr;
};

TEST_F(Semaphore, ProvisionedEmptyAndOpenNeverCreates)
{
    EXPECT_EQ(0, GetValue());
    EXPECT_EQ(nullptr, semOpen("/scm0008/~frame-send", SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr));
    EXPECT_EQ(ENOENT, errno);
}

TEST_F(Semaphore, GivingAFullSemaphoreLeavesItFull)
{
    ASSERT_EQ(OK, semGive(m_toScm));
    ASSERT_EQ(OK, semGive(m_toScm));
    EXPECT_EQ(1, GetValue());
    EXPECT_EQ(OK, semTake(m_toScm, NO_WAIT));
    EXPECT_EQ(ERROR, semTake(m_toScm, NO_WAIT));
    EXPECT_EQ(EAGAIN, errno);
}

TEST_F(Semaphore, PostsMadeAroundTheLayerLetOneTakePassNotThreeHundred)
{
    // The POSIX name of the semaphore, as an SCM that posts it directly sees it.
    const char* prefix = std::getenv("SCM_IPC_PREFIX");
    const std::string posixName = "/" + std::string((prefix != nullptr) ? prefix : "") + "scm0007.~frame-send";
    sem_t* raw = sem_open(posixName.c_str(), 0);
    ASSERT_NE(SEM_FAILED, raw) << posixName;
    for (int post = 0; post < 300; ++post)
    {
        ASSERT_EQ(0, sem_post(raw));
    }
    EXPECT_EQ(OK, semTake(m_toScm, 2));
    EXPECT_EQ(ERROR, semTake(m_toScm, NO_WAIT));
    EXPECT_EQ(EAGAIN, errno);
    EXPECT_EQ(0, GetValue());
    (void)sem_close(raw);
}

TEST_F(Semaphore, TimedTakeOfAnEmptySemaphoreTimesOut)
{
    EXPECT_EQ(ERROR, semTake(m_toScm, 2));
    EXPECT_EQ(ETIMEDOUT, errno);
}

TEST_F(Semaphore, TakeInAnotherProcessWaitsForTheGive)
{
    CChildProcess taker(PLATFORM_TEST_PEER, {"take", Support::GetToScmSemaphoreName(Domain), "-1"});
    // Give only after the taker has had time to block; it passes either way, but then really hands over.
    (void)taskDelay(sysClkRateGet() / 10);
    EXPECT_TRUE(taker.IsRunning());
    ASSERT_EQ(OK, semGive(m_toScm));
    EXPECT_EQ(0, taker.Wait().m_exitCode);
    EXPECT_EQ(0, GetValue());
}

TEST_F(Semaphore, GiveInAnotherProcessWakesTheTaker)
{
    SEM_ID fromScm =
        semOpen(Support::GetFromScmSemaphoreName(Domain).c_str(), SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    ASSERT_NE(nullptr, fromScm);
    CChildProcess giver(PLATFORM_TEST_PEER, {"give", Support::GetFromScmSemaphoreName(Domain)});
    EXPECT_EQ(OK, semTake(fromScm, 10 * sysClkRateGet()));
    EXPECT_EQ(0, giver.Wait().m_exitCode);
    EXPECT_EQ(OK, semClose(fromScm));
}

TEST_F(Semaphore, ClosedHandleIsRefusedAndTheSemaphoreStays)
{
    ASSERT_EQ(OK, semGive(m_toScm));
    ASSERT_EQ(OK, semClose(m_toScm));
    EXPECT_EQ(ERROR, semGive(m_toScm));
    EXPECT_EQ(EBADF, errno);
    m_toScm = semOpen(Support::GetToScmSemaphoreName(Domain).c_str(), SEM_TYPE_BINARY, SEM_EMPTY, 0, 0, nullptr);
    ASSERT_NE(nullptr, m_toScm);
    EXPECT_EQ(1, GetValue());
}

TEST_F(Semaphore, CreateRefusesStatesOtherThanEmptyOrFull)
{
    EXPECT_EQ(nullptr, semOpen("/scm0007/other", SEM_TYPE_BINARY, 2, 0, OM_CREATE, nullptr));
    EXPECT_EQ(EINVAL, errno);
    SEM_ID full = semOpen("/scm0007/other", SEM_TYPE_BINARY, SEM_FULL, 0, OM_CREATE, nullptr);
    ASSERT_NE(nullptr, full);
    EXPECT_EQ(OK, semTake(full, NO_WAIT));
    EXPECT_EQ(OK, semClose(full));
    EXPECT_EQ(OK, semUnlink("/scm0007/other"));
}
} // namespace
} // namespace PlatformTest
