// scm-files check and dump on storage directories of built files: output lines, refusals, exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Files/CTesseraUidBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"

namespace
{
using Support::Bytes;

struct CRun
{
    int m_exitCode;
    std::vector<std::string> m_lines;
};

CRun RunTool(const std::string& arguments)
{
    const std::string command = std::string(SCM_FILES_PROGRAM) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    CRun run{-1, {}};
    if (pipe == nullptr)
    {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    std::array<char, 4096> chunk{};
    std::string text;
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr)
    {
        text += chunk.data();
    }
    const int status = pclose(pipe);
    run.m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
    {
        run.m_lines.push_back(line);
    }
    return run;
}

const Support::Udid UdidA = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const Support::Udid UdidB = {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5};

Support::CTesseraDatBuilder TesseraDat(bool inverted)
{
    Support::CTesseraDatBuilder builder;
    builder.m_inverted = inverted;
    builder.AddUdid(3u, UdidA);
    builder.AddUdid(9u, UdidB);
    return builder;
}

Support::CFwRevCnfBinBuilder FwRevCnfBin(bool inverted)
{
    Support::CFwRevCnfBinBuilder builder;
    builder.m_inverted = inverted;
    builder.AddModule(3u, 2u);
    builder.AddModule(9u, 0x0105u);
    builder.m_hasKelUdid = true;
    builder.m_kelUdid = UdidB;
    builder.m_hasPassword = true;
    builder.m_password = {0x70, 0x61, 0x73, 0x73};
    builder.m_tesseraEmpty = true;
    return builder;
}

Support::CTesseraUidBuilder TesseraUid(bool inverted)
{
    Support::CTesseraUidBuilder builder;
    builder.m_kelUdid = UdidB;
    builder.m_timestamp = 1234567890123u;
    builder.m_inverted = inverted;
    return builder;
}

Support::CParameterStreamBuilder Parameters()
{
    Support::CParameterStreamBuilder stream;
    Support::CModuleRecord module;
    module.m_safetyAddress = 3u;
    module.m_vendorId = 0x11u;
    module.m_productCode = 0x22u;
    module.m_majorRevision = 1u;
    module.m_minorRevision = 2u;
    module.m_parameterChecksum = {1, 2, 3, 4};
    stream.AddModule(module);
    stream.AddCommissioningFlags(false, true, true);
    return stream;
}

class CScmFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/scm-files-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        m_directory = pattern;
    }
    void TearDown() override
    {
        std::filesystem::remove_all(m_directory);
    }

    void Write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream file(m_directory + "/" + name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    void WriteValidDomain() const
    {
        Write("tessera.uid", TesseraUid(false).Build());
        Write("tessera.uid.chk", TesseraUid(true).Build());
        Write("tessera.dat", TesseraDat(false).Build());
        Write("tessera.dat.chk", TesseraDat(true).Build());
        Support::CTolParaSafBuilder tolParaSaf;
        tolParaSaf.m_scmSection = Parameters().Build();
        Write("tol_para.saf", tolParaSaf.Build());
        Support::CAutoCnfBinBuilder autoCnfBin;
        autoCnfBin.m_timestamp = 77u;
        autoCnfBin.AddUdid(4u, UdidA);
        autoCnfBin.AddUdid(5u, Support::Udid{});
        autoCnfBin.m_machineOptions = Bytes(76u, 0xABu);
        Write("autocnf.bin", autoCnfBin.Build());
        Support::CEmoData1BinBuilder emoData1Bin;
        emoData1Bin.m_timestamp = 88u;
        emoData1Bin.m_body = Bytes(36u, 1u);
        Write("emodata1.bin", emoData1Bin.Build());
        Support::CParData1BinBuilder parData1Bin;
        Support::CAdditionalParameterRecord parameter;
        parameter.m_parameterNumber = 4u;
        parameter.m_safetyAddress = 9u;
        parameter.m_data = {1, 2, 3};
        parData1Bin.m_parameters.push_back(parameter);
        Write("pardata1.bin", parData1Bin.Build());
        Write("fwrevcnf.bin", FwRevCnfBin(false).Build());
        Write("fwrevcnf.bin.chk", FwRevCnfBin(true).Build());
    }

    CRun Check() const
    {
        return RunTool("check " + m_directory);
    }
    CRun Dump(const std::string& name) const
    {
        return RunTool("dump " + m_directory + " " + name);
    }

    std::string m_directory;
};

const std::vector<std::string> FileNames = {"tessera.uid",  "tessera.uid.chk", "tessera.dat",  "tessera.dat.chk",
                                            "tol_para.saf", "autocnf.bin",     "emodata1.bin", "pardata1.bin",
                                            "fwrevcnf.bin", "fwrevcnf.bin.chk"};

std::vector<std::string> Lines(const std::string& status)
{
    std::vector<std::string> lines;
    for (const std::string& name : FileNames)
    {
        lines.push_back("file=" + name + " status=" + status);
    }
    return lines;
}

TEST_F(CScmFiles, CheckReportsEveryValidFileInLoadingOrder)
{
    WriteValidDomain();
    const CRun run = Check();
    EXPECT_EQ(0, run.m_exitCode);
    EXPECT_EQ(Lines("ok"), run.m_lines);
}

TEST_F(CScmFiles, CheckReportsAbsentFilesWithoutFailing)
{
    const CRun run = Check();
    EXPECT_EQ(0, run.m_exitCode);
    EXPECT_EQ(Lines("absent"), run.m_lines);
}

struct CDamage
{
    const char* m_name;
    const char* m_file;
    Bytes m_bytes;
    const char* m_line;
};

void PrintTo(const CDamage& damage, std::ostream* stream)
{
    *stream << damage.m_name;
}

std::vector<CDamage> Damages()
{
    Support::CTesseraDatBuilder cutRecord = TesseraDat(false);
    cutRecord.m_sectionTail = {0x05, 0xCC, 0x01};
    Support::CAutoCnfBinBuilder udidVersion;
    udidVersion.AddUdid(4u, UdidA);
    udidVersion.m_udidVersion = 0x301u;
    Support::CFwRevCnfBinBuilder flags = FwRevCnfBin(true);
    flags.m_featureFlags = 0x0020u;
    Support::CParameterStreamBuilder longChecksum = Parameters();
    Support::CModuleRecord module;
    module.m_safetyAddress = 4u;
    module.m_parameterChecksum = Bytes(260u, 0x5Au);
    longChecksum.AddModule(module);
    Support::CTolParaSafBuilder tolParaSaf;
    tolParaSaf.m_scmSection = longChecksum.Build();
    Support::CFwRevCnfBinBuilder badAddress = FwRevCnfBin(false);
    badAddress.AddModule(1024u, 1u);
    return {
        {"TesseraUidTooLong", "tessera.uid", Bytes(257u, 0u),
         "file=tessera.uid status=refused error=0xE230 name=BufferTooShort info0=0 info1=257"},
        {"TesseraDatCutRecord", "tessera.dat", cutRecord.Build(),
         "file=tessera.dat status=refused error=0xE2AA name=IncompleteDescription info0=0 info1=26"},
        {"AutoCnfBinUdidSection", "autocnf.bin", udidVersion.Build(),
         "file=autocnf.bin status=refused error=0xE2A2 name=InvalidModuleVersion info0=0 info1=769"},
        {"FwRevCnfBinChkFlags", "fwrevcnf.bin.chk", flags.Build(),
         "file=fwrevcnf.bin.chk status=refused error=0xE27D name=InvalidFeatureFlags info0=0 info1=32"},
        {"FwRevCnfBinModuleAddress", "fwrevcnf.bin", badAddress.Build(),
         "file=fwrevcnf.bin status=refused error=0xE2AE name=InvalidSafetyAddress info0=0 info1=1024"},
        {"TolParaSafChecksumTooLong", "tol_para.saf", tolParaSaf.Build(),
         "file=tol_para.saf status=refused error=0xE2B4 name=InvalidLength info0=14 info1=260"},
        {"EmoData1BinShort", "emodata1.bin", Bytes(10u, 0u),
         "file=emodata1.bin status=refused error=0xE2A9 name=OtherReason info0=1 info1=10"},
    };
}

class CScmFilesDamage : public CScmFiles, public testing::WithParamInterface<CDamage>
{
};

TEST_P(CScmFilesDamage, CheckReportsTheRefusalAndExitsWithOne)
{
    const CDamage& damage = GetParam();
    WriteValidDomain();
    Write(damage.m_file, damage.m_bytes);
    const CRun run = Check();
    EXPECT_EQ(1, run.m_exitCode);
    std::vector<std::string> expected = Lines("ok");
    for (std::string& line : expected)
    {
        if (line.rfind(std::string("file=") + damage.m_file + " ", 0u) == 0u)
        {
            line = damage.m_line;
        }
    }
    EXPECT_EQ(expected, run.m_lines);
    const CRun dump = Dump(damage.m_file);
    EXPECT_EQ(1, dump.m_exitCode);
    ASSERT_FALSE(dump.m_lines.empty());
    EXPECT_EQ(damage.m_line, dump.m_lines.back());
}

INSTANTIATE_TEST_SUITE_P(Table, CScmFilesDamage, testing::ValuesIn(Damages()),
                         [](const testing::TestParamInfo<CDamage>& damage) { return damage.param.m_name; });

TEST_F(CScmFiles, DumpListsTheRecordsOfEachFile)
{
    WriteValidDomain();
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"tessera.uid", {"kel_udid=a0b1c2d3e4f5 timestamp=1234567890123"}},
        {"tessera.dat", {"sadr=3 udid=001122334455", "sadr=9 udid=a0b1c2d3e4f5"}},
        {"autocnf.bin",
         {"timestamp=77", "sadr=4 udid=001122334455",
          "machine_options=" +
              []
              {
                  std::string hex;
                  for (int i = 0; i < 76; ++i)
                  {
                      hex += "ab";
                  }
                  return hex;
              }()}},
        {"emodata1.bin", {"timestamp=88 length=100"}},
        {"pardata1.bin", {"sadr=9 number=4"}},
        {"fwrevcnf.bin",
         {"sadr=3 minor=2", "sadr=9 minor=261",
          "has_cpu_id=0 cpu_id=0000000000000000 has_kel_udid=1 kel_udid=a0b1c2d3e4f5 has_password=1 "
          "password=70617373000000000000000000000000 tessera_empty=1 setup_mode=0"}},
        {"tol_para.saf",
         {"index=0xC402 subindex=1 length=2 data=0300", "index=0xC402 subindex=2 length=4 data=11000000",
          "index=0xC402 subindex=3 length=4 data=22000000", "index=0xC402 subindex=4 length=4 data=02000100",
          "index=0xC402 subindex=14 length=4 data=01020304", "index=0x210B subindex=1 length=1 data=00",
          "index=0x210B subindex=2 length=1 data=01", "index=0x210B subindex=3 length=1 data=01"}},
    };
    for (const auto& [name, lines] : expected)
    {
        const CRun run = Dump(name);
        EXPECT_EQ(0, run.m_exitCode) << name;
        EXPECT_EQ(lines, run.m_lines) << name;
    }
}

TEST_F(CScmFiles, ACheckCopyDumpsLikeItsFile)
{
    WriteValidDomain();
    for (const std::string name : {"tessera.uid", "tessera.dat", "fwrevcnf.bin"})
    {
        const CRun plain = Dump(name);
        const CRun copy = Dump(name + ".chk");
        EXPECT_EQ(0, copy.m_exitCode) << name;
        EXPECT_FALSE(copy.m_lines.empty()) << name;
        EXPECT_EQ(plain.m_lines, copy.m_lines) << name;
    }
}

TEST_F(CScmFiles, DumpOfAnAbsentFileEndsWithItsCheckLine)
{
    const CRun run = Dump("pardata1.bin");
    EXPECT_EQ(1, run.m_exitCode);
    EXPECT_EQ(std::vector<std::string>{"file=pardata1.bin status=absent"}, run.m_lines);
}

TEST(ScmFilesUsage, HelpAndUsageErrors)
{
    const CRun help = RunTool("--help");
    EXPECT_EQ(0, help.m_exitCode);
    EXPECT_FALSE(help.m_lines.empty());
    for (const char* arguments : {"", "check", "check a b", "dump /tmp", "dump /tmp unknown.bin", "list /tmp",
                                  "check /nonexistent-scm-dir", "dump /nonexistent-scm-dir tessera.dat"})
    {
        const CRun run = RunTool(arguments);
        EXPECT_EQ(2, run.m_exitCode) << arguments;
        EXPECT_TRUE(run.m_lines.empty()) << arguments;
    }
}
} // namespace
