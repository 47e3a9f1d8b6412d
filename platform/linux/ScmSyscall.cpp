// The single entry point of the kernel's SCM services: unpacks the argument words and dispatches.
#include <cerrno>
#include <cstdint>

#include "CStorageTable.h"
#include "KernelServices.h"
#include "PlatformErrors.h"
#include "PlatformHooks.h"
#include "scmSyscall.h"

namespace
{
using Platform::Fail;

template <typename T> T* ToPointer(ScmSyscallArgument argument)
{
    return reinterpret_cast<T*>(argument);
}

// Domain numbers, handles and lengths travel as argument words; a value that does not fit its type is no
// domain, handle or length.
bool ToDomain(ScmSyscallArgument argument, std::uint16_t& domain)
{
    if ((argument < 0) || (argument > UINT16_MAX))
    {
        return false;
    }
    domain = static_cast<std::uint16_t>(argument);
    return true;
}

bool ToUnsigned32(ScmSyscallArgument argument, std::uint32_t& value)
{
    // Wrappers pass uint32 values, which an intptr_t holds unchanged; a negative word can only be a fault.
    if ((argument < 0) || (static_cast<std::uintptr_t>(argument) > UINT32_MAX))
    {
        return false;
    }
    value = static_cast<std::uint32_t>(argument);
    return true;
}

bool ToHandle(ScmSyscallArgument argument, std::int32_t& handle)
{
    if ((argument < INT32_MIN) || (argument > INT32_MAX))
    {
        return false;
    }
    handle = static_cast<std::int32_t>(argument);
    return true;
}

int GetUSecCounter(ScmSyscallArgument lowArgument, ScmSyscallArgument highArgument)
{
    auto* low = ToPointer<std::uint32_t>(lowArgument);
    auto* high = ToPointer<std::uint32_t>(highArgument);
    if ((low == nullptr) || (high == nullptr))
    {
        return Fail(EFAULT);
    }
    const std::uint64_t microseconds = Platform::GetMicroseconds();
    *low = static_cast<std::uint32_t>(microseconds);
    *high = static_cast<std::uint32_t>(microseconds >> 32);
    return OK;
}

int Dispatch(const ScmSyscallArgument (&a)[8], int callNumber)
{
    Platform::CStorageTable& storage = Platform::CStorageTable::GetInstance();
    std::uint16_t domain = 0u;
    std::uint32_t value = 0u;
    std::uint32_t length = 0u;
    std::int32_t handle = 0;
    switch (callNumber)
    {
    case SCM_SYSCALL_GET_USEC_COUNTER:
        return GetUSecCounter(a[0], a[1]);
    case SCM_SYSCALL_GET_CPU_PRODUCT_CODE:
        return Platform::GetCpuProductCode(ToPointer<std::uint32_t>(a[0]));
    case SCM_SYSCALL_GET_CPU_SERIAL_NUMBER:
        return Platform::GetCpuSerialNumber(ToPointer<std::uint32_t>(a[0]));
    case SCM_SYSCALL_REQUEST_KEL_UDID:
        return ToDomain(a[0], domain) ? Platform::RequestKelUdid(domain, ToPointer<std::uint8_t>(a[1])) : Fail(EINVAL);
    case SCM_SYSCALL_OPEN_STORAGE:
        return (ToDomain(a[0], domain) && ToHandle(a[2], handle))
                   ? storage.Open(domain, ToPointer<const char>(a[1]), handle, ToPointer<std::int32_t>(a[3]))
                   : Fail(EINVAL);
    case SCM_SYSCALL_CLOSE_STORAGE:
        return ToHandle(a[0], handle) ? storage.Close(handle) : Fail(EBADF);
    case SCM_SYSCALL_GET_STORAGE_LENGTH:
        return ToHandle(a[0], handle) ? storage.GetLength(handle, ToPointer<std::int32_t>(a[1])) : Fail(EBADF);
    case SCM_SYSCALL_READ_STORAGE:
        return (ToHandle(a[0], handle) && ToUnsigned32(a[1], length))
                   ? storage.Read(handle, length, ToPointer<void>(a[2]), ToPointer<std::int32_t>(a[3]))
                   : Fail(EINVAL);
    case SCM_SYSCALL_WRITE_STORAGE:
        return (ToHandle(a[0], handle) && ToUnsigned32(a[1], length))
                   ? storage.Write(handle, length, ToPointer<const void>(a[2]), ToPointer<std::int32_t>(a[3]))
                   : Fail(EINVAL);
    case SCM_SYSCALL_LOCK_RESET:
        return ToDomain(a[0], domain) ? Platform::LockReset(domain) : Fail(EINVAL);
    case SCM_SYSCALL_UNLOCK_RESET:
        return ToDomain(a[0], domain) ? Platform::UnlockReset(domain) : Fail(EINVAL);
    case SCM_SYSCALL_WAIT_FOR_CONDITION:
        return (ToDomain(a[0], domain) && ToUnsigned32(a[1], value))
                   ? Platform::WaitForCondition(domain, value, -1, ToPointer<std::uint32_t>(a[2]))
                   : Fail(EINVAL);
    case SCM_SYSCALL_SET_CONDITION:
        return (ToDomain(a[0], domain) && ToUnsigned32(a[1], value) && ToUnsigned32(a[2], length))
                   ? Platform::SetCondition(domain, value, length)
                   : Fail(EINVAL);
    case SCM_SYSCALL_CLEAR_CONDITION:
        return (ToDomain(a[0], domain) && ToUnsigned32(a[1], value)) ? Platform::ClearCondition(domain, value)
                                                                     : Fail(EINVAL);
    case SCM_SYSCALL_RESET_PLC:
        return ToUnsigned32(a[0], value) ? Platform::ResetPlc(value) : Fail(EINVAL);
    case SCM_SYSCALL_READ_KEL_FLASH_FILE:
        // a[2] is the time-out in microseconds: the emulated flash answers at once.
        return (ToDomain(a[0], domain) && ToUnsigned32(a[1], value) && ToUnsigned32(a[3], length))
                   ? Platform::ReadKelFlashFile(domain, value, length, ToPointer<void>(a[4]),
                                                ToPointer<std::int32_t>(a[5]))
                   : Fail(EINVAL);
    default:
        // Channels (137 to 140), 143, 146 and 149 are not used by the checker; nothing outside 128 to 150 exists.
        return Fail(ENOSYS);
    }
}
} // namespace

extern "C" int ScmSyscall(ScmSyscallArgument argument1, ScmSyscallArgument argument2, ScmSyscallArgument argument3,
                          ScmSyscallArgument argument4, ScmSyscallArgument argument5, ScmSyscallArgument argument6,
                          ScmSyscallArgument argument7, ScmSyscallArgument argument8, int callNumber)
{
    const ScmSyscallArgument arguments[8] = {argument1, argument2, argument3, argument4,
                                             argument5, argument6, argument7, argument8};
    if ((callNumber >= Platform::FaultKernelServiceFirst) && (callNumber <= Platform::FaultKernelServiceLast) &&
        Platform::TryFail(callNumber))
    {
        const int error = errno;
        std::int32_t handle = 0;
        if ((callNumber == SCM_SYSCALL_WRITE_STORAGE) && ToHandle(argument1, handle))
        {
            // A write that failed leaves no half-written storage behind: its close discards the lot.
            Platform::CStorageTable::GetInstance().Spoil(handle);
        }
        errno = error;
        return -1;
    }
    return Dispatch(arguments, callNumber);
}
