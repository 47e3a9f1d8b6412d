// Names of queues and semaphores map to one legal POSIX name each, under the process's prefix.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <string>

#include "scmKernelEmulation.h"

namespace
{
struct CNameCase
{
    const char* m_prefix;
    const char* m_name;
    const char* m_posixName;
};

void PrintTo(const CNameCase& nameCase, std::ostream* stream)
{
    *stream << nameCase.m_name << " -> " << nameCase.m_posixName;
}

class IpcName : public ::testing::TestWithParam<CNameCase>
{
protected:
    void TearDown() override
    {
        (void)unsetenv("SCM_IPC_PREFIX");
    }
};

TEST_P(IpcName, MapsEverySlashAfterTheFirstToADot)
{
    if (GetParam().m_prefix == nullptr)
    {
        (void)unsetenv("SCM_IPC_PREFIX");
    }
    else
    {
        (void)setenv("SCM_IPC_PREFIX", GetParam().m_prefix, 1);
    }
    char buffer[300] = {};
    ASSERT_EQ(0, scmKernelGetPosixIpcName(GetParam().m_name, buffer, sizeof(buffer)));
    EXPECT_STREQ(GetParam().m_posixName, buffer);
}

INSTANTIATE_TEST_SUITE_P(
    Names, IpcName,
    ::testing::Values(CNameCase{nullptr, "/scm0007/~frame-send", "/scm0007.~frame-send"},
                      CNameCase{nullptr, "/scm1023/~unlock-response", "/scm1023.~unlock-response"},
                      CNameCase{nullptr, "plain", "/plain"}, CNameCase{nullptr, "/a/b/c", "/a.b.c"},
                      CNameCase{"t42-1-", "/scm0001/event", "/t42-1-scm0001.event"},
                      CNameCase{"nested/prefix-", "/scm0001/event", "/nested.prefix-scm0001.event"}));

TEST(IpcNameRefusal, EmptyAndOverlongNames)
{
    char buffer[300] = {};
    EXPECT_EQ(-1, scmKernelGetPosixIpcName("", buffer, sizeof(buffer)));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_EQ(-1, scmKernelGetPosixIpcName("/", buffer, sizeof(buffer)));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_EQ(-1, scmKernelGetPosixIpcName(nullptr, buffer, sizeof(buffer)));
    const std::string overlong = "/" + std::string(260u, 'q');
    EXPECT_EQ(-1, scmKernelGetPosixIpcName(overlong.c_str(), buffer, sizeof(buffer)));
    EXPECT_EQ(ENAMETOOLONG, errno);
}
} // namespace
