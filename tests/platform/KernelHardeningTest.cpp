// Kernel files against planted links and FIFOs: nothing outside the kernel directory changes, nothing blocks,
// and only a missing file is reported as absent.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PlatformFixture.h"
#include "Scm/ScmKernel.h"
#include "scmKernelEmulation.h"

namespace PlatformTest
{
namespace
{
constexpr int OldCounterValuesPlanted = 64;

std::string ReadText(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

int WriteStorage(const char* name, const std::string& content)
{
    const int32_t handle = ScmOpenStorage(Domain, name, ScmWriteStorageMode);
    if (handle < 0)
    {
        return -1;
    }
    const bool written = ScmWriteStorage(handle, static_cast<uint32_t>(content.size()), content.data()) ==
                         static_cast<int32_t>(content.size());
    return ((ScmCloseStorage(handle) == 0) && written) ? 0 : -1;
}

int EmptyStorage(const char* name)
{
    const int32_t handle = ScmOpenStorage(Domain, name, ScmWriteStorageMode);
    return (handle < 0) ? -1 : ScmCloseStorage(handle);
}

int ReadStorage(const char* name)
{
    const int32_t handle = ScmOpenStorage(Domain, name, ScmReadStorageMode);
    if (handle == SCM_ABSENT_OPTIONAL_STORAGE_HANDLE)
    {
        errno = ENOENT;
        return -2;
    }
    if (handle < 0)
    {
        return -1;
    }
    char buffer[64];
    const int32_t count = ScmReadStorage(handle, sizeof(buffer), buffer);
    (void)ScmCloseStorage(handle);
    return (count < 0) ? -1 : 0;
}

/// One kernel file and a service that reads or writes it; folder is "" for the domain directory.
struct CKernelFileUse
{
    const char* m_name;
    const char* m_folder;
    const char* m_file;
    std::function<int()> m_call;
};

void PrintTo(const CKernelFileUse& use, std::ostream* stream)
{
    *stream << use.m_name;
}

std::string TestName(const ::testing::TestParamInfo<CKernelFileUse>& info)
{
    return info.param.m_name;
}

class KernelFileFixture : public ProvisionedDomain
{
protected:
    void SetUp() override
    {
        ProvisionedDomain::SetUp();
        scmKernelSetProcessDomain(Domain);
        // Outside the kernel directory: what a planted link points at.
        m_victim = m_isolation->GetKernelRoot() + "-victim";
        std::ofstream(m_victim) << "victim 5\n";
        ASSERT_EQ(0, chmod(m_victim.c_str(), 0600));
    }

    void TearDown() override
    {
        (void)unlink(m_victim.c_str());
        scmKernelSetProcessDomain(0u);
        ProvisionedDomain::TearDown();
    }

    std::string PathOf(const CKernelFileUse& use, const std::string& name) const
    {
        const std::string domain = m_isolation->GetKernelRoot() + "/scm0007/";
        return domain + ((*use.m_folder == '\0') ? "" : std::string(use.m_folder) + "/") + name;
    }

    void ExpectVictimUntouched() const
    {
        EXPECT_EQ("victim 5\n", ReadText(m_victim));
        struct stat status
        {
        };
        ASSERT_EQ(0, stat(m_victim.c_str(), &status));
        EXPECT_EQ(0600u, status.st_mode & 07777u);
    }

    std::string m_victim;
};

class PlantedLink : public KernelFileFixture, public ::testing::WithParamInterface<CKernelFileUse>
{
};

// Temporary names were once ".<name>.tmp.<pid>.<n>": links planted at every such name of this process are
// never written through, and the service works around them.
TEST_P(PlantedLink, AtTheOldTemporaryNamesIsNeverFollowed)
{
    const CKernelFileUse& use = GetParam();
    for (int n = 0; n < OldCounterValuesPlanted; ++n)
    {
        const std::string name =
            "." + std::string(use.m_file) + ".tmp." + std::to_string(getpid()) + "." + std::to_string(n);
        ASSERT_EQ(0, symlink(m_victim.c_str(), PathOf(use, name).c_str())) << name;
    }
    EXPECT_EQ(0, use.m_call()) << std::strerror(errno);
    ExpectVictimUntouched();
}

// A link in place of the file itself is either replaced as a whole or refused; its target never changes.
TEST_P(PlantedLink, AtTheFileItselfIsNeverFollowed)
{
    const CKernelFileUse& use = GetParam();
    const std::string path = PathOf(use, use.m_file);
    (void)unlink(path.c_str());
    ASSERT_EQ(0, symlink(m_victim.c_str(), path.c_str()));
    const int result = use.m_call();
    const int error = errno;
    ExpectVictimUntouched();
    struct stat status
    {
    };
    ASSERT_EQ(0, lstat(path.c_str(), &status));
    if (result == 0)
    {
        EXPECT_TRUE(S_ISREG(status.st_mode)) << "the link was replaced by the file";
    }
    else
    {
        EXPECT_EQ(ELOOP, error) << std::strerror(error);
        EXPECT_TRUE(S_ISLNK(status.st_mode));
    }
}

INSTANTIATE_TEST_SUITE_P(
    WritingServices, PlantedLink,
    ::testing::Values(
        CKernelFileUse{"SetCondition", "conditions", "1", [] { return scmKernelSetCondition(Domain, 1u, 5u); }},
        CKernelFileUse{"WriteStorage", "storage", "tessera.uid", [] { return WriteStorage("tessera.uid", "new"); }},
        CKernelFileUse{"EmptyStorage", "storage", "tessera.dat", [] { return EmptyStorage("tessera.dat"); }},
        CKernelFileUse{"PeerWriteStorage", "storage", "autocnf.bin",
                       [] { return scmKernelWriteStorage(Domain, "autocnf.bin", "a", 1u); }},
        CKernelFileUse{"SetKelUdid", "", "kel-udid",
                       []
                       {
                           const uint8_t udid[6] = {1, 2, 3, 4, 5, 6};
                           return scmKernelSetKelUdid(Domain, udid);
                       }},
        CKernelFileUse{"SetCpuIdentity", "", "cpu-product-code",
                       [] { return scmKernelSetCpuIdentity(Domain, 1u, 2u); }},
        CKernelFileUse{"WriteFlashFile", "kel-flash", "16",
                       [] { return scmKernelWriteKelFlashFile(Domain, 16u, "f", 1u); }},
        CKernelFileUse{"SetClockControl", "", "clock", [] { return scmKernelSetClockControl(Domain, 0, 0, 0); }},
        CKernelFileUse{"LockReset", "", "reset-lock", [] { return ScmLockReset(Domain); }},
        CKernelFileUse{"ResetPlc", "", "plc-resets",
                       []
                       {
                           ScmResetPlc(SCM_RESET_PLC_MODE_UNLOCK_TIMEOUT);
                           uint32_t count = 0u;
                           uint32_t mode = 0u;
                           return ((scmKernelGetPlcResets(Domain, &count, &mode) == 0) && (count == 1u)) ? 0 : -1;
                       }}),
    TestName);

class PlantedReadLink : public KernelFileFixture, public ::testing::WithParamInterface<CKernelFileUse>
{
};

// A link where a file belongs is reported as the error it is, never read through and never taken for absence.
TEST_P(PlantedReadLink, IsRefusedAsALinkAndNotReadAsAbsent)
{
    const CKernelFileUse& use = GetParam();
    const std::string path = PathOf(use, use.m_file);
    (void)unlink(path.c_str());
    ASSERT_EQ(0, symlink(m_victim.c_str(), path.c_str()));
    errno = 0;
    EXPECT_EQ(-1, use.m_call());
    EXPECT_EQ(ELOOP, errno) << std::strerror(errno);
    ExpectVictimUntouched();
}

const CKernelFileUse ReadingServices[] = {
    {"GetCondition", "conditions", "1", [] { return scmKernelGetCondition(Domain, 1u, nullptr); }},
    {"ReadStorage", "storage", "tessera.uid", [] { return ReadStorage("tessera.uid"); }},
    {"ReadOptionalStorage", "storage", "pardata1.bin", [] { return ReadStorage("pardata1.bin"); }},
    {"RequestKelUdid", "", "kel-udid",
     []
     {
         uint8_t udid[6] = {};
         return ScmRequestKelUdid(Domain, udid);
     }},
    {"ReadFlashFile", "kel-flash", "16",
     []
     {
         uint8_t data[32] = {};
         return ScmReadKelFlashFile(Domain, 16u, 0u, sizeof(data), data);
     }},
    {"GetCpuProductCode", "", "cpu-product-code",
     []
     {
         errno = 0;
         return (ScmGetCpuProductCode() == 0u) ? -1 : 0;
     }},
};

INSTANTIATE_TEST_SUITE_P(ReadingServices, PlantedReadLink, ::testing::ValuesIn(ReadingServices), TestName);

/// The call's result and errno from a child process, or nothing when it did not end within the bound.
struct CBoundedResult
{
    bool m_ended;
    int m_result;
    int m_error;
};

CBoundedResult RunBounded(const std::function<int()>& call, int timeoutMilliseconds)
{
    int pipeDescriptors[2];
    if (pipe(pipeDescriptors) != 0)
    {
        return {false, 0, errno};
    }
    const pid_t child = fork();
    if (child == 0)
    {
        (void)close(pipeDescriptors[0]);
        const int result[2] = {call(), errno};
        const bool sent = write(pipeDescriptors[1], result, sizeof(result)) == static_cast<ssize_t>(sizeof(result));
        _exit(sent ? 0 : 1);
    }
    (void)close(pipeDescriptors[1]);
    pollfd readable{pipeDescriptors[0], POLLIN, 0};
    int result[2] = {0, 0};
    const bool ended = (poll(&readable, 1, timeoutMilliseconds) == 1) &&
                       (read(pipeDescriptors[0], result, sizeof(result)) == static_cast<ssize_t>(sizeof(result)));
    (void)close(pipeDescriptors[0]);
    if (!ended)
    {
        (void)kill(child, SIGKILL);
    }
    (void)waitpid(child, nullptr, 0);
    return {ended, result[0], result[1]};
}

class FifoInPlace : public KernelFileFixture, public ::testing::WithParamInterface<CKernelFileUse>
{
};

// A FIFO swapped in for a kernel file would block an open for good: the service fails at once instead.
TEST_P(FifoInPlace, FailsAtOnceWithoutBlocking)
{
    const CKernelFileUse& use = GetParam();
    const std::string path = PathOf(use, use.m_file);
    (void)unlink(path.c_str());
    ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    const CBoundedResult result = RunBounded(use.m_call, 5000);
    ASSERT_TRUE(result.m_ended) << "the service blocked on the FIFO";
    EXPECT_EQ(-1, result.m_result) << "a FIFO is no kernel file, and not an absent one either";
    EXPECT_EQ(EINVAL, result.m_error) << std::strerror(result.m_error);
}

const CKernelFileUse FifoServices[] = {
    ReadingServices[0],
    ReadingServices[1],
    ReadingServices[2],
    ReadingServices[3],
    ReadingServices[4],
    ReadingServices[5],
    {"LockReset", "", "reset-lock", [] { return ScmLockReset(Domain); }},
    {"EmptyStorage", "storage", "tessera.dat", [] { return EmptyStorage("tessera.dat"); }},
    {"PlcResets", "", "plc-resets",
     []
     {
         uint32_t count = 0u;
         uint32_t mode = 0u;
         return scmKernelGetPlcResets(Domain, &count, &mode);
     }},
};

INSTANTIATE_TEST_SUITE_P(KernelFiles, FifoInPlace, ::testing::ValuesIn(FifoServices), TestName);

class KernelStorageErrors : public KernelFileFixture
{
};

// Emptying keeps the storage's owner and mode: the checker empties a storage of the SCM that it may write
// but that no file of its own may replace.
TEST_F(KernelStorageErrors, EmptyingAStorageKeepsItsOwnerAndMode)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "tessera.uid", "content", 7u));
    const std::string path = m_isolation->GetKernelRoot() + "/scm0007/storage/tessera.uid";
    ASSERT_EQ(0, chown(path.c_str(), 4242u, 4343u));
    ASSERT_EQ(0, chmod(path.c_str(), 0660));
    ASSERT_EQ(0, EmptyStorage("tessera.uid"));
    struct stat status
    {
    };
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0, status.st_size);
    EXPECT_EQ(4242u, status.st_uid);
    EXPECT_EQ(4343u, status.st_gid);
    EXPECT_EQ(0660u, status.st_mode & 07777u);
}

TEST_F(KernelStorageErrors, NewStoragesGetTheirModeWhateverTheUmask)
{
    const mode_t previous = umask(0);
    const int copy = WriteStorage("fwrevcnf.bin.chk", "password");
    const int scm = WriteStorage("fwrevcnf.bin", "password");
    (void)umask(previous);
    ASSERT_EQ(0, copy);
    ASSERT_EQ(0, scm);
    struct stat status
    {
    };
    ASSERT_EQ(0, stat((m_isolation->GetKernelRoot() + "/scm0007/storage/fwrevcnf.bin.chk").c_str(), &status));
    EXPECT_EQ(0600u, status.st_mode & 07777u) << "the checker's copies hold passwords";
    ASSERT_EQ(0, stat((m_isolation->GetKernelRoot() + "/scm0007/storage/fwrevcnf.bin").c_str(), &status));
    EXPECT_EQ(0660u, status.st_mode & 07777u);
}

TEST_F(KernelStorageErrors, AFolderWhereAStorageBelongsIsNoAbsentStorage)
{
    ASSERT_EQ(0, mkdir((m_isolation->GetKernelRoot() + "/scm0007/storage/pardata1.bin").c_str(), 0700));
    EXPECT_EQ(-1, ScmOpenStorage(Domain, "pardata1.bin", ScmReadStorageMode));
    EXPECT_EQ(EINVAL, errno);
}
} // namespace
} // namespace PlatformTest
