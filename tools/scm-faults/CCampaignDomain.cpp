// The one domain that a campaign plays on.
#include "CCampaignDomain.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/Peers/CPeerQueue.h"

namespace Faults
{
namespace
{
std::string checkerExecutable = Support::CCheckerProcess::DefaultExecutable();
} // namespace

void SetCheckerExecutable(const std::string& executable)
{
    checkerExecutable = executable;
}

const std::vector<std::string>& GetCheckerCopyNames()
{
    static const std::vector<std::string> names = {"tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk"};
    return names;
}

CCampaignDomain::CCampaignDomain(std::uint16_t safetyDomainNumber) : m_isolation(), m_provisioner(safetyDomainNumber)
{
}

void CCampaignDomain::Create(const Support::CDomainProvision& provision)
{
    m_provisioner.Destroy();
    m_provisioner.Create(provision);
}

std::filesystem::path CCampaignDomain::GetKernelRoot() const
{
    return m_isolation.GetKernelRoot();
}

std::filesystem::path CCampaignDomain::GetStorageDirectory() const
{
    char domain[16] = {};
    (void)std::snprintf(domain, sizeof domain, "scm%04u", static_cast<unsigned>(GetSafetyDomainNumber()));
    return GetKernelRoot() / domain / "storage";
}

std::optional<Support::Bytes> CCampaignDomain::ReadStorage(const std::string& name) const
{
    std::ifstream stream(GetStorageDirectory() / name, std::ios::binary);
    if (!stream)
    {
        return std::nullopt;
    }
    return Support::Bytes(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void CCampaignDomain::WriteStorage(const std::string& name, const Support::Bytes& content) const
{
    const std::filesystem::path target = GetStorageDirectory() / name;
    const std::filesystem::path temporary = GetStorageDirectory() / ("campaign-" + name);
    {
        std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
        if (!stream)
        {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    // The checker refuses copies that others could read or write.
    std::filesystem::permissions(temporary,
                                 name.size() > 4u && name.compare(name.size() - 4u, 4u, ".chk") == 0
                                     ? std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                     : std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    std::filesystem::rename(temporary, target);
}

void CCampaignDomain::EmptyQueues() const
{
    for (const ScmQueueNameFunction name :
         {ScmGetUnlockRequestQueueFromRuntimeName, ScmGetUnlockRequestQueueToScmName,
          ScmGetUnlockResponseQueueFromScmName, ScmGetUnlockResponseQueueToRuntimeName, ScmGetFrameQueueFromRuntimeName,
          ScmGetFrameQueueToScmName, ScmGetFrameQueueFromScmName, ScmGetFrameQueueToRuntimeName,
          ScmGetCommandQueueFromRuntimeName, ScmGetCommandQueueToScmName, ScmGetResponseQueueFromScmName,
          ScmGetResponseQueueToRuntimeName, ScmGetEventQueueFromScmName, ScmGetEventQueueToRuntimeName})
    {
        Support::CPeerQueue queue(name, GetSafetyDomainNumber(), false);
        while (queue.Receive().has_value())
        {
        }
    }
}

std::vector<std::string> CCampaignDomain::ListTemporaryFiles() const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(GetStorageDirectory(), error))
    {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.front() == '.')
        {
            names.push_back(name);
        }
    }
    return names;
}

void CCampaignDomain::RemoveTemporaryFiles() const
{
    for (const std::string& name : ListTemporaryFiles())
    {
        std::error_code ignored;
        (void)std::filesystem::remove(GetStorageDirectory() / name, ignored);
    }
}

std::unique_ptr<Support::CCheckerProcess>
CCampaignDomain::StartChecker(const Support::CCheckerProcess::CEnvironment& extra) const
{
    Support::CCheckerProcess::CEnvironment environment = extra;
    environment["SafetyDomainNumber"] = std::to_string(GetSafetyDomainNumber());
    return std::make_unique<Support::CCheckerProcess>(environment, checkerExecutable);
}

std::optional<int> KillChecker(Support::CCheckerProcess& checker)
{
    if (checker.IsRunning())
    {
        (void)kill(checker.GetPid(), SIGKILL);
    }
    return checker.WaitForExit(std::chrono::milliseconds(10000));
}
} // namespace Faults
