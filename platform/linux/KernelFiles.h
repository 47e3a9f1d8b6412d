// Paths and small-file helpers of the emulated kernel: root, domain directories, safe opens, atomic replacement.
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
/// ".<name>.<16 hexadecimal digits>": the longest temporary name beside a file of the kernel directory.
constexpr std::size_t TemporaryNameLengthMax = StorageNameLengthMax + 20u;

/// Modes that the emulated kernel gives what it creates, whatever the umask.
constexpr mode_t KernelFileMode = 0640;
constexpr mode_t CheckerCopyMode = 0600;
constexpr mode_t ScmStorageMode = 0660;

/// Formats into buffer; false with errno ENAMETOOLONG when it does not fit.
bool FormatText(char* buffer, std::size_t length, const char* format, ...) __attribute__((format(printf, 3, 4)));

/// The kernel root: SCM_KERNEL_ROOT, else the default root.
bool GetKernelRoot(char* buffer, std::size_t length);

/// "<root>/scm%04u" or "<root>/scm%04u/<entry>"; false with EINVAL for a domain outside 1 to 1023.
bool GetDomainPath(std::uint16_t domain, const char* entry, char* buffer, std::size_t length);

/// A descriptor of the domain's directory (folder null) or of one of its folders ("storage", "conditions",
/// "kel-flash"), opened without following a symbolic link at either step, or -1 with errno: ENOENT for a
/// missing domain or folder, EINVAL for a domain outside 1 to 1023, EPERM for a domain directory that is not
/// owned by root or by the process's user or that its group or others may write (it decides which file is
/// which). The caller closes it.
int OpenDomainDirectory(std::uint16_t domain, const char* folder);

/// RAII form of OpenDomainDirectory.
class CDomainDirectory
{
public:
    CDomainDirectory(std::uint16_t domain, const char* folder) : m_descriptor(OpenDomainDirectory(domain, folder)) {}
    ~CDomainDirectory();
    CDomainDirectory(const CDomainDirectory&) = delete;
    CDomainDirectory& operator=(const CDomainDirectory&) = delete;

    bool IsOpen() const
    {
        return m_descriptor >= 0;
    }
    int Get() const
    {
        return m_descriptor;
    }

private:
    int m_descriptor;
};

/// True when the domain's directory can be opened as OpenDomainDirectory does; else false with its errno.
bool CheckDomainExists(std::uint16_t domain);

/// The domain of the services that carry none: the one set for the process, else "SafetyDomainNumber"; 0 when
/// there is none.
std::uint16_t GetProcessDomain();
void SetProcessDomain(std::uint16_t domain);

/// True for a storage name that maps to one file of the storage folder.
bool IsValidStorageName(const char* name);

/// The mode of a storage: the checker's copies ("*.chk") are its own, every other storage is shared with the
/// checker through the storage folder's group.
mode_t GetStorageMode(const char* name);

/// Opens name in directory as a regular file: never through a symbolic link (ELOOP), never blocking on a FIFO
/// or device, and EINVAL for anything but a regular file. flags adds the access mode and O_CREAT and the like;
/// a created file gets mode explicitly. -1 with errno on failure.
int OpenRegularFileAt(int directory, const char* name, int flags, mode_t mode);

/// Reads up to length bytes of the regular file name in directory into buffer; returns the number copied and,
/// in fileLength, the file's whole length. -1 with errno on failure (ENOENT only for a missing file).
ssize_t ReadFileAt(int directory, const char* name, void* buffer, std::size_t length, std::size_t* fileLength);

/// ReadFileAt for a path (directory and name resolved by the OS, the last step not through a symbolic link).
ssize_t ReadFileInto(const char* path, void* buffer, std::size_t length, std::size_t* fileLength);

/// Creates a new, empty file beside name in directory under a name that nobody can predict (O_EXCL, never
/// through a symbolic link), with the given mode whatever the umask; writes the chosen name into
/// temporaryName. Returns its descriptor, opened for writing, or -1 with errno.
int CreateTemporaryFileAt(int directory, const char* name, mode_t mode, char (&temporaryName)[TemporaryNameLengthMax]);

/// Replaces the file name in directory with data: written to a temporary file beside it, flushed and renamed
/// over it; the directory is flushed after. The file gets mode whatever the umask.
bool WriteFileAtomicallyAt(int directory, const char* name, const void* data, std::size_t length, mode_t mode);

/// Parses decimal or 0x-hexadecimal text (surrounding white space allowed) no greater than max.
bool ParseUnsignedText(const char* text, std::uint64_t max, std::uint64_t* value);

/// Reads a small regular file holding one unsigned number no greater than max (EINVAL when it holds none).
bool ReadUnsignedFileAt(int directory, const char* name, std::uint64_t max, std::uint64_t* value);
bool ReadUnsignedFile(const char* path, std::uint64_t max, std::uint64_t* value);

/// Removes a directory tree without following symbolic links; a missing one is no error.
bool RemoveTree(const char* path);
} // namespace Platform

#endif
