// Creates and tears down what the runtime and the SCM provide to a domain: kernel directory, queues, semaphores.
#ifndef SUPPORT_PROVISION_CDOMAINPROVISIONER_H
#define SUPPORT_PROVISION_CDOMAINPROVISIONER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scmDeployment.h"

namespace Support
{
/// What a domain is given besides its queues and semaphores. Unset identities stay absent, so that the kernel
/// services give their failure results.
struct CDomainProvision
{
    /// Capacity asked for each queue; the provisioner takes the largest the system allows up to it.
    std::size_t m_queueCapacity = 10u;
    std::optional<std::uint32_t> m_cpuProductCode;
    std::optional<std::uint32_t> m_cpuSerialNumber;
    std::optional<std::array<std::uint8_t, 6>> m_kelUdid;
    std::optional<std::vector<std::uint8_t>> m_flashFile16;
    /// Named storages, written whole.
    std::map<std::string, std::vector<std::uint8_t>> m_storages;
    /// One user per role and the three groups (scmDeployment.h); unset, the domain belongs to the creating user.
    /// Setting them needs root.
    std::optional<ScmDomainRoles> m_roles;
};

/// Provisioning of one safety domain for peers, the simulator and tests. Queues and semaphores are created
/// under the current SCM_IPC_PREFIX, the directory under the current SCM_KERNEL_ROOT. Failures throw
/// std::runtime_error naming what failed and the errno text.
///
/// Limits of Linux that the capacities meet: an unprivileged process may not give a queue more than
/// /proc/sys/fs/mqueue/msg_max messages (10 by default), and all queues of a user share RLIMIT_MSGQUEUE bytes
/// (800 KiB by default), counted as capacity times (message length + about 100 bytes): each queue is sized
/// to its own flow's longest message, so fourteen queues of capacity 10 take about 45 KiB. The system also
/// holds at most /proc/sys/fs/mqueue/queues_max queues (256 by default: 18 domains).
class CDomainProvisioner
{
public:
    explicit CDomainProvisioner(std::uint16_t safetyDomainNumber);

    /// Creates the domain directory, the fourteen queues (empty; queues left from before are replaced) and the
    /// two semaphores (empty), and provisions the identities, flash file 16 and storages that are set; then
    /// gives everything to the roles, when they are set.
    void Create(const CDomainProvision& provision = CDomainProvision());

    /// Removes the queues, the semaphores and the domain directory with all its content. Missing parts are no
    /// error, so that a half-created domain can be torn down.
    void Destroy();

    /// The smallest capacity that a queue got at the last Create (0 before).
    std::size_t GetQueueCapacity() const
    {
        return m_queueCapacity;
    }

    std::uint16_t GetSafetyDomainNumber() const
    {
        return m_safetyDomainNumber;
    }

private:
    void CreateQueues(std::size_t capacity);
    void CreateSemaphores();
    void ProvisionFiles(const CDomainProvision& provision);

    std::uint16_t m_safetyDomainNumber;
    std::size_t m_queueCapacity;
};
} // namespace Support

#endif
