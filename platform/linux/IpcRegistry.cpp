// The record of created queues and semaphores that lets test isolation remove them all afterwards.
#include "IpcRegistry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mqueue.h>
#include <semaphore.h>
#include <unistd.h>

#include "CIpcName.h"
#include "KernelFiles.h"
#include "scmKernelEmulation.h"

namespace Platform
{
namespace
{
constexpr std::size_t LineLengthMax = CIpcName::ms_LengthMax + 3u;

void RemoveRegisteredObject(const char* line, std::size_t length)
{
    if ((length < 3u) || (line[1] != ' ') || (length > LineLengthMax))
    {
        return;
    }
    char name[LineLengthMax + 1u];
    std::memcpy(name, line + 2, length - 2u);
    name[length - 2u] = '\0';
    if (line[0] == RegistryQueue)
    {
        (void)mq_unlink(name);
    }
    else if (line[0] == RegistrySemaphore)
    {
        (void)sem_unlink(name);
    }
}
} // namespace

void RegisterCreatedIpcObject(char kind, const char* posixName)
{
    const char* registry = std::getenv("SCM_IPC_REGISTRY");
    if ((registry == nullptr) || (*registry == '\0'))
    {
        return;
    }
    char line[LineLengthMax + 2u];
    if (!FormatText(line, sizeof(line), "%c %s\n", kind, posixName))
    {
        return;
    }
    const int descriptor = open(registry, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
    {
        return;
    }
    // One write of a short line with O_APPEND: lines of processes that create at once never mix. A lost line
    // only leaves an object for the isolation's stale sweep.
    const ssize_t written = write(descriptor, line, std::strlen(line));
    (void)written;
    (void)close(descriptor);
}
} // namespace Platform

extern "C" int scmKernelRemoveRegisteredIpc(const char* registryPath)
{
    if (registryPath == nullptr)
    {
        errno = EINVAL;
        return -1;
    }
    const int descriptor = open(registryPath, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
    {
        return (errno == ENOENT) ? 0 : -1;
    }
    char chunk[1024];
    char line[Platform::LineLengthMax + 1u];
    std::size_t lineLength = 0u;
    bool overlong = false;
    for (;;)
    {
        const ssize_t count = read(descriptor, chunk, sizeof(chunk));
        if ((count < 0) && (errno == EINTR))
        {
            continue;
        }
        if (count <= 0)
        {
            break;
        }
        for (ssize_t i = 0; i < count; ++i)
        {
            const char c = chunk[i];
            if (c == '\n')
            {
                if (!overlong)
                {
                    Platform::RemoveRegisteredObject(line, lineLength);
                }
                lineLength = 0u;
                overlong = false;
            }
            else if (lineLength < sizeof(line))
            {
                line[lineLength] = c;
                ++lineLength;
            }
            else
            {
                overlong = true;
            }
        }
    }
    (void)close(descriptor);
    return 0;
}
