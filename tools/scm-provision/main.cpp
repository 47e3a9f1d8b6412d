// scm-provision: creates, inspects and tears down a safety domain of the emulated kernel for peers and tests.
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <grp.h>
#include <iostream>
#include <iterator>
#include <optional>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Scm/ScmCheckerEventCode.h"
#include "Scm/ScmEventLog.h"
#include "Scm/ScmQueueNames.h"
#include "Util/ByteOrder.h"
#include "eventLogLib.h"
#include "msgQLib.h"
#include "scmKernelEmulation.h"
#include "semLib.h"
#include "support/Cli/ProgramVersion.h"
#include "support/Messages/Bytes.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/QueueFlows.h"
#include "taskLib.h"

namespace
{
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

constexpr const char* HelpText =
    R"(Usage: scm-provision COMMAND DOMAIN [ARGUMENTS] [OPTIONS]
   or: scm-provision --help | --version

Provisions a safety domain (1 to 1023) of the emulated SCM kernel for the checker, its peers, the simulator
and tests: the kernel directory, the fourteen message queues, the two hand-over semaphores, identities, flash
files and storages.

Commands:
  create DOMAIN [--capacity N] [--cpu-product-code N --cpu-serial N] [--kel-udid HEX12]
                [--flash16 FILE | --kel-signature TIMESTAMP] [--storage NAME=FILE]... [--empty-storages]
        Creates the domain directory, the queues (each sized to its flow's longest message, capacity N or the
        largest the system allows, default 10; queues left from before are replaced, empty) and the two
        semaphores (empty). Prints "capacity N", the capacity the queues got.
        --flash16 FILE writes the controller's flash file 16 from FILE; --kel-signature TIMESTAMP writes it as
        the 18-byte key-medium signature record of the controller (version 0x100, the --kel-udid, TIMESTAMP).
        --storage writes a storage of the domain from FILE; --empty-storages creates every storage that a
        checker needs and that no --storage gave, empty ("tessera.uid", "tessera.uid.chk", "tessera.dat",
        "tessera.dat.chk", "tol_para.saf", "autocnf.bin", "fwrevcnf.bin", "fwrevcnf.bin.chk").
        --runtime-user U --scm-user U --checker-user U --runtime-group G --scm-group G --domain-group G
        (all six, as root; names or numeric ids) give the domain to one user per role: the runtime group
        holds the runtime and the checker, the SCM group the SCM and the checker, the domain group all three.
        Runtime-side queues belong to the runtime user and group, SCM-side queues, the semaphores and the
        SCM's storages to the SCM user and group, the checker's copies ("*.chk", mode 0600), reset-lock and
        plc-resets to the checker; modes are set explicitly (see the README's Security section).
        A domain on which a checker starts without event and not fail-safe ("clean"):
          create DOMAIN --cpu-product-code N --cpu-serial N --kel-udid HEX12 --kel-signature T --empty-storages
  destroy DOMAIN
        Removes the queues, the semaphores and the domain directory with all its files.
  set-condition DOMAIN N VALUE
        Sets kernel condition N with information VALUE.
  clear-condition DOMAIN N
        Clears kernel condition N.
  wait-condition DOMAIN N [--timeout SECONDS]
        Waits until condition N is set and prints its information value (without --timeout: no limit).
  hand-over DOMAIN [--cycles N] [--timeout SECONDS]
        Plays the SCM's side of the checker's frame hand-over N times (default 1): waits for the checker to give
        the "~frame-send" semaphore, then gives the "~frame-receive" semaphore back. Prints "cycles N" with the
        number completed; fails when the checker does not hand over within the timeout (default 10 s).
  events DOMAIN [--log]
        Takes every event waiting on the runtime's event queue and prints one line each:
        "level=2|3 code=0xE2NN name=NAME info0=N info1=N". With --log it reads the domain's event log instead (every
        event the checker logged, also those past the queue's budget of four; the newest 256, oldest first, left in
        place), one line each: "seq=N time_us=N level=... code=... name=... info0=N info1=N" (time_us: the
        monotonic clock of the machine). Fails when the domain has no event log.
  send DOMAIN QUEUE HEX [--complement]
        Sends one message, the bytes HEX (pairs of hexadecimal digits; spaces, ':' and '-' between bytes are
        ignored), on the domain's queue QUEUE: a base name for the runtime's side ("frame-send", "command",
        "unlock-request", ...) or "~" and a base name for the SCM's side ("~frame-receive", "~status",
        "~event", ...). --complement sends every byte complemented, as the SCM's side carries them. Fails when
        the queue is full.
  receive DOMAIN QUEUE [--timeout SECONDS] [--complement]
        Waits up to SECONDS (default 0) for a message on QUEUE, then takes every message waiting there and
        prints each as one line of lowercase hex (complemented back with --complement). Fails when no message
        arrived.
  status DOMAIN
        Prints one line per queue ("queue NAME waiting=N capacity=N max-length=N", or "missing"), semaphore
        ("semaphore NAME value=0|1" or "missing"), set condition ("condition N value=V"), then
        "reset-lock N" and "plc-resets N last-mode=M".

--version prints the version and the checker's revision number.

Numbers are decimal or 0x-hexadecimal. The environment selects the kernel root (SCM_KERNEL_ROOT, default
/var/lib/scm-kernel) and the queue and semaphore name prefix (SCM_IPC_PREFIX).

Exit codes: 0 success, 1 failure (also a wait that timed out), 2 usage error.
)";

class CUsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

std::uint64_t ParseNumber(const std::string& text, std::uint64_t max, const char* what)
{
    try
    {
        std::size_t used = 0u;
        const unsigned long long value = std::stoull(text, &used, 0);
        if ((used == text.size()) && (value <= max) && (text[0] != '-'))
        {
            return value;
        }
    }
    catch (const std::logic_error&)
    {
    }
    throw CUsageError(std::string("invalid ") + what + ": " + text);
}

std::uint16_t ParseDomain(const std::string& text)
{
    const std::uint64_t domain = ParseNumber(text, 1023u, "domain");
    if (domain == 0u)
    {
        throw CUsageError("invalid domain: 0");
    }
    return static_cast<std::uint16_t>(domain);
}

// A user or group named by its name or its numeric id (an id needs no entry in the account files).
std::uint32_t ParseAccount(const std::string& text, bool isGroup, const char* what)
{
    if (!text.empty() && (text.find_first_not_of("0123456789") == std::string::npos))
    {
        return static_cast<std::uint32_t>(ParseNumber(text, UINT32_MAX - 1u, what));
    }
    if (isGroup)
    {
        const struct group* entry = getgrnam(text.c_str());
        if (entry != nullptr)
        {
            return entry->gr_gid;
        }
    }
    else
    {
        const struct passwd* entry = getpwnam(text.c_str());
        if (entry != nullptr)
        {
            return entry->pw_uid;
        }
    }
    throw CUsageError(std::string("unknown ") + what + ": " + text);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
    {
        throw std::runtime_error("cannot read " + path);
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::array<std::uint8_t, 6> ParseUdid(const std::string& text)
{
    std::array<std::uint8_t, 6> udid{};
    if (text.size() != 12u)
    {
        throw CUsageError("invalid Kel UDID (twelve hexadecimal digits): " + text);
    }
    for (std::size_t i = 0u; i < udid.size(); ++i)
    {
        udid[i] = static_cast<std::uint8_t>(ParseNumber("0x" + text.substr(2u * i, 2u), 0xFFu, "Kel UDID"));
    }
    return udid;
}

// The value following option at index i.
const std::string& GetOptionValue(const std::vector<std::string>& arguments, std::size_t& i)
{
    if (i + 1u >= arguments.size())
    {
        throw CUsageError("option " + arguments[i] + " needs a value");
    }
    ++i;
    return arguments[i];
}

void RequireCount(const std::vector<std::string>& arguments, std::size_t count)
{
    if (arguments.size() != count)
    {
        throw CUsageError("wrong number of arguments for " + arguments[0]);
    }
}

int Create(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2u)
    {
        throw CUsageError("create needs a domain");
    }
    Support::CDomainProvisioner provisioner(ParseDomain(arguments[1]));
    Support::CDomainProvision provision;
    std::optional<std::uint64_t> signatureTimestamp;
    bool emptyStorages = false;
    ScmDomainRoles roles{};
    struct CRoleOption
    {
        const char* m_option;
        std::uint32_t ScmDomainRoles::*m_field;
        bool m_group;
    };
    const CRoleOption roleOptions[] = {
        {"--runtime-user", &ScmDomainRoles::runtimeUser, false},
        {"--scm-user", &ScmDomainRoles::scmUser, false},
        {"--checker-user", &ScmDomainRoles::checkerUser, false},
        {"--runtime-group", &ScmDomainRoles::runtimeGroup, true},
        {"--scm-group", &ScmDomainRoles::scmGroup, true},
        {"--domain-group", &ScmDomainRoles::domainGroup, true},
    };
    std::uint32_t rolesGiven = 0u;
    constexpr std::uint32_t AllRoles = (1u << 6u) - 1u;
    for (std::size_t i = 2u; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        bool roleOption = false;
        for (std::uint32_t r = 0u; r < std::size(roleOptions); ++r)
        {
            const CRoleOption& role = roleOptions[r];
            if (option == role.m_option)
            {
                if ((rolesGiven & (1u << r)) != 0u)
                {
                    throw CUsageError(option + " given twice");
                }
                roles.*role.m_field = ParseAccount(GetOptionValue(arguments, i), role.m_group, role.m_option + 2);
                rolesGiven |= 1u << r;
                roleOption = true;
            }
        }
        if (roleOption)
        {
            continue;
        }
        if (option == "--empty-storages")
        {
            emptyStorages = true;
        }
        else if (option == "--kel-signature")
        {
            signatureTimestamp = ParseNumber(GetOptionValue(arguments, i), UINT64_MAX, "timestamp");
        }
        else if (option == "--capacity")
        {
            provision.m_queueCapacity = ParseNumber(GetOptionValue(arguments, i), 65536u, "capacity");
        }
        else if (option == "--cpu-product-code")
        {
            provision.m_cpuProductCode =
                static_cast<std::uint32_t>(ParseNumber(GetOptionValue(arguments, i), UINT32_MAX, "product code"));
        }
        else if (option == "--cpu-serial")
        {
            provision.m_cpuSerialNumber =
                static_cast<std::uint32_t>(ParseNumber(GetOptionValue(arguments, i), UINT32_MAX, "serial number"));
        }
        else if (option == "--kel-udid")
        {
            provision.m_kelUdid = ParseUdid(GetOptionValue(arguments, i));
        }
        else if (option == "--flash16")
        {
            provision.m_flashFile16 = ReadWholeFile(GetOptionValue(arguments, i));
        }
        else if (option == "--storage")
        {
            const std::string& assignment = GetOptionValue(arguments, i);
            const std::size_t equals = assignment.find('=');
            if ((equals == std::string::npos) || (equals == 0u))
            {
                throw CUsageError("--storage needs NAME=FILE: " + assignment);
            }
            provision.m_storages[assignment.substr(0u, equals)] = ReadWholeFile(assignment.substr(equals + 1u));
        }
        else
        {
            throw CUsageError("unknown option for create: " + option);
        }
    }
    if (provision.m_cpuProductCode.has_value() != provision.m_cpuSerialNumber.has_value())
    {
        throw CUsageError("--cpu-product-code and --cpu-serial go together");
    }
    if (provision.m_queueCapacity == 0u)
    {
        throw CUsageError("invalid capacity: 0");
    }
    if (rolesGiven == AllRoles)
    {
        provision.m_roles = roles;
    }
    else if (rolesGiven != 0u)
    {
        throw CUsageError("the three users and the three groups go together");
    }
    if (signatureTimestamp.has_value())
    {
        if (!provision.m_kelUdid.has_value() || provision.m_flashFile16.has_value())
        {
            throw CUsageError("--kel-signature needs --kel-udid and no --flash16");
        }
        Support::CControllerIdentity controller;
        controller.m_kelUdid = *provision.m_kelUdid;
        controller.m_signatureTimestamp = *signatureTimestamp;
        provision.m_flashFile16 = Support::BuildKelSignature(controller);
    }
    if (emptyStorages)
    {
        for (const std::string& name : Support::GetMandatoryStorageNames())
        {
            (void)provision.m_storages.emplace(name, std::vector<std::uint8_t>());
        }
    }
    provisioner.Create(provision);
    std::cout << "capacity " << provisioner.GetQueueCapacity() << "\n";
    return ExitOk;
}

int Destroy(const std::vector<std::string>& arguments)
{
    RequireCount(arguments, 2u);
    Support::CDomainProvisioner(ParseDomain(arguments[1])).Destroy();
    return ExitOk;
}

int FailWithErrno(const std::string& what)
{
    std::cerr << "scm-provision: " << what << ": " << std::strerror(errno) << "\n";
    return ExitFailure;
}

int SetCondition(const std::vector<std::string>& arguments)
{
    RequireCount(arguments, 4u);
    const std::uint16_t domain = ParseDomain(arguments[1]);
    const auto condition = static_cast<std::uint32_t>(ParseNumber(arguments[2], UINT32_MAX, "condition"));
    const auto value = static_cast<std::uint32_t>(ParseNumber(arguments[3], UINT32_MAX, "value"));
    return (scmKernelSetCondition(domain, condition, value) == 0) ? ExitOk : FailWithErrno("cannot set condition");
}

int ClearCondition(const std::vector<std::string>& arguments)
{
    RequireCount(arguments, 3u);
    const std::uint16_t domain = ParseDomain(arguments[1]);
    const auto condition = static_cast<std::uint32_t>(ParseNumber(arguments[2], UINT32_MAX, "condition"));
    return (scmKernelClearCondition(domain, condition) == 0) ? ExitOk : FailWithErrno("cannot clear condition");
}

int WaitCondition(const std::vector<std::string>& arguments)
{
    if ((arguments.size() != 3u) && ((arguments.size() != 5u) || (arguments[3] != "--timeout")))
    {
        throw CUsageError("usage: wait-condition DOMAIN N [--timeout SECONDS]");
    }
    const std::uint16_t domain = ParseDomain(arguments[1]);
    const auto condition = static_cast<std::uint32_t>(ParseNumber(arguments[2], UINT32_MAX, "condition"));
    const int timeout =
        (arguments.size() == 5u) ? static_cast<int>(ParseNumber(arguments[4], 2000000u, "timeout") * 1000u) : -1;
    std::uint32_t value = 0u;
    if (scmKernelWaitForCondition(domain, condition, timeout, &value) != 0)
    {
        return FailWithErrno("condition " + std::to_string(condition) + " not set");
    }
    std::cout << value << "\n";
    return ExitOk;
}

int Status(const std::vector<std::string>& arguments)
{
    RequireCount(arguments, 2u);
    const std::uint16_t domain = ParseDomain(arguments[1]);
    if (scmKernelDomainExists(domain) == 0)
    {
        std::cerr << "scm-provision: domain " << domain << " does not exist\n";
        return ExitFailure;
    }
    for (const Support::CQueueFlow& flow : Support::GetQueueFlows())
    {
        const std::string name = Support::GetQueueName(flow, domain);
        MSG_Q_ID queue = msgQOpen(name.c_str(), 0u, 0u, MSG_Q_FIFO, 0, nullptr);
        MSG_Q_INFO info{};
        if ((queue == nullptr) || (msgQInfoGet(queue, &info) != OK))
        {
            std::cout << "queue " << name << " missing\n";
        }
        else
        {
            std::cout << "queue " << name << " waiting=" << info.numMsgs << " capacity=" << info.maxMsgs
                      << " max-length=" << info.maxMsgLength << "\n";
        }
        if (queue != nullptr)
        {
            (void)msgQDelete(queue);
        }
    }
    for (const std::string& name : {Support::GetToScmSemaphoreName(domain), Support::GetFromScmSemaphoreName(domain)})
    {
        SEM_ID semaphore = semOpen(name.c_str(), SEM_TYPE_BINARY, SEM_EMPTY, SEM_Q_FIFO, 0, nullptr);
        int value = 0;
        if ((semaphore == nullptr) || (scmKernelGetSemaphoreValue(semaphore, &value) != 0))
        {
            std::cout << "semaphore " << name << " missing\n";
        }
        else
        {
            std::cout << "semaphore " << name << " value=" << value << "\n";
        }
        if (semaphore != nullptr)
        {
            (void)semClose(semaphore);
        }
    }
    std::uint32_t conditions[64] = {};
    std::uint32_t values[64] = {};
    const int count = scmKernelListConditions(domain, conditions, values, 64u);
    for (int i = 0; i < count; ++i)
    {
        std::cout << "condition " << conditions[i] << " value=" << values[i] << "\n";
    }
    std::uint32_t lockCount = 0u;
    std::uint32_t resetCount = 0u;
    std::uint32_t lastMode = 0u;
    if ((scmKernelGetResetLockCount(domain, &lockCount) != 0) ||
        (scmKernelGetPlcResets(domain, &resetCount, &lastMode) != 0))
    {
        return FailWithErrno("cannot read the reset records");
    }
    std::cout << "reset-lock " << lockCount << "\n";
    std::cout << "plc-resets " << resetCount << " last-mode=" << lastMode << "\n";
    return ExitOk;
}

int HandOver(const std::vector<std::string>& arguments)
{
    if ((arguments.size() < 2u) || ((arguments.size() % 2u) != 0u))
    {
        throw CUsageError("usage: hand-over DOMAIN [--cycles N] [--timeout SECONDS]");
    }
    const std::uint16_t domain = ParseDomain(arguments[1]);
    std::uint64_t cycles = 1u;
    std::uint64_t timeoutSeconds = 10u;
    for (std::size_t i = 2u; i < arguments.size(); i += 2u)
    {
        if (arguments[i] == "--cycles")
        {
            cycles = ParseNumber(arguments[i + 1u], 1000000u, "cycles");
        }
        else if (arguments[i] == "--timeout")
        {
            timeoutSeconds = ParseNumber(arguments[i + 1u], 3600u, "timeout");
        }
        else
        {
            throw CUsageError("unknown option for hand-over: " + arguments[i]);
        }
    }
    SEM_ID toScm =
        semOpen(Support::GetToScmSemaphoreName(domain).c_str(), SEM_TYPE_BINARY, SEM_EMPTY, SEM_Q_FIFO, 0, nullptr);
    SEM_ID fromScm =
        semOpen(Support::GetFromScmSemaphoreName(domain).c_str(), SEM_TYPE_BINARY, SEM_EMPTY, SEM_Q_FIFO, 0, nullptr);
    if ((toScm == nullptr) || (fromScm == nullptr))
    {
        return FailWithErrno("cannot open the hand-over semaphores");
    }
    const int timeoutTicks = static_cast<int>(timeoutSeconds) * sysClkRateGet();
    std::uint64_t completed = 0u;
    while ((completed < cycles) && (semTake(toScm, timeoutTicks) == OK) && (semGive(fromScm) == OK))
    {
        ++completed;
    }
    (void)semClose(toScm);
    (void)semClose(fromScm);
    std::cout << "cycles " << completed << "\n";
    return (completed == cycles) ? ExitOk : FailWithErrno("the checker did not hand over");
}

// One "level=... code=... name=... info0=... info1=..." line of an 11-byte event record.
std::string FormatEvent(const std::uint8_t* record)
{
    const auto code = static_cast<unsigned>(Util::GetLittleEndianUInt32(record, ScmEvent::ms_CodeOffset));
    const char* codeName = ScmGetEventCodeName(code);
    char codeText[16];
    (void)std::snprintf(codeText, sizeof codeText, "0x%04X", code);
    return "level=" + std::to_string(record[ScmEvent::ms_LevelOffset]) + " code=" + codeText +
           " name=" + ((codeName != nullptr) ? codeName : "unknown") +
           " info0=" + std::to_string(Util::GetLittleEndianUInt16(record, ScmEvent::ms_Information0Offset)) +
           " info1=" + std::to_string(Util::GetLittleEndianUInt32(record, ScmEvent::ms_Information1Offset));
}

int EventLog(std::uint16_t domain)
{
    std::vector<EVENT_LOG_ENTRY> entries(EVENT_LOG_CAPACITY);
    const int count = eventLogRead(domain, entries.data(), entries.size());
    if (count < 0)
    {
        return FailWithErrno("cannot read the event log");
    }
    for (int i = 0; i < count; ++i)
    {
        const EVENT_LOG_ENTRY& entry = entries[static_cast<std::size_t>(i)];
        std::cout << "seq=" << entry.sequence << " time_us=" << entry.monotonicMicroseconds << " "
                  << FormatEvent(entry.event) << "\n";
    }
    return ExitOk;
}

int Events(const std::vector<std::string>& arguments)
{
    const bool log = (arguments.size() == 3u) && (arguments[2] == "--log");
    if ((arguments.size() != 2u) && !log)
    {
        throw CUsageError("usage: events DOMAIN [--log]");
    }
    const std::uint16_t domain = ParseDomain(arguments[1]);
    if (log)
    {
        return EventLog(domain);
    }
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    MSG_Q_ID queue = msgQOpen(ScmGetEventQueueToRuntimeName(domain, name), 0u, 0u, MSG_Q_FIFO, 0, nullptr);
    if (queue == nullptr)
    {
        return FailWithErrno("cannot open the event queue");
    }
    std::uint8_t record[ScmEvent::ms_Length] = {};
    while (msgQReceive(queue, reinterpret_cast<char*>(record), sizeof record, NO_WAIT) ==
           static_cast<ssize_t>(sizeof record))
    {
        std::cout << FormatEvent(record) << "\n";
    }
    (void)msgQDelete(queue);
    return ExitOk;
}

// The queue of the domain named by its base name, "~" in front for the SCM's side.
const Support::CQueueFlow& FindQueueFlow(std::uint16_t domain, const std::string& queue)
{
    for (const Support::CQueueFlow& flow : Support::GetQueueFlows())
    {
        const std::string name = Support::GetQueueName(flow, domain);
        if (name.substr(name.rfind('/') + 1u) == queue)
        {
            return flow;
        }
    }
    throw CUsageError("unknown queue: " + queue);
}

Support::Bytes Complemented(Support::Bytes bytes, bool complement)
{
    return complement ? Support::GetInverted(std::move(bytes)) : bytes;
}

int Send(const std::vector<std::string>& arguments)
{
    const bool complement = (arguments.size() == 5u) && (arguments[4] == "--complement");
    if ((arguments.size() != 4u) && !complement)
    {
        throw CUsageError("usage: send DOMAIN QUEUE HEX [--complement]");
    }
    const std::uint16_t domain = ParseDomain(arguments[1]);
    const Support::CQueueFlow& flow = FindQueueFlow(domain, arguments[2]);
    Support::Bytes message;
    try
    {
        message = Complemented(Support::FromHex(arguments[3]), complement);
    }
    catch (const std::invalid_argument&)
    {
        throw CUsageError("invalid hex message: " + arguments[3]);
    }
    if (message.empty() || (message.size() > flow.m_maxMessageLength))
    {
        throw CUsageError("a message on " + arguments[2] + " has 1 to " + std::to_string(flow.m_maxMessageLength) +
                          " bytes");
    }
    MSG_Q_ID queue = msgQOpen(Support::GetQueueName(flow, domain).c_str(), 0u, 0u, MSG_Q_FIFO, 0, nullptr);
    if (queue == nullptr)
    {
        return FailWithErrno("cannot open queue " + arguments[2]);
    }
    const STATUS sent =
        msgQSend(queue, reinterpret_cast<char*>(message.data()), message.size(), NO_WAIT, MSG_PRI_NORMAL);
    (void)msgQDelete(queue);
    return (sent == OK) ? ExitOk : FailWithErrno("cannot send on " + arguments[2]);
}

int Receive(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 3u)
    {
        throw CUsageError("usage: receive DOMAIN QUEUE [--timeout SECONDS] [--complement]");
    }
    const std::uint16_t domain = ParseDomain(arguments[1]);
    const Support::CQueueFlow& flow = FindQueueFlow(domain, arguments[2]);
    bool complement = false;
    std::uint64_t timeoutSeconds = 0u;
    for (std::size_t i = 3u; i < arguments.size(); ++i)
    {
        if (arguments[i] == "--complement")
        {
            complement = true;
        }
        else if (arguments[i] == "--timeout")
        {
            timeoutSeconds = ParseNumber(GetOptionValue(arguments, i), 3600u, "timeout");
        }
        else
        {
            throw CUsageError("unknown option for receive: " + arguments[i]);
        }
    }
    MSG_Q_ID queue = msgQOpen(Support::GetQueueName(flow, domain).c_str(), 0u, 0u, MSG_Q_FIFO, 0, nullptr);
    if (queue == nullptr)
    {
        return FailWithErrno("cannot open queue " + arguments[2]);
    }
    Support::Bytes buffer(flow.m_maxMessageLength);
    std::size_t received = 0u;
    int timeoutTicks = static_cast<int>(timeoutSeconds) * sysClkRateGet();
    for (;;)
    {
        const ssize_t length = msgQReceive(queue, reinterpret_cast<char*>(buffer.data()), buffer.size(),
                                           (timeoutTicks > 0) ? timeoutTicks : NO_WAIT);
        if (length < 0)
        {
            break;
        }
        timeoutTicks = 0;
        ++received;
        const Support::Bytes message(buffer.begin(), buffer.begin() + length);
        std::cout << Support::ToHex(Complemented(message, complement)) << "\n";
    }
    (void)msgQDelete(queue);
    if (received == 0u)
    {
        std::cerr << "scm-provision: no message on " << arguments[2] << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

int Run(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
    {
        throw CUsageError("no command");
    }
    const std::string& command = arguments[0];
    if ((command == "--help") || (command == "-h") || (command == "help"))
    {
        std::cout << HelpText;
        return ExitOk;
    }
    if (command == "create")
    {
        return Create(arguments);
    }
    if (command == "destroy")
    {
        return Destroy(arguments);
    }
    if (command == "set-condition")
    {
        return SetCondition(arguments);
    }
    if (command == "clear-condition")
    {
        return ClearCondition(arguments);
    }
    if (command == "wait-condition")
    {
        return WaitCondition(arguments);
    }
    if (command == "status")
    {
        return Status(arguments);
    }
    if (command == "hand-over")
    {
        return HandOver(arguments);
    }
    if (command == "events")
    {
        return Events(arguments);
    }
    if (command == "send")
    {
        return Send(arguments);
    }
    if (command == "receive")
    {
        return Receive(arguments);
    }
    throw CUsageError("unknown command: " + command);
}
} // namespace

int main(int argc, char** argv)
{
    if (Support::AsksForVersion(argc, argv))
    {
        Support::PrintProgramVersion("scm-provision");
        return ExitOk;
    }
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try
    {
        return Run(arguments);
    }
    catch (const CUsageError& error)
    {
        std::cerr << "scm-provision: " << error.what() << "\nTry 'scm-provision --help'.\n";
        return ExitUsage;
    }
    catch (const std::exception& error)
    {
        std::cerr << "scm-provision: " << error.what() << "\n";
        return ExitFailure;
    }
}
