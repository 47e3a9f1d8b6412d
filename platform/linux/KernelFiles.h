// Paths and small-file helpers of the emulated kernel: root, domain directories, atomic replacement.
#ifndef SCM_PLATFORM_LINUX_KERNELFILES_H
#define SCM_PLATFORM_LINUX_KERNELFILES_H

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include "scmKernelEmulation.h"

namespace Platform
{
constexpr std::size_t KernelPathLengthMax = SCM_KERNEL_PATH_LENGTH_MAX;
constexpr std::uint16_t SafetyDomainNumberMax = 1023u;
constexpr std::size_t StorageNameLengthMax = 64u;

/// Formats into buffer; false with errno ENAMETOOLONG when it does not fit.
bool FormatText(char* buffer, std::size_t length, const char* format, ...) __attribute__((format(printf, 3, 4)));

/// The kernel root: SCM_KERNEL_ROOT, else the default root.
bool GetKernelRoot(char* buffer, std::size_t length);

/// "<root>/scm%04u" or "<root>/scm%04u/<entry>"; false with EINVAL for a domain outside 1 to 1023.
bool GetDomainPath(std::uint16_t domain, const char* entry, char* buffer, std::size_t length);

/// True when the domain's directory exists; else false with errno ENOENT (or EINVAL for a bad domain).
bool CheckDomainExists(std::uint16_t domain);

/// The domain of the services that carry none: the one set for the process, else "SafetyDomainNumber"; 0 when
/// there is none.
std::uint16_t GetProcessDomain();
void SetProcessDomain(std::uint16_t domain);

/// True for a storage name that maps to one file of the storage folder.
bool IsValidStorageName(const char* name);

/// Reads up to length bytes of the file at path into buffer; returns the number copied and, in fileLength, the
/// file's whole length. -1 with errno on failure.
ssize_t ReadFileInto(const char* path, void* buffer, std::size_t length, std::size_t* fileLength);

/// Replaces the file at path with data: written to a temporary file beside it, flushed and renamed over it.
bool WriteFileAtomically(const char* path, const void* data, std::size_t length);

/// Flushes the directory that holds path, so that a rename in it survives a crash.
void SyncParentDirectory(const char* path);

/// A unique temporary name beside path ("<dir>/.<base>.tmp.<pid>.<n>").
bool GetTemporaryPath(const char* path, char* buffer, std::size_t length);

/// Parses decimal or 0x-hexadecimal text (surrounding white space allowed) no greater than max.
bool ParseUnsignedText(const char* text, std::uint64_t max, std::uint64_t* value);

/// Reads a small text file holding one unsigned number no greater than max.
bool ReadUnsignedFile(const char* path, std::uint64_t max, std::uint64_t* value);

/// Removes a directory tree; a missing one is no error.
bool RemoveTree(const char* path);
} // namespace Platform

#endif
