// The worst single cycle of the check task, run by the checker's own objects over the domain's files at full size:
// 256 bytes of code-memory test, 20 frames of 521 bytes from the runtime, an event, 20 frames of 521 bytes from the
// SCM that the parameter check scans entry by entry, a command and a status response of 280 bytes that has the
// command judged. The queues are in memory, so the figure is the cycle's own work, kernel calls for the reset lock
// included (measured apart as well); the ratio is to the 10 ms period of the cycle.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
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
#include "Main/CRuntimeFileStorage.h"
#include "Scm/ScmKernel.h"
#include "Util/CException.h"
#include "Util/CProcessImageTester.h"
#include "bench/common/CFullSizeDomain.h"
#include "bench/common/CRatioReporter.h"
#include "bench/cycle/CReplayMessaging.h"
#include "support/Files/FileBytes.h"
#include "support/Messages/CCommandBuilder.h"
#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Messages/CStatusBuilder.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

constexpr std::uint32_t FramesPerCycle = Main::CDefaultSession::ms_FrameCountPerCycleMax;
constexpr double PeriodNanoseconds = 10e6;
constexpr std::uint16_t DownloadModule = 7u;
constexpr std::size_t SegmentDataLength = 253u;
constexpr std::uint32_t ImageBlockCount = 4u;

// The objects of the process entry, in its order and wired as it wires them; the code-memory test watches a block of
// memory of its own.
struct CChecker
{
    explicit CChecker(Main::CMessaging& messaging)
        : m_image(), m_imageCrcs(), m_imageMap{m_image.data(), m_image.data() + m_image.size(), m_imageCrcs.data(),
                                               m_imageCrcs.data() + m_imageCrcs.size()},
          m_imageMaps{&m_imageMap}, m_processImageTester(1u, m_imageMaps.data()), m_fileStorage(),
          m_persistence(m_fileStorage),
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
          m_session(messaging, m_inspector)
    {
        for (std::size_t i = 0u; i < m_image.size(); ++i)
        {
            m_image[i] = static_cast<std::uint8_t>(i * 31u);
        }
    }

    /// Start-up as the process entry runs it; false when anything was discarded.
    bool Start()
    {
        m_session.Initialize();
        m_processImageTester.Initialize();
        const bool kept = m_persistence.TryInitialize();
        m_udidChecker.Initialize();
        m_firmwareChecker.Initialize();
        m_parameterChecker.Initialize();
        m_additionalParameterCatalog.Initialize();
        return kept;
    }

    /// The body of the check task's loop between two delays; the hand-over with the SCM is the SCM's time.
    void RunCycle()
    {
        m_processImageTester.TestOneMemoryBlock();
        m_session.HandleAllUnlockRequests();
        m_session.HandleAllUnlockResponses();
        m_session.HandleAllReceivedFrames();
        m_session.HandleAllEvents();
        m_session.HandleAllSentFrames();
        m_session.HandleAllCommands();
        m_session.HandleAllResponses();
    }

    std::array<std::uint8_t, ImageBlockCount * Util::CProcessImageTester::ms_CrcBlockLength> m_image;
    std::array<std::uint32_t, ImageBlockCount> m_imageCrcs;
    Util::CProcessImageTesterSectionMap m_imageMap;
    std::array<const Util::CProcessImageTesterSectionMap*, 1> m_imageMaps;
    Util::CProcessImageTester m_processImageTester;
    Main::CRuntimeFileStorage m_fileStorage;
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

Bytes Entry(std::uint16_t index, std::uint8_t subIndex, const Bytes& data)
{
    Bytes entry;
    Support::AppendUInt16(entry, index);
    entry.push_back(subIndex);
    Support::AppendUInt32(entry, static_cast<std::uint32_t>(data.size()));
    entry.insert(entry.end(), data.begin(), data.end());
    return entry;
}

// A middle segment of the parameter set packed with empty entries: the most entry heads the parameter check scans in
// one frame, its heaviest frame of 521 bytes.
Bytes EmptyEntrySegment(std::uint16_t ct)
{
    Bytes data;
    while (data.size() + 7u <= SegmentDataLength - 8u)
    {
        const Bytes entry = Entry(0x2000u, 1u, Bytes{});
        data.insert(data.end(), entry.begin(), entry.end());
    }
    const Bytes last = Entry(0x2001u, 1u, Bytes(SegmentDataLength - data.size() - 7u, 0u));
    data.insert(data.end(), last.begin(), last.end());
    return CFrameBuilder::SsdoDownloadSegment(DownloadModule, false, (ct % 2u) != 0u, data).Ct(ct).Build();
}

// Twenty modules answer an upload of 250 bytes each.
std::vector<Bytes> FramesFromRuntime()
{
    std::vector<Bytes> frames;
    for (std::uint16_t module = 1u; module <= FramesPerCycle; ++module)
    {
        frames.push_back(
            CFrameBuilder::SsdoUploadInitiateExpeditedResponse(module, 0x2000u, 1u, Bytes(250u, 0x5Au)).Build());
    }
    return frames;
}

// Twenty segments of one running parameter-set download; their CTs alternate, so that none repeats the one before.
std::vector<Bytes> FramesFromScm()
{
    std::vector<Bytes> frames;
    for (std::uint32_t i = 0u; i < FramesPerCycle; ++i)
    {
        frames.push_back(Support::Complemented(EmptyEntrySegment(static_cast<std::uint16_t>(2u + (i % 2u)))));
    }
    return frames;
}

// Start-up, and one cycle in which the SCM starts the download that the measured cycles continue.
std::string Prepare(Bench::CReplayMessaging& messaging, CChecker& checker, const Bench::CFullSizeDomain& domain)
{
    try
    {
        if (!checker.Start())
        {
            return "the persistence manager discarded a file";
        }
        messaging.m_framesFromScm.m_messages = {Support::Complemented(
            CFrameBuilder::SsdoDownloadInitiateSegmented(DownloadModule, 0x101Au, 0u, 0u, Bytes{}).Ct(1u).Build())};
        checker.RunCycle();
    }
    catch (const Util::CException& exception)
    {
        return "start-up raised event " + std::to_string(exception.m_eventCode) + " " +
               std::to_string(exception.m_information0) + " " + std::to_string(exception.m_information1);
    }
    messaging.m_framesFromRuntime.m_messages = FramesFromRuntime();
    messaging.m_framesFromScm.m_messages = FramesFromScm();
    messaging.m_eventsFromScm.m_messages = {
        Support::Complemented(Support::CEventBuilder().Level(2u).Code(0xC123u).Information0(9u).Build())};
    messaging.m_commandsFromRuntime.m_messages = {
        Support::CCommandBuilder::RequestStatus().Password(*domain.GetConfiguration().m_password).Build()};
    messaging.m_responsesFromScm.m_messages = {Support::Complemented(Support::CStatusBuilder().Build())};
    return "";
}

// One domain for every case: its constructor points the platform layer at its own kernel directory.
Bench::CFullSizeDomain& GetDomain()
{
    static Bench::CFullSizeDomain domain;
    return domain;
}

void CheckCycle(benchmark::State& state)
{
    const Bench::CFullSizeDomain& domain = GetDomain();
    Bench::CReplayMessaging messaging;
    const auto checker = std::make_unique<CChecker>(messaging);
    const std::string prepared = Prepare(messaging, *checker, domain);
    if (!prepared.empty())
    {
        state.SkipWithError(prepared.c_str());
        return;
    }
    const std::uint64_t sentToScm = messaging.m_sentToScm;
    const std::uint64_t sentToRuntime = messaging.m_sentToRuntime;

    std::string failure;
    for (auto _ : state)
    {
        messaging.Rewind();
        try
        {
            checker->RunCycle();
        }
        catch (const Util::CException& exception)
        {
            failure = "the cycle raised event " + std::to_string(exception.m_eventCode);
            break;
        }
    }
    // Every message went all the way through in every cycle, and nothing objected.
    const auto cycles = static_cast<std::uint64_t>(state.iterations());
    if (failure.empty() && (!checker->m_session.IsValid() || !checker->m_inspector.IsValid() ||
                            (messaging.m_sentToScm - sentToScm != cycles * (FramesPerCycle + 1u)) ||
                            (messaging.m_sentToRuntime - sentToRuntime != cycles * (FramesPerCycle + 2u))))
    {
        failure = "a message was not relayed or a check objected";
    }
    if (!failure.empty())
    {
        state.SkipWithError(failure.c_str());
    }
}

// The four kernel calls of the reset lock that the cycle makes (command, response, and around the event): on the
// controller system calls, here the emulated kernel's file operations, and part of the cycle's figure.
void ResetLockCalls(benchmark::State& state)
{
    (void)GetDomain();
    const std::uint16_t number = Bench::CFullSizeDomain::ms_Domain;
    bool failed = false;
    for (auto _ : state)
    {
        failed = (ScmLockReset(number) != 0) || failed;
        failed = (ScmUnlockReset(number) != 0) || failed;
        failed = (ScmLockReset(number) != 0) || failed;
        failed = (ScmUnlockReset(number) != 0) || failed;
    }
    if (failed)
    {
        state.SkipWithError("the kernel refused the reset lock");
    }
}
} // namespace

BENCHMARK(CheckCycle)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResetLockCalls)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return Bench::RunWithRatios(argc, argv,
                                {{"cycle_per_period", "CheckCycle", "", PeriodNanoseconds},
                                 {"cycle_without_reset_lock_calls_per_period", "CheckCycle", "", PeriodNanoseconds,
                                  "ResetLockCalls"},
                                 {"reset_lock_calls_per_cycle", "ResetLockCalls", "CheckCycle", 0.0}});
}
