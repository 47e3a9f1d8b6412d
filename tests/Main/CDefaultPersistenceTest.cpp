// The persistence manager over the emulated kernel's storages: loading at start-up, the pair comparisons and their
// events, the controller's key-medium signature, the setup-mode decision, the signature synchronisation and the
// rewrites of the checker's ".chk" files.
#include "Main/CDefaultPersistence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Main/CFileStorageEventCode.h"
#include "Main/CPersistenceEventCode.h"
#include "Main/CRuntimeFileStorage.h"
#include "Param/CAutoCnfBinEventCode.h"
#include "Param/CByteArrayReaderEventCode.h"
#include "Param/CEmoData1BinEventCode.h"
#include "Param/CFwRevCnfBinEventCode.h"
#include "Param/CParData1BinEventCode.h"
#include "Param/CParameterReaderEventCode.h"
#include "Param/CTesseraDatEventCode.h"
#include "Param/CTesseraUidEventCode.h"
#include "Param/CTolParaSafEventCode.h"
#include "Scm/ScmEventLog.h"
#include "Scm/ScmQueueNames.h"
#include "msgQLib.h"
#include "platformControl.h"
#include "scmKernelEmulation.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"
#include "support/Files/CTesseraUidBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/ChildExit.h"
#include "support/Test/FailureReporting.h"
#include "support/Test/GuardExpectation.h"

namespace
{
using Support::Bytes;
using Support::Complemented;
using Code = Main::CPersistenceEventCode;
using CStorages = std::map<std::string, Bytes>;

constexpr std::uint16_t Domain = 23u;
constexpr std::uint32_t PersistenceIdentifier = 0x1833041Eu;
constexpr std::uint8_t Warning = 2u;
constexpr std::uint8_t Error = 3u;

constexpr std::uint32_t CpuProductCode = 0x12345678u;
constexpr std::uint32_t CpuSerialNumber = 0x9ABCDEF0u;
const Support::CpuId ControllerCpuId{0x78u, 0x56u, 0x34u, 0x12u, 0xF0u, 0xDEu, 0xBCu, 0x9Au};
const Support::Udid ControllerKelUdid{0x00u, 0x60u, 0x65u, 0x10u, 0x20u, 0x30u};
const Support::Udid OtherKelUdid{0x00u, 0x60u, 0x65u, 0x10u, 0x20u, 0x31u};
constexpr std::uint64_t SignatureTimestamp = 0x0000018F2A3B4C5Du;
const Support::Password StoredPassword{1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u};
const Support::Password NewPassword{0x51u, 0x52u, 0x53u, 0x54u, 0x55u, 0x56u, 0x57u, 0x58u,
                                    0x59u, 0x5Au, 0x5Bu, 0x5Cu, 0x5Du, 0x5Eu, 0x5Fu, 0x60u};
const Support::Udid Udid3{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x03u};
const Support::Udid Udid5{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x05u};
const Support::Udid Udid7{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x07u};
const Support::Udid Udid9{0x00u, 0x60u, 0x65u, 0x00u, 0x00u, 0x09u};
constexpr std::uint32_t AutoCnfBinTimestamp = 0x5F000001u;
constexpr std::uint32_t EmoData1BinTimestamp = 0x5F000002u;

const char* const MandatoryStorages[] = {"tessera.uid",  "tessera.uid.chk", "tessera.dat",  "tessera.dat.chk",
                                         "tol_para.saf", "autocnf.bin",     "fwrevcnf.bin", "fwrevcnf.bin.chk"};

// The domain's files as the SCM and the checker leave them after a commissioning: every file present and valid,
// each pair in agreement, the controller's signature matching the checker's copy.
Support::CTesseraUidBuilder SignatureFile(bool inverted)
{
    Support::CTesseraUidBuilder file;
    file.m_kelUdid = ControllerKelUdid;
    file.m_timestamp = SignatureTimestamp;
    file.m_inverted = inverted;
    return file;
}

Support::CTesseraDatBuilder UdidFile(bool inverted)
{
    Support::CTesseraDatBuilder file;
    file.m_inverted = inverted;
    file.AddUdid(3u, Udid3);
    file.AddUdid(5u, Udid5);
    return file;
}

Support::CFwRevCnfBinBuilder FirmwareFile(bool inverted)
{
    Support::CFwRevCnfBinBuilder file;
    file.m_inverted = inverted;
    file.AddModule(3u, 2u);
    file.AddModule(5u, 1u);
    file.m_hasCpuId = true;
    file.m_cpuId = ControllerCpuId;
    file.m_hasKelUdid = true;
    file.m_kelUdid = ControllerKelUdid;
    file.m_hasPassword = true;
    file.m_password = StoredPassword;
    return file;
}

Support::CAdditionalParameterRecord AdditionalParameter(std::uint8_t number, std::uint16_t safetyAddress, Bytes data,
                                                        std::uint32_t timestamp)
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_parameterNumber = number;
    parameter.m_safetyAddress = safetyAddress;
    parameter.m_data = std::move(data);
    parameter.m_timestamp = timestamp;
    return parameter;
}

/// Modules 3, 5 and 7, the commissioning record (none when not configured) and one application parameter.
Bytes ParameterContainer(std::optional<bool> setupModeConfigured = false)
{
    Support::CParameterStreamBuilder section;
    for (const std::uint16_t safetyAddress : {3u, 5u, 7u})
    {
        section.AddModule({safetyAddress, 0x1Au, 0x2Bu, 1u, safetyAddress, {0x10u, 0x20u, 0x30u, 0x40u}});
    }
    if (setupModeConfigured.has_value())
    {
        section.AddCommissioningFlags(*setupModeConfigured, false, false);
    }
    section.AddAdditionalParameter(AdditionalParameter(1u, 3u, {0xA1u, 0xA2u, 0xA3u}, 0x5F000003u));
    Support::CTolParaSafBuilder file;
    file.m_scmSection = section.Build();
    return file.Build();
}

Bytes MachineOptions()
{
    Bytes options(76u);
    for (std::size_t i = 0u; i < options.size(); ++i)
    {
        options[i] = static_cast<std::uint8_t>(0x80u + i);
    }
    return options;
}

Support::CAutoCnfBinBuilder AutoConfigurationFile()
{
    Support::CAutoCnfBinBuilder file;
    file.m_timestamp = AutoCnfBinTimestamp;
    file.AddUdid(7u, Udid7);
    file.m_machineOptions = MachineOptions();
    return file;
}

Support::CEmoData1BinBuilder ExtendedMachineOptionFile()
{
    Support::CEmoData1BinBuilder file;
    file.m_timestamp = EmoData1BinTimestamp;
    file.m_body = {0xE1u, 0xE2u, 0xE3u, 0xE4u, 0xE5u};
    return file;
}

Support::CParData1BinBuilder ParameterDataFile()
{
    Support::CParData1BinBuilder file;
    file.m_parameters.push_back(AdditionalParameter(4u, 5u, {0xD1u, 0xD2u}, 0x5F000004u));
    return file;
}

Support::CDomainProvision FullDomain()
{
    Support::CDomainProvision domain;
    domain.m_cpuProductCode = CpuProductCode;
    domain.m_cpuSerialNumber = CpuSerialNumber;
    domain.m_kelUdid = ControllerKelUdid;
    domain.m_flashFile16 = SignatureFile(false).Build();
    domain.m_storages = {{"tessera.uid", SignatureFile(false).Build()},
                         {"tessera.uid.chk", SignatureFile(true).Build()},
                         {"tessera.dat", UdidFile(false).Build()},
                         {"tessera.dat.chk", UdidFile(true).Build()},
                         {"tol_para.saf", ParameterContainer()},
                         {"autocnf.bin", AutoConfigurationFile().Build()},
                         {"emodata1.bin", ExtendedMachineOptionFile().Build()},
                         {"pardata1.bin", ParameterDataFile().Build()},
                         {"fwrevcnf.bin", FirmwareFile(false).Build()},
                         {"fwrevcnf.bin.chk", FirmwareFile(true).Build()}};
    return domain;
}

Support::CDomainProvision EmptyDomain()
{
    Support::CDomainProvision domain = FullDomain();
    for (auto& storage : domain.m_storages)
    {
        storage.second.clear();
    }
    return domain;
}

// What the checks see through the streams and interfaces of the persistence manager, in plain form.
struct CLoaded
{
    std::vector<std::uint16_t> m_requiredSafetyAddresses;
    std::vector<std::pair<std::uint16_t, Support::Udid>> m_acknowledgedUdids;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> m_acknowledgedMinorRevisions;
    /// Safety address and parameter number.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> m_additionalParameters;
    bool m_hasPassword = false;
    bool m_acknowledged = false;

    auto Tie() const
    {
        return std::tie(m_requiredSafetyAddresses, m_acknowledgedUdids, m_acknowledgedMinorRevisions,
                        m_additionalParameters, m_hasPassword, m_acknowledged);
    }
    bool operator==(const CLoaded& other) const
    {
        return Tie() == other.Tie();
    }
};

void PrintTo(const CLoaded& loaded, std::ostream* stream)
{
    *stream << testing::PrintToString(loaded.Tie());
}

CLoaded Load(Main::CDefaultPersistence& persistence)
{
    CLoaded loaded;
    std::uint16_t safetyAddress = 0u;
    Param::CSafetyAddressReader& addresses = persistence.GetRequiredSafetyAddressReader();
    addresses.Open();
    while (addresses.TryReadNext(safetyAddress))
    {
        loaded.m_requiredSafetyAddresses.push_back(safetyAddress);
    }
    addresses.Close();
    Param::CInvertedUdidReader& udids = persistence.GetAcknowledgedInvertedUdidReader();
    const std::uint8_t* invertedUdid = nullptr;
    udids.Open();
    while (udids.TryReadNext(safetyAddress, invertedUdid))
    {
        Support::Udid udid{};
        std::copy(invertedUdid, invertedUdid + udid.size(), udid.begin());
        loaded.m_acknowledgedUdids.emplace_back(safetyAddress, Complemented(udid));
    }
    udids.Close();
    Param::CInvertedMinorRevisionReader& revisions = persistence.GetAcknowledgedInvertedMinorRevisionReader();
    std::uint16_t invertedRevision = 0u;
    revisions.Open();
    while (revisions.TryReadNext(safetyAddress, invertedRevision))
    {
        loaded.m_acknowledgedMinorRevisions.emplace_back(safetyAddress, static_cast<std::uint16_t>(~invertedRevision));
    }
    revisions.Close();
    Param::CInvertedAdditionalParameterHeaderReader& headers =
        persistence.GetRequiredInvertedAdditionalParameterHeaderReader();
    std::uint8_t number = 0u;
    const std::uint8_t* invertedHeader = nullptr;
    headers.Open();
    while (headers.TryReadNext(safetyAddress, number, invertedHeader))
    {
        loaded.m_additionalParameters.emplace_back(safetyAddress, number);
    }
    headers.Close();
    loaded.m_hasPassword = persistence.HasPassword();
    loaded.m_acknowledged = persistence.IsAcknowledged();
    return loaded;
}

/// What the full domain shows, without what the named storage (or its pair) contributes.
CLoaded FullDomainLoaded(const std::string& without = "")
{
    CLoaded loaded;
    loaded.m_requiredSafetyAddresses = {3u, 5u, 7u};
    loaded.m_acknowledgedUdids = {{3u, Udid3}, {5u, Udid5}, {7u, Udid7}};
    loaded.m_acknowledgedMinorRevisions = {{3u, 2u}, {5u, 1u}};
    loaded.m_hasPassword = true;
    loaded.m_acknowledged = (without != "tessera.uid");
    for (const auto& [storage, parameter] :
         std::vector<std::pair<std::string, std::pair<std::uint16_t, std::uint16_t>>>{{"tol_para.saf", {3u, 1u}},
                                                                                      {"autocnf.bin", {1u, 2u}},
                                                                                      {"emodata1.bin", {1u, 3u}},
                                                                                      {"pardata1.bin", {5u, 4u}}})
    {
        if (storage != without)
        {
            loaded.m_additionalParameters.push_back(parameter);
        }
    }
    if (without == "tessera.dat")
    {
        loaded.m_acknowledgedUdids = {{7u, Udid7}};
    }
    else if (without == "autocnf.bin")
    {
        loaded.m_acknowledgedUdids.pop_back();
    }
    else if (without == "tol_para.saf")
    {
        loaded.m_requiredSafetyAddresses.clear();
    }
    else if (without == "fwrevcnf.bin")
    {
        loaded.m_acknowledgedMinorRevisions.clear();
        loaded.m_hasPassword = false;
    }
    return loaded;
}

// An event that reached the runtime's event queue of the domain.
struct CLoggedEvent
{
    std::uint16_t m_level;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;

    auto Tie() const
    {
        return std::tie(m_level, m_code, m_information0, m_information1);
    }
    bool operator==(const CLoggedEvent& other) const
    {
        return Tie() == other.Tie();
    }
};
using CLoggedEvents = std::vector<CLoggedEvent>;

void PrintTo(const CLoggedEvent& event, std::ostream* stream)
{
    *stream << testing::PrintToString(event.Tie());
}

CLoggedEvents TakeLoggedEvents()
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    CLoggedEvents events;
    MSG_Q_ID queue = msgQOpen(ScmGetEventQueueToRuntimeName(Domain, name), 0u, 0u, 0, 0, nullptr);
    if (queue == nullptr)
    {
        ADD_FAILURE() << "the runtime's event queue cannot be opened";
        return events;
    }
    Bytes record(ScmEvent::ms_Length);
    while (msgQReceive(queue, reinterpret_cast<char*>(record.data()), record.size(), NO_WAIT) ==
           static_cast<ssize_t>(record.size()))
    {
        events.push_back({record[ScmEvent::ms_LevelOffset],
                          static_cast<std::uint16_t>(Support::ReadUInt32(record, ScmEvent::ms_CodeOffset)),
                          Support::ReadUInt16(record, ScmEvent::ms_Information0Offset),
                          Support::ReadUInt32(record, ScmEvent::ms_Information1Offset)});
    }
    (void)msgQDelete(queue);
    return events;
}

/// Cases of the tables print as their names.
template <typename Case>
auto operator<<(std::ostream& stream, const Case& testCase) -> decltype(testCase.m_name, stream)
{
    return stream << testCase.m_name;
}

/// Test names of the tables.
struct CNameOf
{
    template <typename Case> std::string operator()(const testing::TestParamInfo<Case>& paramInfo) const
    {
        return paramInfo.param.m_name;
    }
};

class CDefaultPersistenceTest : public testing::Test
{
protected:
    CDefaultPersistenceTest() : m_provisioner(Domain)
    {
        Support::SetSafetyDomainNumber(Domain);
        scmKernelSetProcessDomain(Domain);
    }

    ~CDefaultPersistenceTest() override
    {
        platformFaultClear();
        m_persistence.reset();
        m_provisioner.Destroy();
    }

    /// Provisions the domain and builds a persistence manager over it (on the heap: it is far too big for a stack).
    Main::CDefaultPersistence& Start(const Support::CDomainProvision& domain)
    {
        m_provisioner.Create(domain);
        return Restart();
    }

    /// A new persistence manager over the domain as it is now: the next start of the checker.
    Main::CDefaultPersistence& Restart()
    {
        m_persistence = std::make_unique<Main::CDefaultPersistence>(m_storage);
        return *m_persistence;
    }

    /// What the kernel holds; nothing when the storage does not exist.
    static std::optional<Bytes> Stored(const std::string& name)
    {
        Bytes bytes(300000u);
        const ssize_t length = scmKernelReadStorage(Domain, name.c_str(), bytes.data(), bytes.size());
        if (length < 0)
        {
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(length));
        return bytes;
    }

    /// Runs body in a fresh process that runs this test again up to here: the checker posts at most four events per
    /// process, so a test that reads them (or their absence) must start from the whole budget.
    void RunInFreshProcess(const std::function<void()>& body)
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                const int failures = Support::RunReportingFailures(body);
                (void)std::fflush(stderr);
                // The child ends without its destructors: its domain's queues go now, its isolation's folder
                // with the next isolation of this machine.
                m_persistence.reset();
                m_provisioner.Destroy();
                Support::ExitChild((failures == 0) ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }

    /// The SCM (or a test) replaces a storage.
    static void Store(const std::string& name, const Bytes& content)
    {
        ASSERT_EQ(0, scmKernelWriteStorage(Domain, name.c_str(), content.data(), content.size())) << name;
    }

    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
    Main::CRuntimeFileStorage m_storage;
    std::unique_ptr<Main::CDefaultPersistence> m_persistence;
};

TEST_F(CDefaultPersistenceTest, LoadsACommissionedDomainWithoutAnEventAndWritesNothing)
{
    RunInFreshProcess(
        [&]
        {
            const Support::CDomainProvision domain = FullDomain();
            Main::CDefaultPersistence& persistence = Start(domain);
            EXPECT_TRUE(persistence.TryInitialize());
            EXPECT_EQ(CLoggedEvents{}, TakeLoggedEvents());
            EXPECT_EQ(FullDomainLoaded(), Load(persistence));
            EXPECT_FALSE(persistence.IsSetupModeActive());
            for (const auto& storage : domain.m_storages)
            {
                EXPECT_EQ(storage.second, Stored(storage.first)) << storage.first;
            }

            // Machine options and extended machine options count as parameters 2 and 3 of address 1, with the
            // header computed over their bytes and their file's timestamp.
            std::map<std::uint8_t, Bytes> headers;
            Param::CInvertedAdditionalParameterHeaderReader& reader =
                persistence.GetRequiredInvertedAdditionalParameterHeaderReader();
            std::uint16_t safetyAddress = 0u;
            std::uint8_t number = 0u;
            const std::uint8_t* invertedHeader = nullptr;
            reader.Open();
            while (reader.TryReadNext(safetyAddress, number, invertedHeader))
            {
                headers[number] = Complemented(Bytes(invertedHeader, invertedHeader + 16));
            }
            reader.Close();
            EXPECT_EQ(
                BuildAdditionalParameterHeader(AdditionalParameter(2u, 1u, MachineOptions(), AutoCnfBinTimestamp)),
                headers[2u]);
            EXPECT_EQ(BuildAdditionalParameterHeader(
                          AdditionalParameter(3u, 1u, ExtendedMachineOptionFile().Build(), EmoData1BinTimestamp)),
                      headers[3u]);
        });
}

TEST_F(CDefaultPersistenceTest, LoadsADomainOfEmptyFilesWithoutAnEvent)
{
    RunInFreshProcess(
        [&]
        {
            Main::CDefaultPersistence& persistence = Start(EmptyDomain());
            EXPECT_TRUE(persistence.TryInitialize());
            EXPECT_EQ(CLoggedEvents{}, TakeLoggedEvents());
            EXPECT_EQ(CLoaded{}, Load(persistence));
            EXPECT_FALSE(persistence.IsSetupModeActive());
        });
}

// A pair of files damaged so that the comparison (or a file class) refuses it.
struct CPairDamage
{
    std::string m_plain;
    std::function<void(CStorages&)> m_apply;
};

template <typename Builder>
CPairDamage Damage(const char* plain, Builder (*make)(bool), void (*change)(Builder& plain, Builder& copy))
{
    return {plain, [plain, make, change](CStorages& storages)
            {
                Builder plainFile = make(false);
                Builder copyFile = make(true);
                change(plainFile, copyFile);
                storages[plain] = plainFile.Build();
                storages[std::string(plain) + ".chk"] = copyFile.Build();
            }};
}

using Uid = Support::CTesseraUidBuilder;
using Dat = Support::CTesseraDatBuilder;
using Fw = Support::CFwRevCnfBinBuilder;

CPairDamage Signatures(void (*change)(Uid&, Uid&))
{
    return Damage("tessera.uid", SignatureFile, change);
}
CPairDamage Udids(void (*change)(Dat&, Dat&))
{
    return Damage("tessera.dat", UdidFile, change);
}
CPairDamage Firmware(void (*change)(Fw&, Fw&))
{
    return Damage("fwrevcnf.bin", FirmwareFile, change);
}
CPairDamage EmptySignature(const char* storage)
{
    return {"tessera.uid", [storage](CStorages& storages) { storages[storage].clear(); }};
}

struct CPairFault
{
    const char* m_name;
    CPairDamage m_damage;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

std::vector<CPairFault> PairFaults()
{
    return {
        {"ScmHasNoSignature", EmptySignature("tessera.uid"), Code::ScmHasNoSignature, 0u, 0u},
        {"CheckerHasNoSignature", EmptySignature("tessera.uid.chk"), Code::CheckerHasNoSignature, 0u, 0u},
        {"SignatureMismatch", Signatures([](Uid&, Uid& c) { c.m_kelUdid = OtherKelUdid; }), Code::SignatureMismatch, 0u,
         0u},
        {"TimestampMismatch", Signatures([](Uid&, Uid& c) { c.m_timestamp ^= 1u << 20; }), Code::TimestampMismatch, 0u,
         0u},
        {"SignatureCopyOfAnotherVersion", Signatures([](Uid&, Uid& c) { c.m_version = 0x101u; }),
         Param::CTesseraUidEventCode::InvalidVersion, 0u, 0x101u},
        {"ScmHasMoreUdids", Udids([](Dat& p, Dat&) { p.AddUdid(9u, Udid9); }), Code::ScmHasMoreUdids, 0u, 0u},
        {"CheckerHasMoreUdids", Udids([](Dat&, Dat& c) { c.AddUdid(9u, Udid9); }), Code::CheckerHasMoreUdids, 0u, 0u},
        {"UdidSafetyAddressMismatch", Udids([](Dat&, Dat& c) { c.m_records[1].m_index = 0xCC06u; }),
         Code::UdidSafetyAddressMismatch, 5u, 6u},
        {"UdidMismatch", Udids([](Dat&, Dat& c) { c.m_records[1].m_data[5] ^= 0x01u; }), Code::UdidMismatch, 5u, 5u},
        {"UdidCopyOfAnotherVersion", Udids([](Dat&, Dat& c) { c.m_version = 3u; }),
         Param::CTesseraDatEventCode::InvalidVersion, 0u, 3u},
        // Records refused by either side while the other side's section is still being read.
        {"MalformedScmUdid",
         Udids(
             [](Dat& p, Dat&) {
                 p.AddRecord(0xCC09u, 1u, {1u, 2u, 3u, 4u, 5u});
             }),
         Param::CParameterReaderEventCode::InvalidLength, 0u, 5u},
        {"MalformedCheckerUdid", Udids([](Dat&, Dat& c) { c.m_records[0].m_data.pop_back(); }),
         Param::CParameterReaderEventCode::InvalidLength, 0u, 5u},
        {"ModuleWithoutSafetyAddress", Firmware([](Fw& p, Fw&) { p.m_modules[0].m_safetyAddress = 0u; }),
         Param::CByteArrayReaderEventCode::InvalidSafetyAddress, 0u, 0u},
        {"ScmHasMoreMinorRevisions", Firmware([](Fw& p, Fw&) { p.AddModule(7u, 3u); }), Code::ScmHasMoreMinorRevisions,
         0u, 0u},
        {"CheckerHasMoreMinorRevisions", Firmware([](Fw&, Fw& c) { c.AddModule(7u, 3u); }),
         Code::CheckerHasMoreMinorRevisions, 0u, 0u},
        {"MinorRevisionSafetyAddressMismatch", Firmware([](Fw&, Fw& c) { c.m_modules[1].m_safetyAddress = 6u; }),
         Code::MinorRevisionSafetyAddressMismatch, 5u, 6u},
        {"MinorRevisionMismatch", Firmware([](Fw&, Fw& c) { c.m_modules[1].m_minorRevision = 2u; }),
         Code::MinorRevisionMismatch, 5u, 5u},
        {"ScmHasNoCpuUdid", Firmware([](Fw& p, Fw&) { p.m_hasCpuId = false; }), Code::ScmHasNoCpuUdid, 0u, 0u},
        {"CheckerHasNoCpuUdid", Firmware([](Fw&, Fw& c) { c.m_hasCpuId = false; }), Code::CheckerHasNoCpuUdid, 0u, 0u},
        // The last byte of the serial number: the comparison covers all eight bytes.
        {"CpuUdidMismatch", Firmware([](Fw&, Fw& c) { c.m_cpuId[7] ^= 0x01u; }), Code::CpuUdidMismatch, 0u, 0u},
        {"ScmHasNoKelUdid", Firmware([](Fw& p, Fw&) { p.m_hasKelUdid = false; }), Code::ScmHasNoKelUdid, 0u, 0u},
        {"CheckerHasNoKelUdid", Firmware([](Fw&, Fw& c) { c.m_hasKelUdid = false; }), Code::CheckerHasNoKelUdid, 0u,
         0u},
        {"KelUdidMismatch", Firmware([](Fw&, Fw& c) { c.m_kelUdid = OtherKelUdid; }), Code::KelUdidMismatch, 0u, 0u},
        {"ScmHasNoPassword", Firmware([](Fw& p, Fw&) { p.m_hasPassword = false; }), Code::ScmHasNoPassword, 0u, 0u},
        {"CheckerHasNoPassword", Firmware([](Fw&, Fw& c) { c.m_hasPassword = false; }), Code::CheckerHasNoPassword, 0u,
         0u},
        {"PasswordMismatch", Firmware([](Fw&, Fw& c) { c.m_password[15] ^= 0x80u; }), Code::PasswordMismatch, 0u, 0u},
        {"KeyMediumEmptyOnlyForTheScm", Firmware([](Fw& p, Fw&) { p.m_tesseraEmpty = true; }), Code::SetupModeMismatch,
         0u, 0x01u},
        {"KeyMediumEmptyOnlyForTheChecker", Firmware([](Fw&, Fw& c) { c.m_tesseraEmpty = true; }),
         Code::SetupModeMismatch, 0u, 0x02u},
        {"SetupModeOnlyForTheScm",
         Firmware([](Fw& p, Fw& c) { p.m_tesseraEmpty = c.m_tesseraEmpty = p.m_setupModeActive = true; }),
         Code::SetupModeMismatch, 0u, 0x13u},
        {"SetupModeOnlyForTheChecker", Firmware([](Fw&, Fw& c) { c.m_setupModeActive = true; }),
         Code::SetupModeMismatch, 0u, 0x20u},
        {"ScmFileWithUnknownFlags", Firmware([](Fw& p, Fw&) { p.m_featureFlags = 0x0027u; }),
         Param::CFwRevCnfBinEventCode::InvalidFeatureFlags, 0u, 0x27u},
    };
}

class CDefaultPersistencePairFault : public CDefaultPersistenceTest, public testing::WithParamInterface<CPairFault>
{
};

TEST_P(CDefaultPersistencePairFault, IsLoggedEmptiesBothStoragesAndLeavesTheOtherFilesLoaded)
{
    const CPairFault& fault = GetParam();
    RunInFreshProcess(
        [&]
        {
            Support::CDomainProvision domain = FullDomain();
            fault.m_damage.m_apply(domain.m_storages);
            Main::CDefaultPersistence& persistence = Start(domain);
            EXPECT_FALSE(persistence.TryInitialize());
            EXPECT_EQ((CLoggedEvents{{Error, fault.m_code, fault.m_information0, fault.m_information1}}),
                      TakeLoggedEvents());
            EXPECT_EQ(Bytes{}, Stored(fault.m_damage.m_plain));
            EXPECT_EQ(Bytes{}, Stored(fault.m_damage.m_plain + ".chk"));
            EXPECT_EQ(FullDomainLoaded(fault.m_damage.m_plain), Load(persistence));
        });
}

INSTANTIATE_TEST_SUITE_P(Pairs, CDefaultPersistencePairFault, testing::ValuesIn(PairFaults()), CNameOf());

struct CFileFault
{
    const char* m_name;
    const char* m_storage;
    Bytes m_content;
    std::uint16_t m_code;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};

std::vector<CFileFault> FileFaults()
{
    Support::CTolParaSafBuilder container;
    container.m_version = 0x201u;
    Support::CAutoCnfBinBuilder autoConfiguration = AutoConfigurationFile();
    autoConfiguration.m_version = 0x401u;
    Support::CEmoData1BinBuilder extendedMachineOptions = ExtendedMachineOptionFile();
    extendedMachineOptions.m_version = 2u;
    Support::CParData1BinBuilder parameterData = ParameterDataFile();
    parameterData.m_fileVersion = 0x300u;
    return {
        {"ParameterContainer", "tol_para.saf", container.Build(), Param::CTolParaSafEventCode::InvalidVersion, 0u,
         0x201u},
        {"AutoConfiguration", "autocnf.bin", autoConfiguration.Build(), Param::CAutoCnfBinEventCode::InvalidVersion, 0u,
         0x401u},
        {"ExtendedMachineOptions", "emodata1.bin", extendedMachineOptions.Build(),
         Param::CEmoData1BinEventCode::OtherReason, Param::CEmoData1BinOtherReasonInformation0::InvalidVersion, 2u},
        {"ParameterData", "pardata1.bin", parameterData.Build(), Param::CParData1BinEventCode::OtherReason,
         Param::CParData1BinOtherReasonInformation0::InvalidVersion, 0x300u},
    };
}

class CDefaultPersistenceFileFault : public CDefaultPersistenceTest, public testing::WithParamInterface<CFileFault>
{
};

TEST_P(CDefaultPersistenceFileFault, IsLoggedAndTakenAsEmptyWhileTheOtherFilesLoad)
{
    const CFileFault& fault = GetParam();
    RunInFreshProcess(
        [&]
        {
            Support::CDomainProvision domain = FullDomain();
            domain.m_storages[fault.m_storage] = fault.m_content;
            Main::CDefaultPersistence& persistence = Start(domain);
            EXPECT_FALSE(persistence.TryInitialize());
            EXPECT_EQ((CLoggedEvents{{Error, fault.m_code, fault.m_information0, fault.m_information1}}),
                      TakeLoggedEvents());
            EXPECT_EQ(fault.m_content, Stored(fault.m_storage)) << "the SCM's file is left as it is";
            EXPECT_EQ(FullDomainLoaded(fault.m_storage), Load(persistence));
        });
}

INSTANTIATE_TEST_SUITE_P(Files, CDefaultPersistenceFileFault, testing::ValuesIn(FileFaults()), CNameOf());

struct CControllerSignature
{
    const char* m_name;
    std::optional<Bytes> m_flashFile16;
    /// Both files of the signature pair empty.
    bool m_withoutSignaturePair;
    bool m_initialized;
    bool m_acknowledged;
    CLoggedEvents m_events;
};

std::vector<CControllerSignature> ControllerSignatures()
{
    const auto signature = [](void (*change)(Uid&))
    {
        Uid file = SignatureFile(false);
        change(file);
        return file.Build();
    };
    Bytes shorter = SignatureFile(false).Build();
    shorter.pop_back();
    const CLoggedEvent wrongVersion{Warning, Param::CTesseraUidEventCode::InvalidVersion, 0u, 0x200u};
    return {
        {"Absent", std::nullopt, false, false, false, {}},
        {"Matching", SignatureFile(false).Build(), false, true, true, {}},
        {"OfAnotherController", signature([](Uid& f) { f.m_kelUdid = OtherKelUdid; }), false, true, false, {}},
        {"OfAnotherTime", signature([](Uid& f) { f.m_timestamp += 1u; }), false, true, false, {}},
        {"OfAnotherVersion", signature([](Uid& f) { f.m_version = 0x200u; }), false, true, false, {wrongVersion}},
        {"Empty", Bytes{}, false, false, false, {{Error, Code::KelSignatureReadFailed, 0u, 0u}}},
        {"Short", shorter, false, false, false, {{Error, Code::KelSignatureReadFailed, 0u, 17u}}},
        {"Long",
         signature(
             [](Uid& f) {
                 f.m_trailer = {0u, 0u};
             }),
         false,
         false,
         false,
         {{Error, Code::KelSignatureReadFailed, 0u, 20u}}},
        // Two absent signatures do not acknowledge the key medium.
        {"ClearedWithoutSignatures", Uid().Build(), true, true, false, {}},
    };
}

class CDefaultPersistenceControllerSignature : public CDefaultPersistenceTest,
                                               public testing::WithParamInterface<CControllerSignature>
{
};

TEST_P(CDefaultPersistenceControllerSignature, DecidesTheAcknowledgementFromStartUp)
{
    const CControllerSignature& signature = GetParam();
    RunInFreshProcess(
        [&]
        {
            Support::CDomainProvision domain = FullDomain();
            domain.m_flashFile16 = signature.m_flashFile16;
            if (signature.m_withoutSignaturePair)
            {
                domain.m_storages["tessera.uid"].clear();
                domain.m_storages["tessera.uid.chk"].clear();
            }
            Main::CDefaultPersistence& persistence = Start(domain);
            EXPECT_EQ(signature.m_initialized, persistence.TryInitialize());
            EXPECT_EQ(signature.m_events, TakeLoggedEvents());
            EXPECT_EQ(signature.m_acknowledged, persistence.IsAcknowledged());
        });
}

INSTANTIATE_TEST_SUITE_P(FlashFile16, CDefaultPersistenceControllerSignature, testing::ValuesIn(ControllerSignatures()),
                         CNameOf());

struct CSetupModeCase
{
    const char* m_name;
    /// Flags and Kel UDID of both firmware files; no files at all when m_withoutFirmwareFiles.
    bool m_setupModeFlag;
    bool m_tesseraEmptyFlag;
    std::optional<Support::Udid> m_storedKelUdid;
    bool m_withoutFirmwareFiles;
    /// The commissioning record of the parameters, none when unset.
    std::optional<bool> m_setupModeConfigured;
    std::optional<Support::Udid> m_controllerKelUdid;
    bool m_active;
};

const CSetupModeCase SetupModeCases[] = {
    {"FlagOfTheCopy", true, false, ControllerKelUdid, false, std::nullopt, OtherKelUdid, true},
    {"NoCopy", false, false, std::nullopt, true, true, ControllerKelUdid, false},
    {"KeyMediumWasNotEmpty", false, false, ControllerKelUdid, false, true, ControllerKelUdid, false},
    {"NotConfigured", false, true, ControllerKelUdid, false, std::nullopt, ControllerKelUdid, false},
    {"ConfiguredOff", false, true, ControllerKelUdid, false, false, ControllerKelUdid, false},
    {"SameController", false, true, ControllerKelUdid, false, true, ControllerKelUdid, true},
    {"OtherController", false, true, ControllerKelUdid, false, true, OtherKelUdid, false},
    {"ControllerWithoutKelUdid", false, true, ControllerKelUdid, false, true, std::nullopt, false},
    {"NoKelUdidOnEitherSide", false, true, std::nullopt, false, true, std::nullopt, false},
    {"NoStoredKelUdid", false, true, std::nullopt, false, true, ControllerKelUdid, false},
    // A Kel UDID of zeros is no Kel UDID, though the kernel hands it over: it must not match a copy that holds none.
    {"ControllerWithZeroKelUdid", false, true, std::nullopt, false, true, Support::Udid{}, false},
};

class CDefaultPersistenceSetupMode : public CDefaultPersistenceTest, public testing::WithParamInterface<CSetupModeCase>
{
};

TEST_P(CDefaultPersistenceSetupMode, IsDecidedAtStartUp)
{
    const CSetupModeCase& setupMode = GetParam();
    Support::CDomainProvision domain = FullDomain();
    domain.m_kelUdid = setupMode.m_controllerKelUdid;
    domain.m_storages["tol_para.saf"] = ParameterContainer(setupMode.m_setupModeConfigured);
    for (const bool inverted : {false, true})
    {
        Fw file = FirmwareFile(inverted);
        file.m_setupModeActive = setupMode.m_setupModeFlag;
        file.m_tesseraEmpty = setupMode.m_tesseraEmptyFlag;
        file.m_hasKelUdid = setupMode.m_storedKelUdid.has_value();
        file.m_kelUdid = setupMode.m_storedKelUdid.value_or(Support::Udid{});
        domain.m_storages[inverted ? "fwrevcnf.bin.chk" : "fwrevcnf.bin"] =
            setupMode.m_withoutFirmwareFiles ? Bytes{} : file.Build();
    }
    Main::CDefaultPersistence& persistence = Start(domain);
    ASSERT_TRUE(persistence.TryInitialize());
    EXPECT_EQ(setupMode.m_active, persistence.IsSetupModeActive());
}

INSTANTIATE_TEST_SUITE_P(Cases, CDefaultPersistenceSetupMode, testing::ValuesIn(SetupModeCases), CNameOf());

class CDefaultPersistenceMissingStorage : public CDefaultPersistenceTest,
                                          public testing::WithParamInterface<const char*>
{
};

TEST_P(CDefaultPersistenceMissingStorage, EndsTheStartUpAndLeavesTheManagerUninitialised)
{
    Support::CDomainProvision domain = FullDomain();
    domain.m_storages.erase(GetParam());
    Main::CDefaultPersistence& persistence = Start(domain);
    Support::ExpectException(Support::CaptureException([&] { (void)persistence.TryInitialize(); }),
                             Main::CFileStorageEventCode::OpenFailed, 0u, 114u);
    Support::ExpectGuard(Support::CaptureGuard([&] { (void)persistence.IsSetupModeActive(); }),
                         "CDefaultPersistence.cpp", PersistenceIdentifier);
}

INSTANTIATE_TEST_SUITE_P(Mandatory, CDefaultPersistenceMissingStorage, testing::ValuesIn(MandatoryStorages));

TEST_F(CDefaultPersistenceTest, TakesAbsentOptionalFilesAsEmpty)
{
    Support::CDomainProvision domain = FullDomain();
    domain.m_storages.erase("emodata1.bin");
    domain.m_storages.erase("pardata1.bin");
    Main::CDefaultPersistence& persistence = Start(domain);
    EXPECT_TRUE(persistence.TryInitialize());
    CLoaded expected = FullDomainLoaded("emodata1.bin");
    expected.m_additionalParameters.pop_back();
    EXPECT_EQ(expected, Load(persistence));
}

TEST_F(CDefaultPersistenceTest, SynchronisationCopiesASignatureThatTheScmWroteSinceStartUp)
{
    Support::CDomainProvision domain = FullDomain();
    domain.m_storages["tessera.uid"].clear();
    domain.m_storages["tessera.uid.chk"].clear();
    Main::CDefaultPersistence& persistence = Start(domain);
    ASSERT_TRUE(persistence.TryInitialize());
    EXPECT_FALSE(persistence.IsAcknowledged());
    Store("tessera.uid", SignatureFile(false).Build());
    persistence.SynchronizeInitialSignatures();
    EXPECT_EQ(SignatureFile(true).Build(), Stored("tessera.uid.chk"));

    Main::CDefaultPersistence& next = Restart();
    EXPECT_TRUE(next.TryInitialize());
    EXPECT_TRUE(next.IsAcknowledged()) << "the controller's signature now matches the copy";
}

TEST_F(CDefaultPersistenceTest, SynchronisationLeavesTheCopyEmptyWhileTheScmHasNoSignature)
{
    Main::CDefaultPersistence& persistence = Start(EmptyDomain());
    ASSERT_TRUE(persistence.TryInitialize());
    persistence.SynchronizeInitialSignatures();
    EXPECT_EQ(Bytes{}, Stored("tessera.uid.chk"));
    EXPECT_TRUE(Restart().TryInitialize()) << "the next start finds an agreeing pair";
}

TEST_F(CDefaultPersistenceTest, SynchronisationLeavesAnExistingCopyAlone)
{
    Main::CDefaultPersistence& persistence = Start(FullDomain());
    ASSERT_TRUE(persistence.TryInitialize());
    Uid changed = SignatureFile(false);
    changed.m_kelUdid = OtherKelUdid;
    Store("tessera.uid", changed.Build());
    persistence.SynchronizeInitialSignatures();
    EXPECT_EQ(SignatureFile(true).Build(), Stored("tessera.uid.chk"));
}

TEST_F(CDefaultPersistenceTest, SynchronisationRefusesAMalformedSignatureAndWritesNothing)
{
    Main::CDefaultPersistence& persistence = Start(EmptyDomain());
    ASSERT_TRUE(persistence.TryInitialize());
    Uid malformed = SignatureFile(false);
    malformed.m_version = 0x10000u;
    Store("tessera.uid", malformed.Build());
    Support::ExpectException(Support::CaptureException([&] { persistence.SynchronizeInitialSignatures(); }),
                             Param::CTesseraUidEventCode::InvalidVersion, 0u, 0x10000u);
    EXPECT_EQ(Bytes{}, Stored("tessera.uid.chk"));
}

TEST_F(CDefaultPersistenceTest, SynchronisationAfterAFailedStartUpKeepsTheCopyThatDidNotLoad)
{
    Support::CDomainProvision domain = FullDomain();
    Uid changed = SignatureFile(false);
    changed.m_kelUdid = OtherKelUdid;
    domain.m_storages["tessera.uid"] = changed.Build();
    Main::CDefaultPersistence& persistence = Start(domain);
    ASSERT_EQ(OK, platformFaultInject("ScmReadStorage", 2u, EIO, 1u)); // that of "tessera.uid.chk"
    Support::ExpectException(Support::CaptureException([&] { (void)persistence.TryInitialize(); }),
                             Main::CFileStorageEventCode::ReadFailed, 0u, 0u);
    platformFaultClear();
    Support::ExpectGuard(Support::CaptureGuard([&] { persistence.SynchronizeInitialSignatures(); }),
                         "CDefaultPersistence.cpp", PersistenceIdentifier);
    EXPECT_EQ(SignatureFile(true).Build(), Stored("tessera.uid.chk"));
}

struct CRewrite
{
    const char* m_name;
    bool m_tolParaSafEmpty;
    /// Setup-mode and key-medium-empty flags of both firmware files at start-up.
    bool m_setupModeFlag;
    bool m_tesseraEmptyFlag;
    /// CPU id, Kel UDID and password in both files at start-up.
    bool m_authentification;
    void (*m_operation)(Main::CDefaultPersistence&);
    /// What the operation changes in the firmware file, the SCM's as the checker's.
    void (*m_change)(Fw&);
};

const CRewrite Rewrites[] = {
    {"AcknowledgeKeepsTheFlags", false, false, false, true, [](Main::CDefaultPersistence& p) { p.Acknowledge(); },
     [](Fw&) {}},
    {"AcknowledgeStoresTheEmptyKeyMediumOfThisStart", true, false, false, true,
     [](Main::CDefaultPersistence& p) { p.Acknowledge(); }, [](Fw&) {}},
    {"SetupModeOn", false, false, false, true, [](Main::CDefaultPersistence& p) { p.SetSetupModeActive(true); },
     [](Fw& f) { f.m_setupModeActive = true; }},
    {"SetupModeOffKeepsTheEmptyKeyMedium", true, true, true, true,
     [](Main::CDefaultPersistence& p) { p.SetSetupModeActive(false); }, [](Fw& f) { f.m_setupModeActive = false; }},
    {"MinorRevisionsAsWritten", false, false, false, true,
     [](Main::CDefaultPersistence& p)
     {
         Param::CInvertedMinorRevisionWriter& writer = p.GetAcknowledgedInvertedMinorRevisionWriter();
         writer.Open();
         writer.WriteNext(3u, static_cast<std::uint16_t>(~2u));
         writer.WriteNext(7u, static_cast<std::uint16_t>(~4u));
         writer.Close();
         p.WriteAcknowledgedInvertedMinorRevisions();
     },
     [](Fw& f) {
         f.m_modules = {{3u, 2u}, {7u, 4u}};
     }},
    {"PasswordWithThisControllersIdentity", false, false, false, false,
     [](Main::CDefaultPersistence& p) { p.SetInvertedPassword(Complemented(NewPassword).data()); },
     [](Fw& f)
     {
         f.m_password = NewPassword;
         f.m_cpuId = ControllerCpuId;
         f.m_kelUdid = ControllerKelUdid;
         f.m_hasPassword = f.m_hasCpuId = f.m_hasKelUdid = true;
     }},
};

class CDefaultPersistenceRewrite : public CDefaultPersistenceTest, public testing::WithParamInterface<CRewrite>
{
};

TEST_P(CDefaultPersistenceRewrite, StoresTheCheckersCopyThatTheNextStartAccepts)
{
    const CRewrite& rewrite = GetParam();
    Support::CDomainProvision domain = FullDomain();
    if (rewrite.m_tolParaSafEmpty)
    {
        domain.m_storages["tol_para.saf"].clear();
    }
    std::array<Fw, 2> files{FirmwareFile(false), FirmwareFile(true)};
    for (Fw& file : files)
    {
        file.m_setupModeActive = rewrite.m_setupModeFlag;
        file.m_tesseraEmpty = rewrite.m_tesseraEmptyFlag;
        if (!rewrite.m_authentification)
        {
            file.m_hasPassword = file.m_hasCpuId = file.m_hasKelUdid = false;
            file.m_password = {};
            file.m_cpuId = {};
            file.m_kelUdid = {};
        }
    }
    domain.m_storages["fwrevcnf.bin"] = files[0].Build();
    domain.m_storages["fwrevcnf.bin.chk"] = files[1].Build();
    Main::CDefaultPersistence& persistence = Start(domain);
    ASSERT_TRUE(persistence.TryInitialize());
    Store("fwrevcnf.bin.chk", {}); // what is stored after the operation, it wrote

    rewrite.m_operation(persistence);
    for (Fw& file : files)
    {
        file.m_tesseraEmpty = rewrite.m_tolParaSafEmpty;
        rewrite.m_change(file);
    }
    EXPECT_EQ(files[1].Build(), Stored("fwrevcnf.bin.chk"));
    Store("fwrevcnf.bin", files[0].Build());
    EXPECT_TRUE(Restart().TryInitialize());
}

INSTANTIATE_TEST_SUITE_P(Operations, CDefaultPersistenceRewrite, testing::ValuesIn(Rewrites), CNameOf());

TEST_F(CDefaultPersistenceTest, StoresTheAcknowledgedUdidsAsWritten)
{
    Main::CDefaultPersistence& persistence = Start(FullDomain());
    ASSERT_TRUE(persistence.TryInitialize());
    Param::CInvertedUdidWriter& writer = persistence.GetAcknowledgedInvertedUdidWriter();
    writer.Open();
    writer.WriteNext(3u, Complemented(Udid3).data());
    writer.WriteNext(9u, Complemented(Udid9).data());
    writer.Close();
    persistence.WriteAcknowledgedInvertedUdids();

    for (const bool inverted : {true, false})
    {
        Dat file;
        file.m_inverted = inverted;
        file.AddUdid(3u, Udid3);
        file.AddUdid(9u, Udid9);
        if (inverted)
        {
            EXPECT_EQ(Support::ToHex(file.Build()), Support::ToHex(Stored("tessera.dat.chk").value_or(Bytes{})));
        }
        else
        {
            Store("tessera.dat", file.Build()); // the SCM's file of the same acknowledgement
        }
    }
    Main::CDefaultPersistence& next = Restart();
    EXPECT_TRUE(next.TryInitialize());
    CLoaded loaded = FullDomainLoaded();
    loaded.m_acknowledgedUdids = {{3u, Udid3}, {7u, Udid7}, {9u, Udid9}};
    EXPECT_EQ(loaded, Load(next));
}

TEST_F(CDefaultPersistenceTest, ChangesTheKeyMediumStateOnlyOnceItIsStored)
{
    Support::CDomainProvision domain = FullDomain();
    domain.m_flashFile16.reset();
    Main::CDefaultPersistence& persistence = Start(domain);
    EXPECT_FALSE(persistence.TryInitialize());
    const std::optional<Bytes> stored = Stored("fwrevcnf.bin.chk");

    ASSERT_EQ(OK, platformFaultInject("ScmWriteStorage", 1u, ENOSPC, 2u));
    Support::ExpectException(Support::CaptureException([&] { persistence.Acknowledge(); }),
                             Main::CFileStorageEventCode::WriteFailed, 0u, 0u);
    Support::ExpectException(Support::CaptureException([&] { persistence.SetSetupModeActive(true); }),
                             Main::CFileStorageEventCode::WriteFailed, 0u, 0u);
    EXPECT_FALSE(persistence.IsAcknowledged());
    EXPECT_FALSE(persistence.IsSetupModeActive());
    EXPECT_EQ(stored, Stored("fwrevcnf.bin.chk"));

    platformFaultClear();
    persistence.Acknowledge();
    EXPECT_TRUE(persistence.IsAcknowledged());
    EXPECT_FALSE(persistence.IsSetupModeActive());
    EXPECT_EQ(stored, Stored("fwrevcnf.bin.chk")) << "the failed setup mode is not stored later either";
}

TEST_F(CDefaultPersistenceTest, ChecksPasswordsAgainstTheStoredOneOrAcceptsAnyWithoutOne)
{
    Main::CDefaultPersistence& persistence = Start(FullDomain());
    ASSERT_TRUE(persistence.TryInitialize());
    EXPECT_TRUE(persistence.IsValidInvertedPassword(Complemented(StoredPassword).data()));
    Support::Password wrong = Complemented(StoredPassword);
    wrong[15] ^= 0x01u;
    EXPECT_FALSE(persistence.IsValidInvertedPassword(wrong.data()));

    Support::CDomainProvision withoutPassword = FullDomain();
    withoutPassword.m_storages["fwrevcnf.bin"].clear();
    withoutPassword.m_storages["fwrevcnf.bin.chk"].clear();
    Main::CDefaultPersistence& other = Start(withoutPassword);
    ASSERT_TRUE(other.TryInitialize());
    EXPECT_FALSE(other.HasPassword());
    EXPECT_TRUE(other.IsValidInvertedPassword(wrong.data()));
}

TEST_F(CDefaultPersistenceTest, RefusesUseBeforeStartUpASecondStartUpAndNullPasswords)
{
    Main::CDefaultPersistence& persistence = Start(FullDomain());
    const Support::Password password = Complemented(NewPassword);
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"Acknowledge", [&] { persistence.Acknowledge(); }},
        {"IsSetupModeActive", [&] { (void)persistence.IsSetupModeActive(); }},
        {"SetSetupModeActive", [&] { persistence.SetSetupModeActive(true); }},
        {"HasPassword", [&] { (void)persistence.HasPassword(); }},
        {"IsValidInvertedPassword", [&] { (void)persistence.IsValidInvertedPassword(password.data()); }},
        {"SetInvertedPassword", [&] { persistence.SetInvertedPassword(password.data()); }},
        {"WriteAcknowledgedInvertedUdids", [&] { persistence.WriteAcknowledgedInvertedUdids(); }},
        {"WriteAcknowledgedInvertedMinorRevisions", [&] { persistence.WriteAcknowledgedInvertedMinorRevisions(); }},
        {"SynchronizeInitialSignatures", [&] { persistence.SynchronizeInitialSignatures(); }},
    };
    for (const auto& operation : operations)
    {
        SCOPED_TRACE(operation.first);
        Support::ExpectGuard(Support::CaptureGuard(operation.second), "CDefaultPersistence.cpp", PersistenceIdentifier);
    }
    EXPECT_FALSE(persistence.IsAcknowledged());

    ASSERT_TRUE(persistence.TryInitialize());
    for (const std::function<void()>& operation :
         std::vector<std::function<void()>>{[&] { (void)persistence.TryInitialize(); },
                                            [&] { (void)persistence.IsValidInvertedPassword(nullptr); },
                                            [&] { persistence.SetInvertedPassword(nullptr); }})
    {
        Support::ExpectGuard(Support::CaptureGuard(operation), "CDefaultPersistence.cpp", PersistenceIdentifier);
    }
    EXPECT_EQ(FullDomain().m_storages["fwrevcnf.bin.chk"], Stored("fwrevcnf.bin.chk"));
}
} // namespace
