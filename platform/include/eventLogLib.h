/* The event log of a domain: every event the checker logs, kept in a bounded ring in the kernel directory. */
#ifndef SCM_PLATFORM_EVENTLOGLIB_H
#define SCM_PLATFORM_EVENTLOGLIB_H

#include <stddef.h>
#include <stdint.h>

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

/*
 * "<kernel root>/scm%04u/event-log": a header of 32 bytes ("SCMEVLOG", version 1, record length 32 and the
 * capacity, each uint32 little-endian, 12 bytes reserved) followed by EVENT_LOG_CAPACITY records of 32 bytes:
 * sequence number (uint64, 1 for the first record ever written, 0 for a slot never used), monotonic time in
 * microseconds (uint64), the 11-byte event record as it goes to the runtime's event queue, 5 bytes of zeros.
 * Record n lies in slot (n - 1) modulo the capacity, so the log keeps the newest EVENT_LOG_CAPACITY events; it
 * outlives the process and continues after a restart. The writing process creates it with mode 0600 and
 * refuses one that is not a regular file of its own.
 */
#define EVENT_LOG_CAPACITY 256u
#define EVENT_LOG_EVENT_LENGTH 11u

    typedef struct
    {
        uint64_t sequence;
        uint64_t monotonicMicroseconds;
        uint8_t event[EVENT_LOG_EVENT_LENGTH];
    } EVENT_LOG_ENTRY;

    /**
     * Appends one event record (EVENT_LOG_EVENT_LENGTH bytes) to the log of the domain, stamped with the monotonic
     * clock. The log is opened (created when missing) at the first call and kept open for the life of the process;
     * later calls write one record and allocate nothing. Thread-safe. ERROR with errno: EINVAL for a bad domain,
     * length or null event, EBADF when the log is not a regular file owned by this process's user, EEXIST when
     * a call names another domain than the first, the file errors otherwise.
     */
    STATUS eventLogAppend(uint16_t safetyDomainNumber, const uint8_t* event, size_t length);

    /**
     * Reads the log of a domain: the used records, oldest first, at most maxEntries of them. Returns their number,
     * or -1 with errno (ENOENT when the domain has no log yet, EBADF for a file that is not a well-formed log).
     */
    int eventLogRead(uint16_t safetyDomainNumber, EVENT_LOG_ENTRY* entries, size_t maxEntries);

#ifdef __cplusplus
}
#endif

#endif
