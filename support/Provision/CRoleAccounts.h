// Running code as one of a domain's roles: accounts by numeric id, forked children that take them on.
#ifndef SUPPORT_PROVISION_CROLEACCOUNTS_H
#define SUPPORT_PROVISION_CROLEACCOUNTS_H

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "scmDeployment.h"

namespace Support
{
/// A user with its primary group and supplementary groups, by numeric id (no entry in the account files needed).
struct CAccount
{
    std::uint32_t m_user;
    std::uint32_t m_group;
    std::vector<std::uint32_t> m_groups;
};

/// The three roles' users and groups for tests: ids far above those of real accounts.
ScmDomainRoles GetTestRoles();

/// The runtime belongs to the runtime and domain groups, the SCM to the SCM and domain groups, the checker to all
/// three.
CAccount GetRuntimeAccount(const ScmDomainRoles& roles);
CAccount GetScmAccount(const ScmDomainRoles& roles);
CAccount GetCheckerAccount(const ScmDomainRoles& roles);

/// What a child run as an account gave back.
struct CAccountRun
{
    bool m_ended;       ///< false when it did not end within the time
    int m_result;       ///< what the function returned
    int m_error;        ///< errno after it
    std::string m_text; ///< text the function set (up to 511 characters)
};

/// Runs function in a forked child that has taken on account (needs root), at most timeoutMilliseconds; a child
/// that does not end by then is killed.
CAccountRun RunAsAccount(const CAccount& account, const std::function<int(std::string& text)>& function,
                         int timeoutMilliseconds);

/// Starts program (environment: this process's) in a child that has taken on account; its standard output goes
/// to outputDescriptor when that is not negative. Returns the child's id; throws std::runtime_error on failure.
pid_t SpawnAsAccount(const CAccount& account, const std::string& program, int outputDescriptor);

/// Lets other users pass through every directory from path up to the root (adds search permission for others).
void MakePassable(const std::string& path);
} // namespace Support

#endif
