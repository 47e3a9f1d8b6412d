// Storages of the emulated kernel through the Scm wrappers: whole reads and writes, deletion, atomic replacement.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "PlatformFixture.h"
#include "Scm/ScmKernel.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"

namespace PlatformTest
{
namespace
{
class KernelStorage : public ProvisionedDomain
{
protected:
    // The storage's content through the peer's view; "<missing>" when it does not exist.
    std::string PeerRead(const char* name)
    {
        char buffer[256] = {};
        const ssize_t length = scmKernelReadStorage(Domain, name, buffer, sizeof(buffer));
        return (length < 0) ? "<missing>" : std::string(buffer, static_cast<std::size_t>(length));
    }

    void Write(const char* name, const std::string& content)
    {
        const int32_t handle = ScmOpenStorage(Domain, name, ScmWriteStorageMode);
        ASSERT_GT(handle, 0);
        ASSERT_EQ(static_cast<int32_t>(content.size()),
                  ScmWriteStorage(handle, static_cast<uint32_t>(content.size()), content.data()));
        ASSERT_EQ(0, ScmCloseStorage(handle));
    }

    std::vector<std::string> ListStorageFolder()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_isolation->GetKernelRoot() + "/scm0007/storage"))
        {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(KernelStorage, WrittenContentReadsBackWhole)
{
    Write("tessera.uid", "identity file");
    const int32_t handle = ScmOpenStorage(Domain, "tessera.uid", ScmReadStorageMode);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(13, ScmGetStorageLength(handle));
    char buffer[32] = {};
    EXPECT_EQ(13, ScmReadStorage(handle, sizeof(buffer), buffer));
    EXPECT_EQ("identity file", std::string(buffer));
    EXPECT_EQ(0, ScmCloseStorage(handle));
    EXPECT_EQ("identity file", PeerRead("tessera.uid"));
}

TEST_F(KernelStorage, OpenForWritingAndCloseLeavesTheStorageEmpty)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "tessera.dat.chk", "old", 3u));
    const int32_t handle = ScmOpenStorage(Domain, "tessera.dat.chk", ScmWriteStorageMode);
    ASSERT_GT(handle, 0);
    EXPECT_EQ("old", PeerRead("tessera.dat.chk")) << "replaced only on close";
    ASSERT_EQ(0, ScmCloseStorage(handle));
    EXPECT_EQ("", PeerRead("tessera.dat.chk"));
}

struct CAbsentStorage
{
    const char* m_name;
    int32_t m_handle;
};

void PrintTo(const CAbsentStorage& storage, std::ostream* stream)
{
    *stream << storage.m_name;
}

class AbsentStorage : public KernelStorage, public ::testing::WithParamInterface<CAbsentStorage>
{
};

TEST_P(AbsentStorage, FailsToOpenForReadingAndOnlyOptionalFilesReadAsEmpty)
{
    EXPECT_EQ(GetParam().m_handle, ScmOpenStorage(Domain, GetParam().m_name, ScmReadStorageMode));
}

INSTANTIATE_TEST_SUITE_P(Names, AbsentStorage,
                         ::testing::Values(CAbsentStorage{"tessera.dat", -1}, CAbsentStorage{"fwrevcnf.bin", -1},
                                           CAbsentStorage{"pardata1.bin", SCM_ABSENT_OPTIONAL_STORAGE_HANDLE},
                                           CAbsentStorage{"EMODATA1.BIN", SCM_ABSENT_OPTIONAL_STORAGE_HANDLE},
                                           CAbsentStorage{"../escape", -1}, CAbsentStorage{".hidden", -1},
                                           CAbsentStorage{"a/b", -1}));

TEST_F(KernelStorage, PresentOptionalStorageGetsARealHandle)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "pardata1.bin", "p", 1u));
    const int32_t handle = ScmOpenStorage(Domain, "pardata1.bin", ScmReadStorageMode);
    EXPECT_GT(handle, 0);
    EXPECT_NE(SCM_ABSENT_OPTIONAL_STORAGE_HANDLE, handle);
    EXPECT_EQ(1, ScmGetStorageLength(handle));
    EXPECT_EQ(0, ScmCloseStorage(handle));
}

TEST_F(KernelStorage, FailedWriteKeepsTheOldContent)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "fwrevcnf.bin", "old content", 11u));
    const int32_t handle = ScmOpenStorage(Domain, "fwrevcnf.bin", ScmWriteStorageMode);
    ASSERT_GT(handle, 0);
    ASSERT_EQ(OK, platformFaultInject("ScmWriteStorage", 1u, ENOSPC, 1u));
    EXPECT_EQ(-1, ScmWriteStorage(handle, 3u, "new"));
    EXPECT_EQ(-1, ScmCloseStorage(handle));
    EXPECT_EQ("old content", PeerRead("fwrevcnf.bin"));
    EXPECT_EQ(std::vector<std::string>{"fwrevcnf.bin"}, ListStorageFolder()) << "no temporary file is left";
}

TEST_F(KernelStorage, HandlesAreReusedButNeverTheAbsentHandleAndClosedOnesAreInvalid)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "tol_para.saf", "x", 1u));
    int32_t previous = -1;
    for (int i = 0; i < 2000; ++i)
    {
        const int32_t handle = ScmOpenStorage(Domain, "tol_para.saf", ScmReadStorageMode);
        ASSERT_GT(handle, 0);
        ASSERT_NE(SCM_ABSENT_OPTIONAL_STORAGE_HANDLE, handle);
        ASSERT_NE(previous, handle);
        ASSERT_EQ(0, ScmCloseStorage(handle));
        previous = handle;
    }
    EXPECT_EQ(-1, ScmCloseStorage(previous));
    EXPECT_EQ(-1, ScmGetStorageLength(previous));
}

TEST_F(KernelStorage, ReadHandleRefusesWritesAndWriteHandleRefusesReads)
{
    ASSERT_EQ(0, scmKernelWriteStorage(Domain, "autocnf.bin", "a", 1u));
    const int32_t reader = ScmOpenStorage(Domain, "autocnf.bin", ScmReadStorageMode);
    const int32_t writer = ScmOpenStorage(Domain, "other.bin", ScmWriteStorageMode);
    char buffer[4];
    EXPECT_EQ(-1, ScmWriteStorage(reader, 1u, "b"));
    EXPECT_EQ(-1, ScmReadStorage(writer, sizeof(buffer), buffer));
    EXPECT_EQ(0, ScmCloseStorage(reader));
    EXPECT_EQ(0, ScmCloseStorage(writer));
}

TEST_F(KernelStorage, StoragesOfAMissingDomainCannotBeOpened)
{
    EXPECT_EQ(-1, ScmOpenStorage(8u, "tessera.dat", ScmWriteStorageMode));
    EXPECT_EQ(-1, ScmOpenStorage(8u, "tessera.dat", ScmReadStorageMode));
}
} // namespace
} // namespace PlatformTest
