// The runtime file storage over the emulated kernel: whole-file operations, refusals, closing after failures.
#include "Main/CRuntimeFileStorage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "Main/CFileStorageEventCode.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Bytes = std::vector<std::uint8_t>;
using Code = Main::CFileStorageEventCode;

constexpr std::uint16_t Domain = 17u;

Bytes Pattern(std::size_t length)
{
    Bytes bytes(length);
    for (std::size_t i = 0u; i < length; ++i)
    {
        bytes[i] = static_cast<std::uint8_t>(i * 13u + 1u);
    }
    return bytes;
}

class CRuntimeFileStorageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, scmKernelCreateDomain(Domain));
        Support::SetSafetyDomainNumber(Domain);
    }
    void TearDown() override
    {
        platformFaultClear();
        Support::SetSafetyDomainNumber(1u);
    }

    // What the kernel holds, read around the storage under test.
    Bytes Stored(const char* name) const
    {
        Bytes bytes(300000u);
        const ssize_t length = scmKernelReadStorage(Domain, name, bytes.data(), bytes.size());
        bytes.resize((length < 0) ? 0u : static_cast<std::size_t>(length));
        return bytes;
    }

    Support::CPlatformIsolation m_isolation;
    Main::CRuntimeFileStorage m_storage;
};

TEST_F(CRuntimeFileStorageTest, WritesAndReadsWholeFiles)
{
    for (const std::size_t length : {std::size_t{1u}, std::size_t{18u}, std::size_t{65536u}, std::size_t{262144u}})
    {
        const Bytes content = Pattern(length);
        m_storage.Write("tol_para.saf", static_cast<std::uint32_t>(length), content.data());
        EXPECT_EQ(content, Stored("tol_para.saf"));
        EXPECT_EQ(length, m_storage.GetLength("tol_para.saf"));
        Bytes buffer(262144u + 10u, 0xEEu);
        ASSERT_EQ(length, m_storage.Read("tol_para.saf", static_cast<std::uint32_t>(buffer.size()), buffer.data()));
        EXPECT_EQ(content, Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_EQ(0xEEu, buffer[length]) << "nothing beyond the content";
    }
}

TEST_F(CRuntimeFileStorageTest, EmptyWritesAndDeletedStoragesReadAsEmpty)
{
    const Bytes content = Pattern(40u);
    m_storage.Write("tessera.dat.chk", 0u, content.data());
    EXPECT_EQ(0u, m_storage.GetLength("tessera.dat.chk"));
    m_storage.Write("tessera.dat.chk", 40u, content.data());
    m_storage.Delete("tessera.dat.chk");
    Bytes buffer(8u, 0xEEu);
    EXPECT_EQ(0u, m_storage.Read("tessera.dat.chk", 8u, buffer.data()));
    EXPECT_EQ(Bytes(8u, 0xEEu), buffer);
    m_storage.Delete("fwrevcnf.bin.chk");
    EXPECT_EQ(0u, m_storage.GetLength("fwrevcnf.bin.chk")) << "deleting creates an empty storage";
}

TEST_F(CRuntimeFileStorageTest, RefusesAContentLongerThanTheBufferAndReadsNothing)
{
    const Bytes content = Pattern(100u);
    m_storage.Write("autocnf.bin", 100u, content.data());
    Bytes buffer(99u, 0xEEu);
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_storage.Read("autocnf.bin", 99u, buffer.data()); }),
        Code::BufferTooShort, 0u, 100u);
    EXPECT_EQ(Bytes(99u, 0xEEu), buffer);
}

TEST_F(CRuntimeFileStorageTest, AMissingStorageCannotBeOpenedButOptionalOnesReadAsEmpty)
{
    Bytes buffer(16u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_storage.Read("tessera.uid", 16u, buffer.data()); }), Code::OpenFailed,
        0u, 114u);
    Support::ExpectException(Support::CaptureException([&] { (void)m_storage.GetLength("tessera.uid"); }),
                             Code::OpenFailed, 0u, 114u);
    for (const char* optional : {"pardata1.bin", "emodata1.bin", "ParData1.BIN"})
    {
        EXPECT_EQ(0u, m_storage.GetLength(optional)) << optional;
        EXPECT_EQ(0u, m_storage.Read(optional, 16u, buffer.data())) << optional;
    }
}

// Only absence reads as empty: an optional file that fails to open for any other reason is the failure it is.
TEST_F(CRuntimeFileStorageTest, AnOptionalStorageThatFailsToOpenIsNoAbsentOne)
{
    const Bytes content = Pattern(12u);
    m_storage.Write("pardata1.bin", 12u, content.data());
    Bytes buffer(16u);
    ASSERT_EQ(0, platformFaultInject("ScmOpenStorage", 1u, EIO, 1u));
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_storage.Read("pardata1.bin", 16u, buffer.data()); }), Code::OpenFailed,
        0u, 114u);
    ASSERT_EQ(0, platformFaultInject("ScmOpenStorage", 1u, EIO, 1u));
    Support::ExpectException(Support::CaptureException([&] { (void)m_storage.GetLength("emodata1.bin"); }),
                             Code::OpenFailed, 0u, 114u);
    EXPECT_EQ(12u, m_storage.Read("pardata1.bin", 16u, buffer.data()));
}

TEST_F(CRuntimeFileStorageTest, DeletingUnderNoSpaceReportsTheFailureAndKeepsTheContent)
{
    const Bytes content = Pattern(12u);
    m_storage.Write("pardata1.bin", 12u, content.data());
    ASSERT_EQ(0, platformFaultInject("ScmOpenStorage", 1u, ENOSPC, 1u));
    Support::ExpectException(Support::CaptureException([&] { m_storage.Delete("pardata1.bin"); }), Code::OpenFailed, 0u,
                             119u);
    EXPECT_EQ(content, Stored("pardata1.bin"));
    m_storage.Delete("pardata1.bin");
    EXPECT_EQ(0u, m_storage.GetLength("pardata1.bin"));
}

TEST_F(CRuntimeFileStorageTest, TheDomainIsTakenAnewAtEachCall)
{
    const Bytes content = Pattern(5u);
    m_storage.Write("tessera.uid", 5u, content.data());
    Support::SetSafetyDomainNumber(Domain + 1u);
    Support::ExpectException(Support::CaptureException([&] { (void)m_storage.GetLength("tessera.uid"); }),
                             Code::OpenFailed, 0u, 114u);
    Support::ExpectException(Support::CaptureException([&] { m_storage.Write("tessera.uid", 5u, content.data()); }),
                             Code::OpenFailed, 0u, 119u);
    Support::ExpectException(Support::CaptureException([&] { m_storage.Delete("tessera.uid"); }), Code::OpenFailed, 0u,
                             119u);
    Support::SetSafetyDomainNumber(Domain);
    EXPECT_EQ(5u, m_storage.GetLength("tessera.uid"));
}

struct CKernelFault
{
    const char* m_name;
    const char* m_service;
    std::uint16_t m_code;
};

void PrintTo(const CKernelFault& fault, std::ostream* stream)
{
    *stream << fault.m_name;
}

class CRuntimeFileStorageReadFault : public CRuntimeFileStorageTest, public testing::WithParamInterface<CKernelFault>
{
};

TEST_P(CRuntimeFileStorageReadFault, RaisesItsCodeAndLeavesTheStorageUsable)
{
    const CKernelFault& fault = GetParam();
    const Bytes content = Pattern(64u);
    m_storage.Write("tessera.dat", 64u, content.data());
    ASSERT_EQ(0, platformFaultInject(fault.m_service, 1u, EIO, 1u));
    Bytes buffer(64u);
    Support::ExpectException(
        Support::CaptureException([&] { (void)m_storage.Read("tessera.dat", 64u, buffer.data()); }), fault.m_code, 0u,
        0u);
    EXPECT_EQ(64u, m_storage.Read("tessera.dat", 64u, buffer.data()));
    EXPECT_EQ(content, buffer);
}

INSTANTIATE_TEST_SUITE_P(Table, CRuntimeFileStorageReadFault,
                         testing::Values(CKernelFault{"GetLength", "ScmGetStorageLength", Code::GetLengthFailed},
                                         CKernelFault{"Read", "ScmReadStorage", Code::ReadFailed},
                                         CKernelFault{"Close", "ScmCloseStorage", Code::CloseFailed}),
                         [](const testing::TestParamInfo<CKernelFault>& fault) { return fault.param.m_name; });

TEST_F(CRuntimeFileStorageTest, FailuresOfTheOtherOperationsRaiseTheirCodes)
{
    const Bytes oldContent = Pattern(10u);
    const Bytes newContent = Pattern(20u);
    m_storage.Write("fwrevcnf.bin.chk", 10u, oldContent.data());

    ASSERT_EQ(0, platformFaultInject("ScmWriteStorage", 1u, ENOSPC, 1u));
    Support::ExpectException(
        Support::CaptureException([&] { m_storage.Write("fwrevcnf.bin.chk", 20u, newContent.data()); }),
        Code::WriteFailed, 0u, 0u);
    EXPECT_EQ(oldContent, Stored("fwrevcnf.bin.chk")) << "a failed write leaves the old content";

    ASSERT_EQ(0, platformFaultInject("ScmCloseStorage", 1u, EIO, 1u));
    Support::ExpectException(
        Support::CaptureException([&] { m_storage.Write("fwrevcnf.bin.chk", 20u, newContent.data()); }),
        Code::CloseFailed, 0u, 0u);
    ASSERT_EQ(0, platformFaultInject("ScmCloseStorage", 1u, EIO, 1u));
    Support::ExpectException(Support::CaptureException([&] { (void)m_storage.GetLength("fwrevcnf.bin.chk"); }),
                             Code::CloseFailed, 0u, 0u);
    ASSERT_EQ(0, platformFaultInject("ScmCloseStorage", 1u, EIO, 1u));
    Support::ExpectException(Support::CaptureException([&] { m_storage.Delete("fwrevcnf.bin.chk"); }),
                             Code::CloseFailed, 0u, 0u);
    ASSERT_EQ(0, platformFaultInject("ScmOpenStorage", 1u, EIO, 1u));
    Support::ExpectException(Support::CaptureException([&] { m_storage.Delete("fwrevcnf.bin.chk"); }), Code::OpenFailed,
                             0u, 119u);

    m_storage.Write("fwrevcnf.bin.chk", 20u, newContent.data());
    EXPECT_EQ(newContent, Stored("fwrevcnf.bin.chk"));
}

TEST_F(CRuntimeFileStorageTest, NullArgumentsRaiseTheGuardOfItsFile)
{
    std::uint8_t byte = 0u;
    const char* const file = "CRuntimeFileStorage.cpp";
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_storage.GetLength(nullptr); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_storage.Read(nullptr, 1u, &byte); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)m_storage.Read("tessera.uid", 1u, nullptr); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { m_storage.Write(nullptr, 1u, &byte); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { m_storage.Write("tessera.uid", 0u, nullptr); }), file);
    Support::ExpectGuard(Support::CaptureGuard([&] { m_storage.Delete(nullptr); }), file);
}
} // namespace
