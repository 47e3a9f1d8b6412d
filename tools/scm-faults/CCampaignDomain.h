// The one domain that a campaign plays on: an isolated kernel directory and queue names, the configured domain's
// files, and the checker process started on it.
#ifndef TOOLS_SCM_FAULTS_CCAMPAIGNDOMAIN_H
#define TOOLS_SCM_FAULTS_CCAMPAIGNDOMAIN_H

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/Messages/Bytes.h"
#include "support/Peers/CDomainConfiguration.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace Faults
{
/// The checker's copies, the files a kill or a fault must never leave torn.
const std::vector<std::string>& GetCheckerCopyNames();

/// A domain of its own for the life of the object (removed with everything the checker left).
class CCampaignDomain
{
public:
    explicit CCampaignDomain(std::uint16_t safetyDomainNumber);

    std::uint16_t GetSafetyDomainNumber() const
    {
        return m_provisioner.GetSafetyDomainNumber();
    }

    /// The smallest queue capacity the last Create gave (the system's limit may be below the one asked for).
    std::size_t GetQueueCapacity() const
    {
        return m_provisioner.GetQueueCapacity();
    }

    /// Removes the domain and creates it anew with the provision (queues, semaphores, files, empty event log).
    void Create(const Support::CDomainProvision& provision);

    std::filesystem::path GetKernelRoot() const;
    std::filesystem::path GetStorageDirectory() const;

    /// A storage's content; nothing when it does not exist.
    std::optional<Support::Bytes> ReadStorage(const std::string& name) const;
    /// Replaces a storage as its owner would (a whole new file, renamed into place).
    void WriteStorage(const std::string& name, const Support::Bytes& content) const;
    /// Takes every message waiting in the domain's fourteen queues.
    void EmptyQueues() const;
    /// The temporary files in the storage directory (names that start with a dot).
    std::vector<std::string> ListTemporaryFiles() const;
    void RemoveTemporaryFiles() const;

    /// Starts scm-checker-test on the domain with the extra variables.
    std::unique_ptr<Support::CCheckerProcess> StartChecker(const Support::CCheckerProcess::CEnvironment& extra) const;

private:
    Support::CPlatformIsolation m_isolation;
    Support::CDomainProvisioner m_provisioner;
};

/// The checker that campaigns start from now on (default: scm-checker-test of this build tree).
void SetCheckerExecutable(const std::string& executable);

/// Ends a checker at once (SIGKILL) and waits for it; its exit status (128 + 9 when the kill ended it).
std::optional<int> KillChecker(Support::CCheckerProcess& checker);
} // namespace Faults

#endif
