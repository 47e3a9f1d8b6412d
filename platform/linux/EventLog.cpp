// The domain's event log: a ring of fixed records in the kernel directory, written with one pwrite per event.
#include "eventLogLib.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "scmKernelEmulation.h"

namespace
{
constexpr char Magic[8] = {'S', 'C', 'M', 'E', 'V', 'L', 'O', 'G'};
constexpr std::uint32_t Version = 1u;
constexpr std::size_t HeaderLength = 32u;
constexpr std::size_t RecordLength = 32u;
constexpr std::size_t FileLength = HeaderLength + EVENT_LOG_CAPACITY * RecordLength;
constexpr std::size_t PathLengthMax = 4096u;
static_assert(RecordLength >= 16u + EVENT_LOG_EVENT_LENGTH, "a record holds sequence, time and event");

void PutUInt32(std::uint8_t* bytes, std::uint32_t value)
{
    for (std::size_t i = 0u; i < 4u; ++i)
    {
        bytes[i] = static_cast<std::uint8_t>(value >> (8u * i));
    }
}

void PutUInt64(std::uint8_t* bytes, std::uint64_t value)
{
    for (std::size_t i = 0u; i < 8u; ++i)
    {
        bytes[i] = static_cast<std::uint8_t>(value >> (8u * i));
    }
}

std::uint64_t GetUInt64(const std::uint8_t* bytes)
{
    std::uint64_t value = 0u;
    for (std::size_t i = 8u; i > 0u; --i)
    {
        value = (value << 8u) | bytes[i - 1u];
    }
    return value;
}

std::array<std::uint8_t, HeaderLength> BuildHeader()
{
    std::array<std::uint8_t, HeaderLength> header{};
    std::memcpy(header.data(), Magic, sizeof Magic);
    PutUInt32(header.data() + 8u, Version);
    PutUInt32(header.data() + 12u, static_cast<std::uint32_t>(RecordLength));
    PutUInt32(header.data() + 16u, EVENT_LOG_CAPACITY);
    return header;
}

bool ReadExactly(int descriptor, void* buffer, std::size_t length, off_t offset)
{
    return pread(descriptor, buffer, length, offset) == static_cast<ssize_t>(length);
}

bool WriteExactly(int descriptor, const void* buffer, std::size_t length, off_t offset)
{
    return pwrite(descriptor, buffer, length, offset) == static_cast<ssize_t>(length);
}

// A log file is only ever a regular file; a link, FIFO or device put in its place is refused, not followed.
int OpenLog(std::uint16_t domain, int flags)
{
    char path[PathLengthMax];
    if (scmKernelGetDomainPath(domain, "event-log", path, sizeof path) != 0)
    {
        return -1;
    }
    const int descriptor = open(path, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (descriptor < 0)
    {
        if (errno == ELOOP)
        {
            errno = EBADF;
        }
        return -1;
    }
    struct stat status = {};
    if ((fstat(descriptor, &status) != 0) || !S_ISREG(status.st_mode))
    {
        (void)close(descriptor);
        errno = EBADF;
        return -1;
    }
    return descriptor;
}

bool IsWellFormed(int descriptor)
{
    std::array<std::uint8_t, HeaderLength> header{};
    const std::array<std::uint8_t, HeaderLength> expected = BuildHeader();
    struct stat status = {};
    return (fstat(descriptor, &status) == 0) && (static_cast<std::size_t>(status.st_size) == FileLength) &&
           ReadExactly(descriptor, header.data(), header.size(), 0) &&
           (std::memcmp(header.data(), expected.data(), 20u) == 0);
}

std::uint64_t GetSequence(int descriptor, std::size_t slot)
{
    std::uint8_t bytes[8] = {};
    if (!ReadExactly(descriptor, bytes, sizeof bytes, static_cast<off_t>(HeaderLength + slot * RecordLength)))
    {
        return 0u;
    }
    return GetUInt64(bytes);
}

// The writer's state: opened once, then one record per event under the lock.
class CEventLog
{
public:
    STATUS Append(std::uint16_t domain, const std::uint8_t* event, std::size_t length)
    {
        if ((event == nullptr) || (length != EVENT_LOG_EVENT_LENGTH))
        {
            errno = EINVAL;
            return ERROR;
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        if ((m_descriptor < 0) && !Open(domain))
        {
            return ERROR;
        }
        if (domain != m_domain)
        {
            errno = EEXIST;
            return ERROR;
        }
        struct timespec now = {};
        (void)clock_gettime(CLOCK_MONOTONIC, &now);
        std::uint8_t record[RecordLength] = {};
        PutUInt64(record, m_nextSequence);
        PutUInt64(record + 8u,
                  static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u);
        std::memcpy(record + 16u, event, EVENT_LOG_EVENT_LENGTH);
        const std::size_t slot = static_cast<std::size_t>((m_nextSequence - 1u) % EVENT_LOG_CAPACITY);
        if (!WriteExactly(m_descriptor, record, sizeof record, static_cast<off_t>(HeaderLength + slot * RecordLength)))
        {
            return ERROR;
        }
        ++m_nextSequence;
        return OK;
    }

private:
    bool Open(std::uint16_t domain)
    {
        const int descriptor = OpenLog(domain, O_RDWR | O_CREAT);
        if (descriptor < 0)
        {
            return false;
        }
        struct stat status = {};
        if ((fstat(descriptor, &status) != 0) || (status.st_uid != geteuid()))
        {
            (void)close(descriptor);
            errno = EBADF;
            return false;
        }
        // A new or foreign file is made a fresh, empty log; a log of ours continues after its newest record.
        if (!IsWellFormed(descriptor))
        {
            const std::array<std::uint8_t, HeaderLength> header = BuildHeader();
            if ((ftruncate(descriptor, 0) != 0) || (ftruncate(descriptor, static_cast<off_t>(FileLength)) != 0) ||
                !WriteExactly(descriptor, header.data(), header.size(), 0) || (fchmod(descriptor, 0600) != 0))
            {
                (void)close(descriptor);
                return false;
            }
        }
        std::uint64_t newest = 0u;
        for (std::size_t slot = 0u; slot < EVENT_LOG_CAPACITY; ++slot)
        {
            newest = std::max(newest, GetSequence(descriptor, slot));
        }
        m_descriptor = descriptor;
        m_domain = domain;
        m_nextSequence = newest + 1u;
        return true;
    }

    std::mutex m_mutex;
    int m_descriptor = -1;
    std::uint16_t m_domain = 0u;
    std::uint64_t m_nextSequence = 1u;
};

// Constant-initialised with a trivial destructor: usable from the first static constructor to the last task.
CEventLog eventLog;
} // namespace

extern "C" STATUS eventLogAppend(uint16_t safetyDomainNumber, const uint8_t* event, size_t length)
{
    return eventLog.Append(safetyDomainNumber, event, length);
}

extern "C" int eventLogRead(uint16_t safetyDomainNumber, EVENT_LOG_ENTRY* entries, size_t maxEntries)
{
    if ((entries == nullptr) && (maxEntries != 0u))
    {
        errno = EINVAL;
        return -1;
    }
    const int descriptor = OpenLog(safetyDomainNumber, O_RDONLY);
    if (descriptor < 0)
    {
        return -1;
    }
    if (!IsWellFormed(descriptor))
    {
        (void)close(descriptor);
        errno = EBADF;
        return -1;
    }
    std::array<EVENT_LOG_ENTRY, EVENT_LOG_CAPACITY> all{};
    std::size_t used = 0u;
    for (std::size_t slot = 0u; slot < EVENT_LOG_CAPACITY; ++slot)
    {
        std::uint8_t record[RecordLength] = {};
        if (!ReadExactly(descriptor, record, sizeof record, static_cast<off_t>(HeaderLength + slot * RecordLength)))
        {
            (void)close(descriptor);
            errno = EBADF;
            return -1;
        }
        const std::uint64_t sequence = GetUInt64(record);
        if (sequence != 0u)
        {
            all[used].sequence = sequence;
            all[used].monotonicMicroseconds = GetUInt64(record + 8u);
            std::memcpy(all[used].event, record + 16u, EVENT_LOG_EVENT_LENGTH);
            ++used;
        }
    }
    (void)close(descriptor);
    std::sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(used),
              [](const EVENT_LOG_ENTRY& left, const EVENT_LOG_ENTRY& right) { return left.sequence < right.sequence; });
    // The newest maxEntries, oldest first.
    const std::size_t count = std::min(used, maxEntries);
    std::copy(all.begin() + static_cast<std::ptrdiff_t>(used - count), all.begin() + static_cast<std::ptrdiff_t>(used),
              entries);
    return static_cast<int>(count);
}
