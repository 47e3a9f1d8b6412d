/* Roles of a domain's processes (runtime, SCM, checker) and the checker's start-up check of what it opens. */
#ifndef SCM_PLATFORM_SCMDEPLOYMENT_H
#define SCM_PLATFORM_SCMDEPLOYMENT_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

    /*
     * A domain runs with one user per role and three groups:
     *
     *   runtime group   the runtime and the checker: the runtime-side queues
     *   SCM group       the SCM and the checker: the SCM-side queues, the hand-over semaphores, the storage folder
     *                   and the SCM's storages
     *   domain group    all three: the domain directory (read only), conditions, identities, flash files
     *
     * The roles are recorded in the file "roles" of the domain directory (written by scmKernelSetDomainRoles, owned
     * by root). A domain without that file is a one-user domain: every role is the checker's own user and group.
     */
    typedef struct ScmDomainRoles
    {
        uint32_t runtimeUser;
        uint32_t scmUser;
        uint32_t checkerUser;
        uint32_t runtimeGroup;
        uint32_t scmGroup;
        uint32_t domainGroup;
    } ScmDomainRoles;

/** Longest description of an object that scmCheckDeployment gives, with its terminating zero. */
#define SCM_DEPLOYMENT_OBJECT_LENGTH_MAX 600

    /**
     * Gives the domain to its roles (as root; not blocking): records them in the domain's "roles" file and sets
     * owner, group and mode of everything the domain has so far (mode never from the umask):
     *
     *   domain directory             root, domain group, 0750
     *   storage/                     root, SCM group, 03770 (set-group-ID, sticky)
     *   conditions/                  checker, domain group, 01770 (sticky; the checker clears conditions 1 and 2)
     *   kel-flash/ and its files     root, domain group, 0750 and 0640
     *   identities, clock, roles     root, domain group, 0640
     *   reset-lock, plc-resets       checker, domain group, 0640 (created when missing)
     *   event-log                    checker, domain group, 0600 (created when missing)
     *   storages "*.chk"             checker, SCM group, 0600
     *   other storages               SCM, SCM group, 0660 (the checker empties a pair that disagrees)
     *   runtime-side queues          runtime, runtime group, 0660
     *   SCM-side queues, semaphores  SCM, SCM group, 0660
     *
     * Queues and semaphores that do not exist yet are skipped. EINVAL for a null roles or a bad domain, EPERM
     * without the right to change owners, ENOENT for a missing domain.
     */
    int scmKernelSetDomainRoles(uint16_t safetyDomainNumber, const ScmDomainRoles* roles);

    /**
     * Reads the domain's roles (not blocking). Without a "roles" file: the one-user roles of the calling process
     * (its effective user and group for every role) and 0. ERROR with EPERM when the file is not a regular file
     * owned by root or the calling user that only its owner may write, EINVAL when it cannot be read as roles.
     */
    int scmKernelGetDomainRoles(uint16_t safetyDomainNumber, ScmDomainRoles* roles);

    /**
     * The checker's start-up check (not blocking; every object opened without following a symbolic link and
     * without blocking). Checks, against the domain's roles (scmKernelGetDomainRoles), that
     *   - the domain directory, storage/, conditions/ and kel-flash/ are directories owned by root or the checker,
     *     writable by no others, storage/ and conditions/ by their group only when that is the SCM group or the
     *     domain group and the sticky bit is set, the domain directory and kel-flash/ by no group;
     *   - the roles file, identities, flash file 16, reset-lock, plc-resets, event-log and clock, where present, are
     * regular files owned by root or the checker that no group or others may write;
     *   - the seven runtime-side queues belong to the runtime, root or the checker and no group but the runtime group
     *     may write them; the seven SCM-side queues and the two hand-over semaphores likewise for the SCM; none is
     *     writable by others; all sixteen exist;
     *   - the SCM's storages, where present, are regular files that the SCM, root or the checker owns, writable by
     *     no group but the SCM group and by no others;
     *   - the checker's copies "tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk", where present, are regular
     *     files of the calling user that nobody else may read or write (0600 or tighter).
     * Missing storages are left to the storage services, which report them. OK when everything passes; else ERROR
     * with errno (EPERM: owner or mode lets a wrong role write; ENOENT: a queue or semaphore is missing; ELOOP or
     * EINVAL: a symbolic link or something other than the expected kind; others as the OS gave them) and, in
     * object (when not null), a description of the first object that failed, such as "queue /scm0007/~command" or
     * "storage fwrevcnf.bin.chk", cut to objectLength.
     */
    int scmCheckDeployment(uint16_t safetyDomainNumber, char* object, size_t objectLength);

#ifdef __cplusplus
}
#endif

#endif
