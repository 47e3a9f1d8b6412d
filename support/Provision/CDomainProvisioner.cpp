// Creates and tears down what the runtime and the SCM provide to a domain: kernel directory, queues, semaphores.
#include "support/Provision/CDomainProvisioner.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "msgQLib.h"
#include "scmKernelEmulation.h"
#include "semLib.h"
#include "support/Provision/QueueFlows.h"

namespace Support
{
namespace
{
constexpr std::uint32_t FlashFile16 = 16u;

[[noreturn]] void ThrowFailure(const std::string& what, int error)
{
    std::string hint;
    if (error == EMFILE)
    {
        hint = " (the user's queue memory, RLIMIT_MSGQUEUE, or the open files are used up)";
    }
    else if (error == ENOSPC)
    {
        hint = " (the system's number of queues, /proc/sys/fs/mqueue/queues_max, is reached)";
    }
    throw std::runtime_error(what + ": " + std::strerror(error) + hint);
}

void Check(int result, const std::string& what)
{
    if (result != 0)
    {
        ThrowFailure(what, errno);
    }
}

// Creates one queue with the largest capacity up to capacity that the system grants. msgQOpen itself falls
// back to msg_max; when the user's queue memory is short (EMFILE, ENOMEM) the capacity is halved.
std::size_t CreateQueue(const std::string& name, std::size_t capacity, std::size_t maxMessageLength)
{
    (void)msgQUnlink(name.c_str());
    std::size_t asked = capacity;
    for (;;)
    {
        MSG_Q_ID queue = msgQOpen(name.c_str(), asked, maxMessageLength, MSG_Q_FIFO, OM_CREATE | OM_EXCL, nullptr);
        if (queue != nullptr)
        {
            MSG_Q_INFO info{};
            const bool known = (msgQInfoGet(queue, &info) == OK);
            (void)msgQDelete(queue);
            return known ? info.maxMsgs : asked;
        }
        const int error = errno;
        if (((error != EMFILE) && (error != ENOMEM)) || (asked == 1u))
        {
            ThrowFailure("cannot create queue " + name + " (capacity " + std::to_string(asked) + ", messages of " +
                             std::to_string(maxMessageLength) + " bytes)",
                         error);
        }
        asked /= 2u;
    }
}
} // namespace

CDomainProvisioner::CDomainProvisioner(std::uint16_t safetyDomainNumber)
    : m_safetyDomainNumber(safetyDomainNumber), m_queueCapacity(0u)
{
    if ((safetyDomainNumber < 1u) || (safetyDomainNumber > 1023u))
    {
        throw std::invalid_argument("safety domain number outside 1 to 1023: " + std::to_string(safetyDomainNumber));
    }
}

void CDomainProvisioner::Create(const CDomainProvision& provision)
{
    if (provision.m_queueCapacity == 0u)
    {
        throw std::invalid_argument("queue capacity 0");
    }
    Check(scmKernelCreateDomain(m_safetyDomainNumber), "cannot create the kernel directory of the domain");
    ProvisionFiles(provision);
    CreateQueues(provision.m_queueCapacity);
    CreateSemaphores();
    if (provision.m_roles.has_value())
    {
        Check(scmKernelSetDomainRoles(m_safetyDomainNumber, &*provision.m_roles),
              "cannot give the domain to its roles (owners need root)");
    }
}

void CDomainProvisioner::CreateQueues(std::size_t capacity)
{
    std::size_t smallest = capacity;
    for (const CQueueFlow& flow : GetQueueFlows())
    {
        const std::size_t obtained =
            CreateQueue(GetQueueName(flow, m_safetyDomainNumber), capacity, flow.m_maxMessageLength);
        smallest = (obtained < smallest) ? obtained : smallest;
    }
    m_queueCapacity = smallest;
}

void CDomainProvisioner::CreateSemaphores()
{
    for (const std::string& name :
         {GetToScmSemaphoreName(m_safetyDomainNumber), GetFromScmSemaphoreName(m_safetyDomainNumber)})
    {
        (void)semUnlink(name.c_str());
        SEM_ID semaphore = semOpen(name.c_str(), SEM_TYPE_BINARY, SEM_EMPTY, SEM_Q_FIFO, OM_CREATE | OM_EXCL, nullptr);
        if (semaphore == nullptr)
        {
            ThrowFailure("cannot create semaphore " + name, errno);
        }
        (void)semClose(semaphore);
    }
}

void CDomainProvisioner::ProvisionFiles(const CDomainProvision& provision)
{
    if (provision.m_cpuProductCode.has_value() != provision.m_cpuSerialNumber.has_value())
    {
        throw std::invalid_argument("CPU product code and serial number are provisioned together");
    }
    if (provision.m_cpuProductCode.has_value())
    {
        Check(scmKernelSetCpuIdentity(m_safetyDomainNumber, *provision.m_cpuProductCode, *provision.m_cpuSerialNumber),
              "cannot provision the CPU identity");
    }
    if (provision.m_kelUdid.has_value())
    {
        Check(scmKernelSetKelUdid(m_safetyDomainNumber, provision.m_kelUdid->data()), "cannot provision the Kel UDID");
    }
    if (provision.m_flashFile16.has_value())
    {
        Check(scmKernelWriteKelFlashFile(m_safetyDomainNumber, FlashFile16, provision.m_flashFile16->data(),
                                         provision.m_flashFile16->size()),
              "cannot provision flash file 16");
    }
    for (const auto& [name, content] : provision.m_storages)
    {
        Check(scmKernelWriteStorage(m_safetyDomainNumber, name.c_str(), content.data(), content.size()),
              "cannot write storage " + name);
    }
}

void CDomainProvisioner::Destroy()
{
    for (const CQueueFlow& flow : GetQueueFlows())
    {
        (void)msgQUnlink(GetQueueName(flow, m_safetyDomainNumber).c_str());
    }
    (void)semUnlink(GetToScmSemaphoreName(m_safetyDomainNumber).c_str());
    (void)semUnlink(GetFromScmSemaphoreName(m_safetyDomainNumber).c_str());
    Check(scmKernelDestroyDomain(m_safetyDomainNumber), "cannot remove the kernel directory of the domain");
    m_queueCapacity = 0u;
}
} // namespace Support
