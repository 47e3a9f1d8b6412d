// The clocks under test control: system clocks plus shifts, or frozen readings.
#include "CControlledClock.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "KernelFiles.h"

namespace Platform
{
namespace
{
constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::int64_t NanosecondsPerMicrosecond = 1000;
// Shifts beyond a century are refused: they would overflow the nanosecond arithmetic.
constexpr std::uint64_t ShiftMicrosecondsMax = 3155760000000000u;

std::int64_t ToNanoseconds(const timespec& value)
{
    return static_cast<std::int64_t>(value.tv_sec) * NanosecondsPerSecond + value.tv_nsec;
}

timespec ToTimespec(std::int64_t nanoseconds)
{
    timespec value{};
    value.tv_sec = static_cast<time_t>(nanoseconds / NanosecondsPerSecond);
    value.tv_nsec = static_cast<long>(nanoseconds % NanosecondsPerSecond);
    if (value.tv_nsec < 0)
    {
        value.tv_sec -= 1;
        value.tv_nsec += NanosecondsPerSecond;
    }
    return value;
}

// "<number>" or "-<number>" in microseconds, as nanoseconds.
bool ParseShift(const char* text, bool allowNegative, std::int64_t& nanoseconds)
{
    const bool negative = (*text == '-');
    if (negative && !allowNegative)
    {
        return false;
    }
    std::uint64_t magnitude = 0u;
    if (!ParseUnsignedText(negative ? (text + 1) : text, ShiftMicrosecondsMax, &magnitude))
    {
        return false;
    }
    const std::int64_t value = static_cast<std::int64_t>(magnitude) * NanosecondsPerMicrosecond;
    nanoseconds = negative ? -value : value;
    return true;
}
} // namespace

CControlledClock& CControlledClock::GetInstance()
{
    static CControlledClock instance;
    return instance;
}

void CControlledClock::LoadEnvironmentOnce()
{
    std::call_once(m_environmentOnce,
                   [this]
                   {
                       const char* text = std::getenv("SCM_CLOCK_SHIFT_US");
                       std::int64_t shift = 0;
                       if ((text != nullptr) && ParseShift(text, false, shift))
                       {
                           m_environmentShift = shift;
                       }
                   });
}

std::int64_t CControlledClock::ReadRaw(clockid_t clock) const
{
    timespec value{};
    (void)clock_gettime(clock, &value);
    return ToNanoseconds(value);
}

void CControlledClock::ApplyControlText(const char* text)
{
    m_fileShift = 0;
    m_fileRealtimeShift = 0;
    m_fileFrozen = false;
    char word[64];
    const char* p = text;
    while (*p != '\0')
    {
        while ((*p == ' ') || (*p == '\t') || (*p == '\n') || (*p == '\r'))
        {
            ++p;
        }
        std::size_t length = 0u;
        while ((p[length] != '\0') && (p[length] != ' ') && (p[length] != '\t') && (p[length] != '\n') &&
               (p[length] != '\r'))
        {
            ++length;
        }
        if (length == 0u)
        {
            break;
        }
        if (length < sizeof(word))
        {
            std::memcpy(word, p, length);
            word[length] = '\0';
            std::int64_t value = 0;
            if (std::strcmp(word, "frozen") == 0)
            {
                m_fileFrozen = true;
            }
            else if ((std::strncmp(word, "shift=", 6u) == 0) && ParseShift(word + 6, false, value))
            {
                m_fileShift = value;
            }
            else if ((std::strncmp(word, "realtime-shift=", 15u) == 0) && ParseShift(word + 15, true, value))
            {
                m_fileRealtimeShift = value;
            }
        }
        p += length;
    }
}

void CControlledClock::RefreshControlFile()
{
    const std::uint16_t domain = GetProcessDomain();
    char path[KernelPathLengthMax];
    struct stat status
    {
    };
    const bool present = (domain != 0u) && GetDomainPath(domain, "clock", path, sizeof(path)) &&
                         (stat(path, &status) == 0) && S_ISREG(status.st_mode);
    const std::int64_t modified = present ? ToNanoseconds(status.st_mtim) : 0;
    if ((present == m_file.m_present) &&
        (!present || ((status.st_dev == m_file.m_device) && (status.st_ino == m_file.m_inode) &&
                      (modified == m_file.m_modified) && (status.st_size == m_file.m_size))))
    {
        return;
    }
    m_file = CFileIdentity{present ? status.st_dev : 0u, present ? status.st_ino : 0u, modified,
                           present ? status.st_size : 0, present};
    char text[256];
    std::size_t fileLength = 0u;
    const ssize_t count = present ? ReadFileInto(path, text, sizeof(text) - 1u, &fileLength) : -1;
    text[(count > 0) ? count : 0] = '\0';
    ApplyControlText(text);
    UpdateFrozen();
}

void CControlledClock::UpdateFrozen()
{
    const bool frozen = m_callFrozen || m_fileFrozen;
    if (frozen && !m_frozen)
    {
        m_frozenMonotonic = ReadRaw(CLOCK_MONOTONIC);
        m_frozenRealtime = ReadRaw(CLOCK_REALTIME);
    }
    else if (!frozen && m_frozen)
    {
        m_monotonicPause += ReadRaw(CLOCK_MONOTONIC) - m_frozenMonotonic;
        m_realtimePause += ReadRaw(CLOCK_REALTIME) - m_frozenRealtime;
    }
    m_frozen = frozen;
}

int CControlledClock::Read(clockid_t clock, timespec* value)
{
    if ((clock != CLOCK_REALTIME) && (clock != CLOCK_MONOTONIC))
    {
        return clock_gettime(clock, value);
    }
    LoadEnvironmentOnce();
    std::lock_guard<std::mutex> lock(m_mutex);
    RefreshControlFile();
    const bool realtime = (clock == CLOCK_REALTIME);
    std::int64_t reading = 0;
    if (m_frozen)
    {
        reading = realtime ? m_frozenRealtime : m_frozenMonotonic;
    }
    else
    {
        reading = ReadRaw(clock);
    }
    reading += m_environmentShift + m_shift + m_fileShift;
    if (realtime)
    {
        reading += m_realtimeShift + m_fileRealtimeShift - m_realtimePause;
    }
    else
    {
        reading -= m_monotonicPause;
    }
    *value = ToTimespec(reading);
    return 0;
}

std::uint64_t CControlledClock::GetMicroseconds()
{
    timespec value{};
    (void)Read(CLOCK_MONOTONIC, &value);
    return static_cast<std::uint64_t>(ToNanoseconds(value) / NanosecondsPerMicrosecond);
}

int CControlledClock::Shift(std::int64_t microseconds)
{
    if ((microseconds < 0) || (static_cast<std::uint64_t>(microseconds) > ShiftMicrosecondsMax))
    {
        errno = EINVAL;
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shift += microseconds * NanosecondsPerMicrosecond;
    return 0;
}

int CControlledClock::ShiftRealtime(std::int64_t microseconds)
{
    const std::uint64_t magnitude =
        (microseconds < 0) ? (0u - static_cast<std::uint64_t>(microseconds)) : static_cast<std::uint64_t>(microseconds);
    if (magnitude > ShiftMicrosecondsMax)
    {
        errno = EINVAL;
        return -1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_realtimeShift += microseconds * NanosecondsPerMicrosecond;
    return 0;
}

void CControlledClock::Freeze()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callFrozen = true;
    UpdateFrozen();
}

void CControlledClock::Thaw()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callFrozen = false;
    UpdateFrozen();
}

void CControlledClock::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shift = 0;
    m_realtimeShift = 0;
    m_callFrozen = false;
    UpdateFrozen();
}
} // namespace Platform
