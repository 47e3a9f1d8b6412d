/* Peer side of the emulated kernel: domain directories, conditions, reset lock and PLC reset, identities. */
#ifndef SCM_PLATFORM_SCMKERNELEMULATION_H
#define SCM_PLATFORM_SCMKERNELEMULATION_H

#include "semLib.h"
#include "vxWorks.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * On Linux the kernel's SCM services (scmSyscall.h) are emulated over files, so that the checker, its peers,
 * the simulator and tests in different processes share one kernel state. Layout:
 *
 *   <root>                      SCM_KERNEL_ROOT from the environment (read at every call), else
 *                               SCM_KERNEL_DEFAULT_ROOT
 *   <root>/scm%04u/             one directory per safety domain (1 to 1023); services of a domain whose
 *                               directory does not exist fail with ENOENT, of one that is not owned by root
 *                               or the caller or that a group or others may write with EPERM
 *     roles                     the users and groups of the domain's roles (scmDeployment.h)
 *     storage/<name>            the named storages (names of 1 to 64 characters of A-Z a-z 0-9 . _ -, not
 *                               starting with '.'); a write goes to a temporary file beside it that is
 *                               flushed and renamed over the storage on close, so a crash leaves the old or
 *                               the new content, never a mix
 *     conditions/<n>            kernel condition n, set: its information value as decimal text
 *     reset-lock                the reset lock count, decimal (missing: 0); changed under an flock
 *     plc-resets                one line "mode=<m> reset-lock=<count>" per PLC reset
 *     cpu-product-code          services 129 and 130: decimal or 0x-hexadecimal text
 *     cpu-serial-number
 *     kel-udid                  service 131: twelve hexadecimal digits
 *     kel-flash/<n>             service 148: flash file n of the safety controller, raw bytes
 *     clock                     clock control of the domain's processes (platformControl.h; read by the
 *                               test build of the layer only)
 *
 * Services that carry no domain number (129, 130, 147 and the clock control file) act on the process's
 * domain: the one given to scmKernelSetProcessDomain, else the environment variable "SafetyDomainNumber".
 * Without one, 129 and 130 fail (ESRCH) and a PLC reset is not recorded.
 *
 * Every file is opened relative to the domain directory, never through a symbolic link (ELOOP) and never
 * blocking; anything but a regular file fails with EINVAL. Only a missing file is ENOENT. What the layer
 * creates gets its mode explicitly (scmDeployment.h lists them); temporary files have random names.
 *
 * Calls below return 0 (OK) or -1 (ERROR) with errno unless said otherwise; none blocks unless said so.
 */
#define SCM_KERNEL_DEFAULT_ROOT "/var/lib/scm-kernel"

/** Longest path that the emulation forms (the root must be well below it). */
#define SCM_KERNEL_PATH_LENGTH_MAX 512

/** Writes the kernel root into buffer. */
int scmKernelGetRoot(char* buffer, size_t length);

/** Writes "<root>/scm%04u" or, with a non-null entry, "<root>/scm%04u/<entry>" into buffer. EINVAL for a
 *  domain outside 1 to 1023, ENAMETOOLONG when it does not fit. */
int scmKernelGetDomainPath(uint16_t safetyDomainNumber, const char* entry, char* buffer, size_t length);

/** Sets the domain of the calls that carry none (0: back to "SafetyDomainNumber"). */
void scmKernelSetProcessDomain(uint16_t safetyDomainNumber);

/** The domain of the calls that carry none; 0 when there is none. */
uint16_t scmKernelGetProcessDomain(void);

/** Creates the root (if needed) and the domain's directory with its storage/, conditions/ and kel-flash/
 *  folders; an existing domain is left as it is. */
int scmKernelCreateDomain(uint16_t safetyDomainNumber);

/** Removes the domain's directory with everything in it (conditions, storages, records); a missing domain is
 *  no error. */
int scmKernelDestroyDomain(uint16_t safetyDomainNumber);

/** 1 when the domain's directory exists, else 0. */
int scmKernelDomainExists(uint16_t safetyDomainNumber);

/** Provisions the CPU identity that services 129 and 130 give to the domain's processes. */
int scmKernelSetCpuIdentity(uint16_t safetyDomainNumber, uint32_t productCode, uint32_t serialNumber);

/** Provisions the Kel UDID (6 bytes) of service 131. */
int scmKernelSetKelUdid(uint16_t safetyDomainNumber, const uint8_t* udid);

/** Provisions flash file fileNumber of service 148 (atomically replaced). */
int scmKernelWriteKelFlashFile(uint16_t safetyDomainNumber, uint32_t fileNumber, const void* data, size_t length);

/** Writes a named storage whole (atomically replaced), as the runtime would. */
int scmKernelWriteStorage(uint16_t safetyDomainNumber, const char* storageName, const void* data, size_t length);

/** Reads a named storage whole: its length, of which at most bufferLength bytes are copied; -1 (ENOENT) when
 *  it does not exist. */
ssize_t scmKernelReadStorage(uint16_t safetyDomainNumber, const char* storageName, void* buffer,
                             size_t bufferLength);

/** Removes a named storage; a missing one is no error. */
int scmKernelRemoveStorage(uint16_t safetyDomainNumber, const char* storageName);

/** Sets a condition (as service 145). */
int scmKernelSetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t information);

/** Clears a condition, so that later waits block again; a clear condition is no error. */
int scmKernelClearCondition(uint16_t safetyDomainNumber, uint32_t condition);

/** Reads a condition without waiting: 0 and its information when set, -1 (ENOENT) when not. */
int scmKernelGetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t* information);

/** Blocks until the condition is set (as service 144), at most timeoutMilliseconds (negative: no limit);
 *  -1 with ETIMEDOUT when the time passes first. */
int scmKernelWaitForCondition(uint16_t safetyDomainNumber, uint32_t condition, int timeoutMilliseconds,
                              uint32_t* information);

/** Lists up to countMax set conditions of the domain (in no particular order); returns how many, or -1. */
int scmKernelListConditions(uint16_t safetyDomainNumber, uint32_t* conditions, uint32_t* informations,
                            size_t countMax);

/** Reads the domain's reset lock count. */
int scmKernelGetResetLockCount(uint16_t safetyDomainNumber, uint32_t* count);

/** Counts the PLC resets recorded for the domain and gives the mode of the last one (0 when none). */
int scmKernelGetPlcResets(uint16_t safetyDomainNumber, uint32_t* count, uint32_t* lastMode);

/** Writes the clock control file of the domain's processes: both clocks shifted by shiftMicroseconds (not
 *  negative), the wall clock further by realtimeShiftMicroseconds, frozen when frozen is non-zero. Processes
 *  of the test build see the change at their next clock reading; shipped ones never read the file. */
int scmKernelSetClockControl(uint16_t safetyDomainNumber, int64_t shiftMicroseconds,
                             int64_t realtimeShiftMicroseconds, int frozen);

/** The current value of a binary semaphore (0 empty, 1 full), for observers such as provisioning tools. */
int scmKernelGetSemaphoreValue(SEM_ID semId, int* value);

/**
 * Test isolation: when the environment variable SCM_IPC_REGISTRY names a file, every queue and semaphore that
 * this layer creates is recorded there as one line "q <posix name>" or "s <posix name>", so that whoever set
 * it can remove them all afterwards (scmKernelRemoveRegisteredIpc).
 */
int scmKernelRemoveRegisteredIpc(const char* registryPath);

/** Writes the POSIX name that the layer uses for a queue or semaphore name (prefix and '/' mapping applied). */
int scmKernelGetPosixIpcName(const char* name, char* buffer, size_t length);

#ifdef __cplusplus
}
#endif

#endif
