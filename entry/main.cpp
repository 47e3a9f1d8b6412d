// Process entry of the SCM checker: the object graph, the start-up sequence and the cyclic check task.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
#include "Main/CDefaultMessaging.h"
#include "Main/CDefaultPersistence.h"
#include "Main/CDefaultSession.h"
#include "Main/CRuntimeFileStorage.h"
#include "Main/CStartEventCode.h"
#include "Scm/QdrhwtVerify.h"
#include "Scm/ScmEventLog.h"
#include "Scm/ScmFirmwareIdentification.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmQueueNames.h"
#include "Scm/ScmSafetyDomain.h"
#include "ScmCheckerVersion.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/CProcessImageTester.h"
#include "entry/FwIdent.h"
#include "entry/ProcessImageSections.h"
#include "processLib.h"
#include "scmDeployment.h"
#include "semLib.h"
#include "taskLib.h"

namespace
{
// The check task runs one step less urgent than the session's unlock-timeout task.
constexpr int TaskPriority = Main::CDefaultSession::ms_TimeoutTaskPriority + 1;
constexpr const char* TaskNamePattern = "scm%04d/check";
constexpr std::size_t TaskNameLengthMax = 50u;
constexpr std::size_t TaskStackSize = 16384u;
constexpr int DelayTickCountMin = 10;
constexpr std::uint32_t ExcessiveDelay = 10000000u; // microseconds

// Information0 of SemaphoreFailed.
constexpr std::uint16_t OpenToScmFailed = 0u;
constexpr std::uint16_t OpenFromScmFailed = 1u;
constexpr std::uint16_t NotifyScmFailed = 2u;
constexpr std::uint16_t WaitForScmFailed = 3u;

// Information0 of ExcessiveDelay when the host refused real-time provisions (no domain number is 0).
constexpr std::uint16_t RealTimeProvisionsRefused = 0u;

const char* const Usage =
    "Usage: scm-checker\n"
    "   or: scm-checker --help | --version\n"
    "\n"
    "Supervises one openSAFETY safety domain: relays every message between the PLC runtime and the Safety\n"
    "Configuration Manager (SCM) through the domain's fourteen message queues, judges every safety frame, operator\n"
    "command, response and event, and at any violation latches the domain into fail-safe for the life of the\n"
    "process. The runtime and the SCM create the queues and semaphores; the checker only opens them.\n"
    "\n"
    "Options:\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and the revision number that the checker publishes, and exit\n"
    "\n"
    "Exit status:\n"
    "  0    --help or --version\n"
    "  2    an unknown argument\n"
    "  255  the checker could not start or had to end; the reason is printed (\"SCM checker failed to start:\n"
    "       ...?\") or posted as an event. A fail-safe domain does not end the process.\n"
    "\n"
    "Environment:\n"
    "  SafetyDomainNumber  the domain to supervise, 1 to 1023 (required)\n"
    "  SCM_KERNEL_ROOT     root of the emulated kernel, one directory scm%04u per domain (default\n"
    "                      /var/lib/scm-kernel)\n"
    "  SCM_IPC_PREFIX      prefix of every queue and semaphore name\n"
    "  SCM_IPC_REGISTRY    file in which every created queue and semaphore is recorded\n"
    "Any other SCM_ variable is a test control that this checker does not have: it refuses to start.\n";

// Runs before any object of the process is constructed (the domain number is read while they are), so that --help
// and --version answer without looking at the environment. glibc passes the program's arguments to constructors.
__attribute__((constructor(101))) void HandleArguments(int argc, char** argv, char** /*environment*/)
{
    if (argc < 2)
    {
        return;
    }
    if ((argc == 2) && (std::strcmp(argv[1], "--help") == 0))
    {
        (void)std::fputs(Usage, stdout);
        std::exit(0);
    }
    if ((argc == 2) && (std::strcmp(argv[1], "--version") == 0))
    {
        (void)std::printf(SCM_CHECKER_VERSION_FORMAT, "scm-checker", SCM_CHECKER_REVISION_NUMBER,
                          SCM_CHECKER_REVISION_NUMBER);
        std::exit(0);
    }
    (void)std::fprintf(stderr, "scm-checker: unexpected argument '%s'\nTry 'scm-checker --help'.\n", argv[1]);
    std::exit(2);
}

std::uint16_t ReadSafetyDomainNumber()
{
    const std::uint16_t number = ScmGetSafetyDomainNumberFromEnvironment("SafetyDomainNumber");
    if (number == 0u)
    {
        (void)std::printf("SCM checker failed to start: environment not defined?\n");
        std::exit(-1);
    }
    return number;
}

// The process's objects, constructed before main in this order and wired by reference; nothing of them is
// allocated at run time. A bad domain number ends the process before any object after it exists.
Util::CProcessImageTester processImageTester(ProcessImageSectionMapCount, ProcessImageSectionMaps);
const std::uint16_t safetyDomainNumber = ReadSafetyDomainNumber();
Main::CDefaultMessaging messaging;
Main::CRuntimeFileStorage fileStorage;
Main::CDefaultPersistence persistence(fileStorage);
Main::CDefaultCommissioner commissioner(persistence, persistence.GetInvertedCommissioningFlagReader());
Check::CPersistentUdidChecker udidChecker(persistence.GetRequiredSafetyAddressReader(),
                                          persistence.GetAcknowledgedInvertedUdidReader(),
                                          persistence.GetAcknowledgedInvertedUdidWriter(), persistence);
Check::CCheckingUdidInspector udidInspector(udidChecker, commissioner);
Check::CPersistentFirmwareChecker firmwareChecker(persistence.GetRequiredInvertedFirmwareVersionReader(),
                                                  persistence.GetAcknowledgedInvertedMinorRevisionReader(),
                                                  persistence.GetAcknowledgedInvertedMinorRevisionWriter(),
                                                  persistence);
Check::CCheckingFirmwareInspector firmwareInspector(firmwareChecker, commissioner);
Check::CPersistentParameterChecker parameterChecker(persistence.GetRequiredInvertedParameterChecksumReader());
Check::CCheckingParameterInspector parameterInspector(parameterChecker);
Check::CPersistentAdditionalParameterCatalog
    additionalParameterCatalog(persistence.GetRequiredInvertedAdditionalParameterHeaderReader());
Check::CCheckingAdditionalParameterInspector additionalParameterInspector(additionalParameterCatalog);
Main::CDefaultInspector inspector(persistence, commissioner, persistence, udidInspector, firmwareInspector,
                                  parameterInspector, additionalParameterInspector);
Main::CDefaultSession session(messaging, inspector);

// Written by the initial task before the check task exists; afterwards by the check task alone.
bool processImageValid = true;
SEM_ID frameQueueToScmSemaphoreId = nullptr;
SEM_ID frameQueueFromScmSemaphoreId = nullptr;
const std::uint8_t* fwIdent = nullptr;

std::uint32_t GetLowMicroseconds()
{
    return static_cast<std::uint32_t>(ScmGetUSecCounter());
}

SEM_ID OpenSemaphore(ScmQueueNameFunction nameFunction, std::uint16_t failure)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    SEM_ID semaphore = nullptr;
    if (nameFunction(safetyDomainNumber, name) != nullptr)
    {
        semaphore = semOpen(name, SEM_TYPE_BINARY, 0, 0, 0, nullptr);
    }
    if (semaphore == nullptr)
    {
        throw Util::CException(Main::CStartEventCode::SemaphoreFailed, failure, static_cast<std::uint32_t>(errno));
    }
    return semaphore;
}

// The semaphores carry the names of the SCM-side frame queues.
void OpenSemaphores()
{
    frameQueueToScmSemaphoreId = OpenSemaphore(ScmGetFrameQueueToScmName, OpenToScmFailed);
    frameQueueFromScmSemaphoreId = OpenSemaphore(ScmGetFrameQueueFromScmName, OpenFromScmFailed);
}

std::uint32_t CheckTaskDelay(std::uint32_t previousTimestamp)
{
    const std::uint32_t now = GetLowMicroseconds();
    // Unsigned difference: a wrap of the counter between two cycles is harmless.
    const std::uint32_t elapsed = now - previousTimestamp;
    if (elapsed > ExcessiveDelay)
    {
        Util::CException::LogWarning(
            Util::CException(Main::CStartEventCode::ExcessiveDelay, safetyDomainNumber, elapsed));
    }
    return now;
}

// Check task only: true until the SCM has once let the hand-over time out.
bool scmHandsOver = true;

// Between give and take the SCM runs one cycle on what the checker has just forwarded. The SCM gets as long as a
// cycle may take at most; one that does not hand back in that time makes the domain fail-safe, and from then on
// the check task no longer waits for it, so that commands, responses, events and unlock messages still flow.
void HandleFramesInScmSynchronously(int handOverTimeoutTickCount)
{
    if (semGive(frameQueueToScmSemaphoreId) != OK)
    {
        throw Util::CException(Main::CStartEventCode::SemaphoreFailed, NotifyScmFailed,
                               static_cast<std::uint32_t>(errno));
    }
    if (semTake(frameQueueFromScmSemaphoreId, scmHandsOver ? handOverTimeoutTickCount : NO_WAIT) == OK)
    {
        return;
    }
    const int error = errno;
    if (!scmHandsOver && (error == EAGAIN))
    {
        return;
    }
    if (scmHandsOver && (error == ETIMEDOUT))
    {
        scmHandsOver = false;
        Util::CException::LogError(Util::CException(Main::CStartEventCode::SemaphoreFailed, WaitForScmFailed,
                                                    static_cast<std::uint32_t>(error)));
        session.SwitchToFailSafe();
        return;
    }
    throw Util::CException(Main::CStartEventCode::SemaphoreFailed, WaitForScmFailed, static_cast<std::uint32_t>(error));
}

int GetDelayTickCount()
{
    const int tickCount = sysClkRateGet() / 100;
    return (tickCount > DelayTickCountMin) ? tickCount : DelayTickCountMin;
}

// A failed block stops the code-memory test for good; the cycle itself goes on in fail-safe.
void TestCodeMemory()
{
    if (!processImageValid)
    {
        return;
    }
    try
    {
        processImageTester.TestOneMemoryBlock();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        session.SwitchToFailSafe();
        processImageValid = false;
    }
}

// The order is the order in which one message leads to the next within a cycle: what the runtime sent reaches the
// SCM before the hand-over, what the SCM produced in its cycle is handled after it. A fault skips the rest of
// the cycle.
void HandleAllMessages(int handOverTimeoutTickCount)
{
    try
    {
        session.HandleAllUnlockRequests();
        session.HandleAllUnlockResponses();
        session.HandleAllReceivedFrames();
        HandleFramesInScmSynchronously(handOverTimeoutTickCount);
        session.HandleAllEvents();
        session.HandleAllSentFrames();
        session.HandleAllCommands();
        session.HandleAllResponses();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        session.SwitchToFailSafe();
    }
}

int Run(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
        _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t)
{
    std::uint32_t timestamp = GetLowMicroseconds();
    const int delayTickCount = GetDelayTickCount();
    // The excessive-delay bound in ticks: the longest the SCM may keep the hand-over.
    const int handOverTimeoutTickCount = static_cast<int>(ExcessiveDelay / 1000000u) * sysClkRateGet();
    for (;;)
    {
        timestamp = CheckTaskDelay(timestamp);
        TestCodeMemory();
        HandleAllMessages(handOverTimeoutTickCount);
        (void)taskDelay(delayTickCount);
    }
}

void StartRun()
{
    char name[TaskNameLengthMax + 1u] = {};
    (void)std::snprintf(name, sizeof name, TaskNamePattern, static_cast<int>(safetyDomainNumber));
    name[TaskNameLengthMax] = '\0';
    if (taskSpawn(name, TaskPriority, 0, TaskStackSize, Run, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR)
    {
        throw Util::CException(Main::CStartEventCode::StartTaskFailed);
    }
}

// A registration that throws instead of recording (any code other than the corrupted-executable code) ends the
// start like a failed verification: the exception is logged and the process does not go on.
bool TryVerifyExecutable()
{
    try
    {
        if (Qdrhwt_VerifyExecutable(LdFwIdentStart, LdFwIdentEnd) != 0)
        {
            return true;
        }
        Util::CException::LogError(
            Util::CException(static_cast<std::uint16_t>(QdrEventCode), QdrEventInfo0, QdrEventInfo1));
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    return false;
}

// Steps after the session exists: a failure is logged and the domain goes fail-safe, and start-up goes on.
void InitializeProcessImageTester()
{
    try
    {
        processImageTester.Initialize();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        session.SwitchToFailSafe();
        processImageValid = false;
    }
}

// A discarded file or pair leaves the checkers with less to accept, never more; the checkers load whatever was
// kept, so that a fail-safe domain still reports what it knows.
void InitializePersistenceAndCheckers()
{
    try
    {
        if (!persistence.TryInitialize())
        {
            session.SwitchToFailSafe();
        }
        udidChecker.Initialize();
        firmwareChecker.Initialize();
        parameterChecker.Initialize();
        additionalParameterCatalog.Initialize();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        session.SwitchToFailSafe();
    }
}

void SynchronizeInitialSignatures()
{
    try
    {
        persistence.SynchronizeInitialSignatures();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        session.SwitchToFailSafe();
    }
}
} // namespace

extern "C" uint16_t GetSafetyDomainNumber(void)
{
    return safetyDomainNumber;
}

extern "C" const uint8_t* GetFirmwareIdentification(void)
{
    return LdFwIdentStart;
}

int main()
{
    // Right after the domain number: a shipped checker has none of the test controls, so whoever set one expects
    // a behaviour that it does not have.
    if (processCheckEnvironment() != OK)
    {
        (void)std::printf("SCM checker failed to start: test controls in the environment?\n");
        return -1;
    }
    // Before any safety value, the complemented password among them, is in memory.
    const unsigned refusedProvisions = processHarden();

    if ((LdFwIdentEnd - LdFwIdentStart) <= 3)
    {
        (void)std::printf("SCM checker failed to start: invalid signature?\n");
        return -1;
    }
    fwIdent = LdFwIdentStart;

    // What an earlier checker of the domain published, and the SCM's answer to it, belong to that checker: this one
    // announces itself afresh and hands over only to an SCM that has initialised after it.
    (void)ScmClearCondition(safetyDomainNumber, ScmCheckerInitialized);
    (void)ScmClearCondition(safetyDomainNumber, ScmScmInitialized);

    std::uint32_t runtimeRevisionNumber = 0u;
    (void)ScmWaitForCondition(safetyDomainNumber, ScmStarted, &runtimeRevisionNumber);

    // No event: the runtime's event queue may be missing as well.
    try
    {
        messaging.Initialize();
    }
    catch (const Util::CException&)
    {
        (void)std::printf("SCM checker failed to start: message queues are not available?\n");
        return -1;
    }
    // The checker runs on, but its cycle may be late: preempted by other work or waiting for pages.
    if (refusedProvisions != 0u)
    {
        Util::CException::LogWarning(
            Util::CException(Main::CStartEventCode::ExcessiveDelay, RealTimeProvisionsRefused, refusedProvisions));
    }

    if (!TryVerifyExecutable())
    {
        return -1;
    }

    try
    {
        OpenSemaphores();
        session.Initialize();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        return -1;
    }

    // What the checker holds and is about to read must be out of reach of every role that may not write it.
    char unprotectedObject[SCM_DEPLOYMENT_OBJECT_LENGTH_MAX] = {};
    if (scmCheckDeployment(safetyDomainNumber, unprotectedObject, sizeof(unprotectedObject)) != OK)
    {
        (void)std::printf("SCM checker failed to start: unprotected %s?\n", unprotectedObject);
        return -1;
    }

    InitializeProcessImageTester();
    InitializePersistenceAndCheckers();

    const std::uint32_t checkerRevisionNumber =
        Util::GetLittleEndianUInt32(fwIdent, SCM_FW_IDENT_REVISION_NUMBER_OFFSET);
    (void)ScmSetCondition(safetyDomainNumber, ScmCheckerInitialized, checkerRevisionNumber);

    std::uint32_t scmRevisionNumber = 0u;
    (void)ScmWaitForCondition(safetyDomainNumber, ScmScmInitialized, &scmRevisionNumber);
    if (scmRevisionNumber != checkerRevisionNumber)
    {
        Util::CException::LogError(Util::CException(Main::CStartEventCode::ScmRevisionMismatch, 0u, scmRevisionNumber));
        session.SwitchToFailSafe();
    }

    SynchronizeInitialSignatures();

    try
    {
        StartRun();
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
        return -1;
    }
    taskExit(0);
    return 0;
}
