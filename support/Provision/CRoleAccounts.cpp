// Running code as one of a domain's roles: accounts by numeric id, forked children that take them on.
#include "support/Provision/CRoleAccounts.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Support
{
namespace
{
constexpr std::size_t TextLengthMax = 511u;

struct CChildReport
{
    int m_result;
    int m_error;
    char m_text[TextLengthMax + 1u];
};

// In the child: all groups first, the user last, since setuid gives up the right to change groups.
bool TakeOn(const CAccount& account)
{
    std::vector<gid_t> groups(account.m_groups.begin(), account.m_groups.end());
    return (setgroups(groups.size(), groups.data()) == 0) && (setgid(account.m_group) == 0) &&
           (setuid(account.m_user) == 0);
}
} // namespace

ScmDomainRoles GetTestRoles()
{
    return ScmDomainRoles{61001u, 61002u, 61003u, 62001u, 62002u, 62003u};
}

CAccount GetRuntimeAccount(const ScmDomainRoles& roles)
{
    return CAccount{roles.runtimeUser, roles.runtimeGroup, {roles.runtimeGroup, roles.domainGroup}};
}

CAccount GetScmAccount(const ScmDomainRoles& roles)
{
    return CAccount{roles.scmUser, roles.scmGroup, {roles.scmGroup, roles.domainGroup}};
}

CAccount GetCheckerAccount(const ScmDomainRoles& roles)
{
    return CAccount{roles.checkerUser, roles.domainGroup, {roles.runtimeGroup, roles.scmGroup, roles.domainGroup}};
}

CAccountRun RunAsAccount(const CAccount& account, const std::function<int(std::string& text)>& function,
                         int timeoutMilliseconds)
{
    int descriptors[2];
    if (pipe(descriptors) != 0)
    {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    const pid_t child = fork();
    if (child < 0)
    {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0)
    {
        (void)close(descriptors[0]);
        CChildReport report{-1, 0, {}};
        std::string text;
        if (TakeOn(account))
        {
            report.m_result = function(text);
            report.m_error = errno;
        }
        else
        {
            report.m_error = errno;
            text = "cannot take on the account";
        }
        (void)std::strncpy(report.m_text, text.c_str(), TextLengthMax);
        const bool sent = write(descriptors[1], &report, sizeof(report)) == static_cast<ssize_t>(sizeof(report));
        _exit(sent ? 0 : 1);
    }
    (void)close(descriptors[1]);
    pollfd readable{descriptors[0], POLLIN, 0};
    CChildReport report{};
    const bool ended = (poll(&readable, 1, timeoutMilliseconds) == 1) &&
                       (read(descriptors[0], &report, sizeof(report)) == static_cast<ssize_t>(sizeof(report)));
    (void)close(descriptors[0]);
    if (!ended)
    {
        (void)kill(child, SIGKILL);
    }
    (void)waitpid(child, nullptr, 0);
    report.m_text[TextLengthMax] = '\0';
    return CAccountRun{ended, report.m_result, report.m_error, report.m_text};
}

pid_t SpawnAsAccount(const CAccount& account, const std::string& program, int outputDescriptor)
{
    const pid_t child = fork();
    if (child < 0)
    {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0)
    {
        if ((outputDescriptor >= 0) && (dup2(outputDescriptor, STDOUT_FILENO) < 0))
        {
            _exit(127);
        }
        if (!TakeOn(account))
        {
            _exit(126);
        }
        char* const arguments[] = {const_cast<char*>(program.c_str()), nullptr};
        (void)execv(program.c_str(), arguments);
        _exit(127);
    }
    return child;
}

void MakePassable(const std::string& path)
{
    std::string partial = path;
    while (!partial.empty() && (partial != "/"))
    {
        struct stat status
        {
        };
        if ((stat(partial.c_str(), &status) == 0) && S_ISDIR(status.st_mode))
        {
            (void)chmod(partial.c_str(), (status.st_mode & 07777u) | S_IXOTH);
        }
        const std::size_t slash = partial.find_last_of('/');
        partial = (slash == std::string::npos) ? std::string() : partial.substr(0u, slash);
    }
}
} // namespace Support
