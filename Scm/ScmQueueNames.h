/* Names of the fourteen message queues between runtime, checker and SCM of one safety domain. */
#ifndef SCM_SCMQUEUENAMES_H
#define SCM_SCMQUEUENAMES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

/** Size of the buffers that callers pass; the longest name has 25 characters. */
#define SCM_QUEUE_NAME_BUFFER_LENGTH 101

    /*
     * Each function writes the queue's name for the domain into nameBuffer (no length bound: the caller passes
     * SCM_QUEUE_NAME_BUFFER_LENGTH characters) and returns it; a domain outside 1 to 1023 or a null buffer gives
     * NULL and leaves the buffer untouched. Runtime-side names are "/scm%04u/<base>", SCM-side names
     * "/scm%04u/~<base>".
     */
    const char* ScmGetUnlockRequestQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetUnlockRequestQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetUnlockResponseQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetUnlockResponseQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetFrameQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetFrameQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetFrameQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetFrameQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetCommandQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetCommandQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetResponseQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetResponseQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetEventQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer);
    const char* ScmGetEventQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer);

    /** Signature shared by the fourteen functions. */
    typedef const char* (*ScmQueueNameFunction)(uint16_t safetyDomainNumber, char* nameBuffer);

#ifdef __cplusplus
}
#endif

#endif
