// Kernel service wrappers: arguments in order, then out-value pointers, padded to eight words.
#include "Scm/ScmKernel.h"

#include <cerrno>
#include <cstdlib>
#include <strings.h>

#include "scmSyscall.h"

namespace
{
using Arg = ScmSyscallArgument;

int Call(int number, Arg a1 = 0, Arg a2 = 0, Arg a3 = 0, Arg a4 = 0, Arg a5 = 0, Arg a6 = 0, Arg a7 = 0, Arg a8 = 0)
{
    return ScmSyscall(a1, a2, a3, a4, a5, a6, a7, a8, number);
}

template <typename T> Arg Pointer(T* pointer)
{
    return reinterpret_cast<Arg>(pointer);
}

bool IsOptionalStorage(const char* storageName)
{
    return (storageName != nullptr) &&
           ((strcasecmp(storageName, "pardata1.bin") == 0) || (strcasecmp(storageName, "emodata1.bin") == 0));
}
} // namespace

extern "C" uint64_t ScmGetUSecCounter(void)
{
    uint32_t low = 0u;
    uint32_t high = 0u;
    if (Call(SCM_SYSCALL_GET_USEC_COUNTER, Pointer(&low), Pointer(&high)) == -1)
    {
        return 0u;
    }
    return (static_cast<uint64_t>(high) << 32) | low;
}

extern "C" uint32_t ScmGetCpuProductCode(void)
{
    uint32_t value = 0u;
    return (Call(SCM_SYSCALL_GET_CPU_PRODUCT_CODE, Pointer(&value)) == -1) ? 0u : value;
}

extern "C" uint32_t ScmGetCpuSerialNumber(void)
{
    uint32_t value = 0u;
    return (Call(SCM_SYSCALL_GET_CPU_SERIAL_NUMBER, Pointer(&value)) == -1) ? 0u : value;
}

extern "C" int32_t ScmRequestKelUdid(uint16_t safetyDomainNumber, uint8_t* udid)
{
    return (Call(SCM_SYSCALL_REQUEST_KEL_UDID, safetyDomainNumber, Pointer(udid)) == -1) ? -1 : 0;
}

extern "C" int32_t ScmOpenStorage(uint16_t safetyDomainNumber, const char* storageName, ScmOpenStorageMode mode)
{
    int32_t handle = -1;
    if (Call(SCM_SYSCALL_OPEN_STORAGE, safetyDomainNumber, Pointer(storageName), mode, Pointer(&handle)) == -1)
    {
        // Only absence reads as empty: any other failure (I/O error, no space, refused access) stays a failure.
        return ((errno == ENOENT) && IsOptionalStorage(storageName)) ? SCM_ABSENT_OPTIONAL_STORAGE_HANDLE : -1;
    }
    return handle;
}

extern "C" int32_t ScmCloseStorage(int32_t handle)
{
    if (handle == SCM_ABSENT_OPTIONAL_STORAGE_HANDLE)
    {
        return 0;
    }
    return (Call(SCM_SYSCALL_CLOSE_STORAGE, handle) == -1) ? -1 : 0;
}

extern "C" int32_t ScmGetStorageLength(int32_t handle)
{
    if (handle == SCM_ABSENT_OPTIONAL_STORAGE_HANDLE)
    {
        return 0;
    }
    int32_t length = -1;
    return (Call(SCM_SYSCALL_GET_STORAGE_LENGTH, handle, Pointer(&length)) == -1) ? -1 : length;
}

extern "C" int32_t ScmReadStorage(int32_t handle, uint32_t dataLength, void* dataBuffer)
{
    if (handle == SCM_ABSENT_OPTIONAL_STORAGE_HANDLE)
    {
        return 0;
    }
    int32_t count = -1;
    return (Call(SCM_SYSCALL_READ_STORAGE, handle, dataLength, Pointer(dataBuffer), Pointer(&count)) == -1) ? -1
                                                                                                            : count;
}

extern "C" int32_t ScmWriteStorage(int32_t handle, uint32_t dataLength, const void* data)
{
    if (handle == SCM_ABSENT_OPTIONAL_STORAGE_HANDLE)
    {
        return -1;
    }
    int32_t count = -1;
    return (Call(SCM_SYSCALL_WRITE_STORAGE, handle, dataLength, Pointer(data), Pointer(&count)) == -1) ? -1 : count;
}

extern "C" int32_t ScmLockReset(uint16_t safetyDomainNumber)
{
    return (Call(SCM_SYSCALL_LOCK_RESET, safetyDomainNumber) == -1) ? -1 : 0;
}

extern "C" int32_t ScmUnlockReset(uint16_t safetyDomainNumber)
{
    return (Call(SCM_SYSCALL_UNLOCK_RESET, safetyDomainNumber) == -1) ? -1 : 0;
}

extern "C" int32_t ScmWaitForCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t* information)
{
    return (Call(SCM_SYSCALL_WAIT_FOR_CONDITION, safetyDomainNumber, condition, Pointer(information)) == -1) ? -1 : 0;
}

extern "C" int32_t ScmSetCondition(uint16_t safetyDomainNumber, uint32_t condition, uint32_t information)
{
    return (Call(SCM_SYSCALL_SET_CONDITION, safetyDomainNumber, condition, information) == -1) ? -1 : 0;
}

extern "C" int32_t ScmClearCondition(uint16_t safetyDomainNumber, uint32_t condition)
{
    return (Call(SCM_SYSCALL_CLEAR_CONDITION, safetyDomainNumber, condition) == -1) ? -1 : 0;
}

extern "C" void ScmResetPlc(uint32_t mode)
{
    (void)Call(SCM_SYSCALL_RESET_PLC, mode);
}

extern "C" int32_t ScmReadKelFlashFile(uint16_t safetyDomainNumber, uint32_t fileNumber, uint32_t timeout_us,
                                       uint32_t dataLengthMax, void* pData)
{
    int32_t result = -1;
    if (Call(SCM_SYSCALL_READ_KEL_FLASH_FILE, safetyDomainNumber, fileNumber, timeout_us, dataLengthMax, Pointer(pData),
             Pointer(&result)) == -1)
    {
        return -1;
    }
    return result;
}

extern "C" uint16_t ScmGetSafetyDomainNumberFromEnvironment(const char* key)
{
    if (key == nullptr)
    {
        return 0u;
    }
    const char* value = std::getenv(key);
    if ((value == nullptr) || (*value == '\0'))
    {
        return 0u;
    }
    uint32_t number = 0u;
    for (const char* p = value; *p != '\0'; ++p)
    {
        if ((*p < '0') || (*p > '9'))
        {
            return 0u;
        }
        number = number * 10u + static_cast<uint32_t>(*p - '0');
        if (number > 1023u)
        {
            return 0u; // also keeps long digit strings from overflowing
        }
    }
    return (number >= 1u) ? static_cast<uint16_t>(number) : 0u;
}
