// The named objects of a domain that the roles cover: queues, hand-over semaphores, kernel files, storages.
#ifndef SCM_PLATFORM_LINUX_DOMAINOBJECTS_H
#define SCM_PLATFORM_LINUX_DOMAINOBJECTS_H

#include <cstddef>
#include <cstdint>

#include "scmDeployment.h"

namespace Platform
{
/// The base names of the seven flows: "/scm%04u/<base>" on the runtime's side, "/scm%04u/~<base>" on the SCM's.
constexpr const char* QueueBaseNames[] = {"unlock-request", "unlock-response", "frame-send", "frame-receive",
                                          "command",        "status",          "event"};
/// The hand-over semaphores carry the names of the SCM-side frame queues.
constexpr const char* SemaphoreBaseNames[] = {"frame-send", "frame-receive"};
/// Files of the domain directory that only root or the checker may write.
constexpr const char* TrustedKernelFiles[] = {"roles", "cpu-product-code", "cpu-serial-number", "kel-udid",
                                              "clock", "reset-lock",       "plc-resets",        "event-log"};
/// The checker's own copies and the SCM's storages it reads.
constexpr const char* CheckerCopyNames[] = {"tessera.uid.chk", "tessera.dat.chk", "fwrevcnf.bin.chk"};
constexpr const char* ScmStorageNames[] = {"tessera.uid",  "tessera.dat",  "tol_para.saf", "autocnf.bin",
                                           "fwrevcnf.bin", "pardata1.bin", "emodata1.bin"};

/// "/scm%04u/<base>" or "/scm%04u/~<base>".
bool FormatQueueName(std::uint16_t domain, const char* base, bool scmSide, char* buffer, std::size_t length);

/// The file that holds a named semaphore ("/dev/shm/sem.<POSIX name without its '/'>").
bool FormatSemaphorePath(const char* name, char* buffer, std::size_t length);

/// The domain's roles from its "roles" file, or the one-user roles of the calling process without one.
int ReadDomainRoles(int domainDirectory, ScmDomainRoles* roles);
} // namespace Platform

#endif
