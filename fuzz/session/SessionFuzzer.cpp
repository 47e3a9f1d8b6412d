// Fuzz target of the session: the input is read as a sequence of messages on every flow, driven through
// Main::CDefaultSession with the real inspector, commissioner, persistence and the four checks over a fixed valid
// domain (three commissioned modules, acknowledged key medium and password), in memory. The messaging checks the
// safety rules at every send (CMemoryMessaging.h); a guard reached from the peers' input is a fault as well.
//
// Input: records of one byte `op` each. op % 8 == 7 runs one cycle of the check task; otherwise op % 8 is the flow
// (unlock request, unlock response, frame from the runtime, frame from the SCM, command, response, event), two
// bytes little-endian give the length (modulo the flow's longest + 1) and that many bytes follow (fewer at the end
// of the input). The SCM's messages are given plain; the target complements them as they arrive on the SCM's side.
// After the input, cycles run until every queue is empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Check/CCheckingAdditionalParameterInspector.h"
#include "Check/CCheckingFirmwareInspector.h"
#include "Check/CCheckingParameterInspector.h"
#include "Check/CCheckingUdidInspector.h"
#include "Check/CPersistentAdditionalParameterCatalog.h"
#include "Check/CPersistentFirmwareChecker.h"
#include "Check/CPersistentParameterChecker.h"
#include "Check/CPersistentUdidChecker.h"
#include "Main/CDefaultCommissioner.h"
#include "Main/CDefaultInspector.h"
#include "Main/CDefaultPersistence.h"
#include "Main/CDefaultSession.h"
#include "Util/FileIdentifier.h"
#include "fuzz/common/FuzzDomain.h"
#include "fuzz/common/FuzzSupport.h"
#include "fuzz/session/CMemoryFileStorage.h"
#include "fuzz/session/CMemoryMessaging.h"
#include "support/Domain/SafetyDomainNumber.h"
#include "support/Peers/CDomainConfiguration.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"

namespace
{
constexpr std::uint16_t Domain = 7u;
constexpr unsigned CycleOp = 7u;
constexpr unsigned CyclesMax = 64u;

using Storages = std::map<std::string, std::vector<std::uint8_t>>;

// The checker's objects, wired as the process wires them, new for every run.
struct CChecker
{
    explicit CChecker(const Storages& storages)
        : m_messaging([this] { return !m_session.IsValid(); }), m_fileStorage(storages), m_persistence(m_fileStorage),
          m_commissioner(m_persistence, m_persistence.GetInvertedCommissioningFlagReader()),
          m_udidChecker(m_persistence.GetRequiredSafetyAddressReader(),
                        m_persistence.GetAcknowledgedInvertedUdidReader(),
                        m_persistence.GetAcknowledgedInvertedUdidWriter(), m_persistence),
          m_udidInspector(m_udidChecker, m_commissioner),
          m_firmwareChecker(m_persistence.GetRequiredInvertedFirmwareVersionReader(),
                            m_persistence.GetAcknowledgedInvertedMinorRevisionReader(),
                            m_persistence.GetAcknowledgedInvertedMinorRevisionWriter(), m_persistence),
          m_firmwareInspector(m_firmwareChecker, m_commissioner),
          m_parameterChecker(m_persistence.GetRequiredInvertedParameterChecksumReader()),
          m_parameterInspector(m_parameterChecker),
          m_additionalParameterCatalog(m_persistence.GetRequiredInvertedAdditionalParameterHeaderReader()),
          m_additionalParameterInspector(m_additionalParameterCatalog),
          m_inspector(m_persistence, m_commissioner, m_persistence, m_udidInspector, m_firmwareInspector,
                      m_parameterInspector, m_additionalParameterInspector),
          m_session(m_messaging, m_inspector)
    {
    }

    // Start-up as the process does it; the valid domain must start clean.
    void Start()
    {
        m_session.Initialize();
        FUZZ_REQUIRE(m_persistence.TryInitialize(), "the fixed domain's files are valid");
        m_udidChecker.Initialize();
        m_firmwareChecker.Initialize();
        m_parameterChecker.Initialize();
        m_additionalParameterCatalog.Initialize();
        m_persistence.SynchronizeInitialSignatures();
        FUZZ_REQUIRE(m_session.IsValid(), "the fixed domain starts without fail-safe");
    }

    // One cycle of the check task without the hand-over: a fault ends the cycle and switches to fail-safe.
    void RunCycle()
    {
        m_messaging.EmptyDestinations();
        try
        {
            m_session.HandleAllUnlockRequests();
            m_session.HandleAllUnlockResponses();
            m_session.HandleAllReceivedFrames();
            m_session.HandleAllEvents();
            m_session.HandleAllSentFrames();
            m_session.HandleAllCommands();
            m_session.HandleAllResponses();
        }
        catch (const Util::CException& exception)
        {
            FUZZ_REQUIRE(exception.m_eventCode != Util::InternalConsistencyEventCode,
                         "no message of a peer brings the checker into a state it must never produce");
            Util::CException::LogError(exception);
            m_session.SwitchToFailSafe();
        }
    }

    Fuzz::CMemoryMessaging m_messaging;
    Fuzz::CMemoryFileStorage m_fileStorage;
    Main::CDefaultPersistence m_persistence;
    Main::CDefaultCommissioner m_commissioner;
    Check::CPersistentUdidChecker m_udidChecker;
    Check::CCheckingUdidInspector m_udidInspector;
    Check::CPersistentFirmwareChecker m_firmwareChecker;
    Check::CCheckingFirmwareInspector m_firmwareInspector;
    Check::CPersistentParameterChecker m_parameterChecker;
    Check::CCheckingParameterInspector m_parameterInspector;
    Check::CPersistentAdditionalParameterCatalog m_additionalParameterCatalog;
    Check::CCheckingAdditionalParameterInspector m_additionalParameterInspector;
    Main::CDefaultInspector m_inspector;
    Main::CDefaultSession m_session;
};

// The checker's objects take megabytes of buffers: they are built anew in the same memory for every run, which
// stays mapped, instead of on fresh pages.
alignas(CChecker) unsigned char checkerMemory[sizeof(CChecker)];

class CCheckerPlace
{
public:
    CCheckerPlace() : m_checker(nullptr) {}
    ~CCheckerPlace()
    {
        if (m_checker != nullptr)
        {
            m_checker->~CChecker();
        }
    }
    CCheckerPlace(const CCheckerPlace&) = delete;
    CCheckerPlace& operator=(const CCheckerPlace&) = delete;

    CChecker* Construct();

private:
    CChecker* m_checker;
};

std::unique_ptr<Support::CPlatformIsolation> isolation;
Storages storages;

bool IsFromScm(Fuzz::CMemoryMessaging::Flow flow)
{
    using Flow = Fuzz::CMemoryMessaging::Flow;
    return (flow == Flow::UnlockResponse) || (flow == Flow::FrameFromScm) || (flow == Flow::Response) ||
           (flow == Flow::Event);
}

CChecker* CCheckerPlace::Construct()
{
    m_checker = new (checkerMemory) CChecker(storages);
    return m_checker;
}

void RemoveIsolation()
{
    isolation.reset();
}
} // namespace

// The domain's kernel directory (identities, flash file 16, reset lock, event log) in a private temporary root.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    isolation = std::make_unique<Support::CPlatformIsolation>();
    (void)std::atexit(RemoveIsolation);
    Support::SetSafetyDomainNumber(Domain);
    (void)setenv("SafetyDomainNumber", std::to_string(Domain).c_str(), 1);
    const Support::CDomainConfiguration configuration = Fuzz::MakeDomainConfiguration();
    Support::CDomainProvision provision = configuration.MakeProvision();
    Support::CDomainProvisioner(Domain).Create(provision);
    storages = provision.m_storages;
    // The optional storages read as empty where the domain has none.
    (void)storages.emplace("pardata1.bin", std::vector<std::uint8_t>());
    (void)storages.emplace("emodata1.bin", std::vector<std::uint8_t>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using Flow = Fuzz::CMemoryMessaging::Flow;
    CCheckerPlace place;
    CChecker* const checker = place.Construct();
    checker->Start();
    unsigned cycles = 0u;
    std::size_t position = 0u;
    while ((position < size) && (cycles < CyclesMax))
    {
        const unsigned op = data[position++] % 8u;
        if (op == CycleOp)
        {
            checker->RunCycle();
            ++cycles;
            continue;
        }
        if (size - position < 2u)
        {
            break;
        }
        const auto flow = static_cast<Flow>(op);
        const std::size_t announced = data[position] | (static_cast<std::size_t>(data[position + 1u]) << 8);
        position += 2u;
        std::size_t length = announced % (Fuzz::CMemoryMessaging::GetLengthMax(flow) + 1u);
        length = (length < size - position) ? length : size - position;
        Fuzz::CMemoryMessaging::Message message(data + position, data + position + length);
        position += length;
        if (IsFromScm(flow))
        {
            for (std::uint8_t& byte : message)
            {
                byte = static_cast<std::uint8_t>(~byte);
            }
        }
        checker->m_messaging.Offer(flow, message);
    }
    while (checker->m_messaging.HasPendingMessages() && (cycles < CyclesMax))
    {
        checker->RunCycle();
        ++cycles;
    }
    return 0;
}
