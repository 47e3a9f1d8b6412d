// The scm-checker process at start-up: a missing queue of its domain ends it with the console message and status
// 255 before it does anything else; with all fourteen queues it goes on to announce itself to the SCM.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "Scm/ScmKernel.h"
#include "msgQLib.h"
#include "scmKernelEmulation.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Provision/QueueFlows.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
constexpr std::uint16_t Domain = 21u;
constexpr const char* QueuesMissingMessage = "SCM checker failed to start: message queues are not available?\n";

class QueueStart : public ::testing::Test
{
protected:
    QueueStart() : m_provisioner(Domain)
    {
        m_provisioner.Create();
        // The runtime has started the domain: the checker does not wait for it.
        EXPECT_EQ(0, scmKernelSetCondition(Domain, ScmStarted, 0u));
    }

    ~QueueStart() override
    {
        m_provisioner.Destroy();
    }

    static Support::CCheckerProcess::CEnvironment Environment()
    {
        return {{"SafetyDomainNumber", std::to_string(Domain)}};
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
};

class QueueStartMissing : public QueueStart, public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(QueueStartMissing, EndsWithTheConsoleMessageAndStatus255)
{
    const std::string name = Support::GetQueueName(Support::GetQueueFlows()[GetParam()], Domain);
    ASSERT_EQ(OK, msgQUnlink(name.c_str()));
    Support::CCheckerProcess checker(Environment());
    EXPECT_EQ(255, checker.WaitForExit(std::chrono::seconds(30))) << "without " << name;
    EXPECT_EQ(QueuesMissingMessage, checker.GetOutput());
    std::uint32_t information = 0u;
    EXPECT_EQ(-1, scmKernelGetCondition(Domain, ScmCheckerInitialized, &information))
        << "the checker must not announce itself";
}

INSTANTIATE_TEST_SUITE_P(EachQueue, QueueStartMissing, ::testing::Range<std::size_t>(0u, Support::QueueCount));

TEST_F(QueueStart, GoesOnToAnnounceItselfWhenEveryQueueIsThere)
{
    Support::CCheckerProcess checker(Environment());
    std::uint32_t revisionNumber = 0u;
    EXPECT_EQ(0, scmKernelWaitForCondition(Domain, ScmCheckerInitialized, 30000, &revisionNumber));
}
} // namespace
