/* The single entry point of the kernel's SCM services (system calls 128 to 149). */
#ifndef SCM_PLATFORM_SCMSYSCALL_H
#define SCM_PLATFORM_SCMSYSCALL_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

    /** Call numbers of the kernel's SCM services. */
    enum
    {
        SCM_SYSCALL_GET_USEC_COUNTER = 128,
        SCM_SYSCALL_GET_CPU_PRODUCT_CODE = 129,
        SCM_SYSCALL_GET_CPU_SERIAL_NUMBER = 130,
        SCM_SYSCALL_REQUEST_KEL_UDID = 131,
        SCM_SYSCALL_OPEN_STORAGE = 132,
        SCM_SYSCALL_CLOSE_STORAGE = 133,
        SCM_SYSCALL_GET_STORAGE_LENGTH = 134,
        SCM_SYSCALL_READ_STORAGE = 135,
        SCM_SYSCALL_WRITE_STORAGE = 136,
        SCM_SYSCALL_OPEN_CHANNEL = 137,
        SCM_SYSCALL_CLOSE_CHANNEL = 138,
        SCM_SYSCALL_RECEIVE_CHANNEL = 139,
        SCM_SYSCALL_SEND_CHANNEL = 140,
        SCM_SYSCALL_LOCK_RESET = 141,
        SCM_SYSCALL_UNLOCK_RESET = 142,
        SCM_SYSCALL_RESET = 143,
        SCM_SYSCALL_WAIT_FOR_CONDITION = 144,
        SCM_SYSCALL_SET_CONDITION = 145,
        SCM_SYSCALL_GET_KEL_FAIL_SAFE_STATE = 146,
        SCM_SYSCALL_RESET_PLC = 147,
        SCM_SYSCALL_READ_KEL_FLASH_FILE = 148,
        SCM_SYSCALL_WRITE_KEL_FLASH_FILE = 149,
        /* Of the emulated kernel only: clears a condition of the domain (missing: no error). */
        SCM_SYSCALL_CLEAR_CONDITION = 150
    };

    typedef intptr_t ScmSyscallArgument;

    /**
     * Performs kernel service callNumber with eight argument words: the service's arguments in order, then
     * pointers for its out-values, padded with zeros. Returns the service's result; -1 is failure. Call numbers
     * outside 128 to 149, and the unused services (channels, 143, 146, 149), give -1 with errno ENOSYS.
     * Blocking: only SCM_SYSCALL_WAIT_FOR_CONDITION blocks (until the condition is set). On Linux the services
     * are emulated over files of a kernel directory shared by all processes (scmKernelEmulation.h).
     */
    int ScmSyscall(ScmSyscallArgument argument1, ScmSyscallArgument argument2, ScmSyscallArgument argument3,
                   ScmSyscallArgument argument4, ScmSyscallArgument argument5, ScmSyscallArgument argument6,
                   ScmSyscallArgument argument7, ScmSyscallArgument argument8, int callNumber);

#ifdef __cplusplus
}
#endif

#endif
