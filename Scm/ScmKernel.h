/* Wrappers of the kernel's SCM services of a safety domain (system calls 128 to 149). */
#ifndef SCM_SCMKERNEL_H
#define SCM_SCMKERNEL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

    /** Storage open modes: the characters 'r' and 'w'. */
    typedef enum ScmOpenStorageMode
    {
        ScmReadStorageMode = 114,
        ScmWriteStorageMode = 119
    } ScmOpenStorageMode;

    /** Kernel conditions through which runtime, checker and SCM hand over at start-up. */
    typedef enum ScmCondition
    {
        ScmStarted = 0,
        ScmCheckerInitialized = 1,
        ScmScmInitialized = 2
    } ScmCondition;

/** Handle that ScmOpenStorage gives for an absent optional storage ("pardata1.bin", "emodata1.bin"). */
#define SCM_ABSENT_OPTIONAL_STORAGE_HANDLE 64254

/** PLC reset mode used when the unlock deadline has passed. */
#define SCM_RESET_PLC_MODE_UNLOCK_TIMEOUT 32u

    /** Microseconds of a monotonic counter (low 32 bits wrap steadily); 0 on failure. */
    uint64_t ScmGetUSecCounter(void);
    /** Product code of the CPU; 0 on failure. */
    uint32_t ScmGetCpuProductCode(void);
    /** Serial number of the CPU; 0 on failure. */
    uint32_t ScmGetCpuSerialNumber(void);
    /** Fills 6 bytes at udid with the Kel UDID of the safety controller; 0, or -1 on failure. */
    int32_t ScmRequestKelUdid(uint16_t safetyDomainNumber, uint8_t* udid);

    /**
     * Opens the named storage of the domain. Returns a handle, or -1 on failure (errno says why); 64254 instead
     * when "pardata1.bin" or "emodata1.bin" (compared without case) is absent (ENOENT): an absent optional file
     * reads as empty, while any other failure of it stays a failure.
     */
    int32_t ScmOpenStorage(uint16_t safetyDomainNumber, const char* storageName, ScmOpenStorageMode mode);
    /** 0, or -1 on failure; 0 without a call for handle 64254. */
    int32_t ScmCloseStorage(int32_t handle);
    /** Content length, or -1; 0 without a call for handle 64254. */
    int32_t ScmGetStorageLength(int32_t handle);
    /** Bytes read, or -1; 0 without a call for handle 64254. */
    int32_t ScmReadStorage(int32_t handle, uint32_t dataLength, void* dataBuffer);
    /** Bytes written, or -1; -1 without a call for handle 64254. */
    int32_t ScmWriteStorage(int32_t handle, uint32_t dataLength, const void* data);

    /** Keeps the PLC from being reset (counted); 0 or -1. */
    int32_t ScmLockReset(uint16_t safetyDomainNumber);
    /** Releases one reset lock; 0 or -1. */
    int32_t ScmUnlockReset(uint16_t safetyDomainNumber);
    /** Blocks until the condition is set for the domain and delivers the setter's information; 0 or -1. */
    int32_t ScmWaitForCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t* information);
    /** Sets the condition for the domain with the given information; 0 or -1. */
    int32_t ScmSetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t information);
    /** Clears the condition for the domain (one that is not set is no error); 0 or -1. */
    int32_t ScmClearCondition(uint16_t safetyDomainNumber, uint32_t condition);
    /** Resets the PLC in the given mode. */
    void ScmResetPlc(uint32_t mode);
    /** Reads a flash file of the safety controller; the number of bytes read, or -1. */
    int32_t ScmReadKelFlashFile(uint16_t safetyDomainNumber, uint32_t fileNumber, uint32_t timeout_us,
                                uint32_t dataLengthMax, void* pData);

    /**
     * The safety domain number held by an environment variable: 0 for a null key, an unset variable, a value
     * that is not an unsigned decimal number, or a number outside 1 to 1023. No system call.
     */
    uint16_t ScmGetSafetyDomainNumberFromEnvironment(const char* key);

#ifdef __cplusplus
}
#endif

#endif
