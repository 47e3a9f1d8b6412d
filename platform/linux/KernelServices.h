// The emulated kernel's services other than storage: identity, conditions, reset lock, PLC reset, flash.
#ifndef SCM_PLATFORM_LINUX_KERNELSERVICES_H
#define SCM_PLATFORM_LINUX_KERNELSERVICES_H

#include <cstddef>
#include <cstdint>

namespace Platform
{
/// Each returns 0, or -1 with errno; out-pointers are checked (EFAULT).
int GetCpuProductCode(std::uint32_t* value);
int GetCpuSerialNumber(std::uint32_t* value);
int RequestKelUdid(std::uint16_t domain, std::uint8_t* udid);
int LockReset(std::uint16_t domain);
int UnlockReset(std::uint16_t domain);
int GetResetLockCount(std::uint16_t domain, std::uint32_t* count);
int SetCondition(std::uint16_t domain, std::uint32_t condition, std::uint32_t information);
/// Non-blocking: 0 with the information when set, -1 with ENOENT when not.
/// Clears the condition (a condition that is not set is no error).
int ClearCondition(std::uint16_t domain, std::uint32_t condition);
int GetCondition(std::uint16_t domain, std::uint32_t condition, std::uint32_t* information);
/// Blocks until set; timeoutMilliseconds < 0 waits without limit (ETIMEDOUT otherwise). Polls the condition's
/// file: conditions are few and set once per start, so a short poll costs nothing that matters.
int WaitForCondition(std::uint16_t domain, std::uint32_t condition, int timeoutMilliseconds,
                     std::uint32_t* information);
/// Records a PLC reset of the process's domain.
int ResetPlc(std::uint32_t mode);
/// Copies at most dataLengthMax bytes of flash file fileNumber and gives the file's whole length in result.
int ReadKelFlashFile(std::uint16_t domain, std::uint32_t fileNumber, std::uint32_t dataLengthMax, void* data,
                     std::int32_t* result);
} // namespace Platform

#endif
