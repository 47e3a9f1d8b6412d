// The fourteen queue names of a domain, and the refusal of domain numbers outside 1 to 1023.
#include "Scm/ScmQueueNames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
struct CQueueName
{
    ScmQueueNameFunction m_function;
    const char* m_name;
};

const CQueueName QueueNames[] = {
    {ScmGetUnlockRequestQueueFromRuntimeName, "unlock-request"},
    {ScmGetUnlockRequestQueueToScmName, "~unlock-request"},
    {ScmGetUnlockResponseQueueFromScmName, "~unlock-response"},
    {ScmGetUnlockResponseQueueToRuntimeName, "unlock-response"},
    {ScmGetFrameQueueFromRuntimeName, "frame-send"},
    {ScmGetFrameQueueToScmName, "~frame-send"},
    {ScmGetFrameQueueFromScmName, "~frame-receive"},
    {ScmGetFrameQueueToRuntimeName, "frame-receive"},
    {ScmGetCommandQueueFromRuntimeName, "command"},
    {ScmGetCommandQueueToScmName, "~command"},
    {ScmGetResponseQueueFromScmName, "~status"},
    {ScmGetResponseQueueToRuntimeName, "status"},
    {ScmGetEventQueueFromScmName, "~event"},
    {ScmGetEventQueueToRuntimeName, "event"},
};

class ScmQueueNamesForDomain : public ::testing::TestWithParam<std::uint16_t>
{
};

TEST_P(ScmQueueNamesForDomain, FormsEveryNameWithFourDigits)
{
    const std::uint16_t domain = GetParam();
    char prefix[16];
    (void)std::snprintf(prefix, sizeof prefix, "/scm%04u/", static_cast<unsigned>(domain));
    for (const CQueueName& queue : QueueNames)
    {
        char buffer[SCM_QUEUE_NAME_BUFFER_LENGTH];
        EXPECT_EQ(buffer, queue.m_function(domain, buffer));
        EXPECT_EQ(std::string(prefix) + queue.m_name, buffer);
    }
}

INSTANTIATE_TEST_SUITE_P(ValidDomains, ScmQueueNamesForDomain, ::testing::Values(1u, 7u, 1023u));

TEST(ScmQueueNames, ExamplesAndTheLongestName)
{
    char buffer[SCM_QUEUE_NAME_BUFFER_LENGTH];
    EXPECT_STREQ("/scm0001/event", ScmGetEventQueueToRuntimeName(1u, buffer));
    EXPECT_STREQ("/scm0007/~frame-send", ScmGetFrameQueueToScmName(7u, buffer));
    EXPECT_STREQ("/scm1023/~unlock-response", ScmGetUnlockResponseQueueFromScmName(1023u, buffer));
    EXPECT_EQ(25u, std::strlen(buffer));
}

TEST(ScmQueueNames, InvalidDomainOrBufferGivesNullAndLeavesTheBufferUntouched)
{
    for (std::uint16_t domain : {0u, 1024u, 65535u})
    {
        for (const CQueueName& queue : QueueNames)
        {
            char buffer[SCM_QUEUE_NAME_BUFFER_LENGTH];
            std::memset(buffer, 'x', sizeof buffer);
            EXPECT_EQ(nullptr, queue.m_function(domain, buffer)) << domain << ' ' << queue.m_name;
            EXPECT_EQ('x', buffer[0]);
            EXPECT_EQ(nullptr, queue.m_function(domain, nullptr));
        }
    }
    for (const CQueueName& queue : QueueNames)
    {
        EXPECT_EQ(nullptr, queue.m_function(1u, nullptr));
    }
}
} // namespace
