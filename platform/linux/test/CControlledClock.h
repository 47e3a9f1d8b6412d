// The clocks under test control: system clocks plus shifts, or frozen readings.
#ifndef SCM_PLATFORM_LINUX_CCONTROLLEDCLOCK_H
#define SCM_PLATFORM_LINUX_CCONTROLLEDCLOCK_H

#include <cstdint>
#include <ctime>
#include <mutex>
#include <sys/types.h>

namespace Platform
{
/// Gives CLOCK_REALTIME and CLOCK_MONOTONIC readings shifted by the environment, the domain's clock control
/// file and in-process calls, and holds them while frozen. Thread-safe.
class CControlledClock
{
public:
    static CControlledClock& GetInstance();

    /// Reads CLOCK_REALTIME or CLOCK_MONOTONIC under control; other clocks are read as they are.
    int Read(clockid_t clock, timespec* value);

    /// Microseconds of the controlled monotonic clock.
    std::uint64_t GetMicroseconds();

    int Shift(std::int64_t microseconds);
    int ShiftRealtime(std::int64_t microseconds);
    void Freeze();
    void Thaw();
    void Reset();

private:
    struct CFileIdentity
    {
        dev_t m_device;
        ino_t m_inode;
        std::int64_t m_modified;
        off_t m_size;
        bool m_present;
    };

    CControlledClock() = default;
    void LoadEnvironmentOnce();
    void RefreshControlFile();
    void ApplyControlText(const char* text);
    void UpdateFrozen();
    std::int64_t ReadRaw(clockid_t clock) const;

    std::mutex m_mutex;
    std::once_flag m_environmentOnce;
    std::int64_t m_environmentShift = 0;
    std::int64_t m_shift = 0;
    std::int64_t m_realtimeShift = 0;
    std::int64_t m_fileShift = 0;
    std::int64_t m_fileRealtimeShift = 0;
    bool m_callFrozen = false;
    bool m_fileFrozen = false;
    bool m_frozen = false;
    std::int64_t m_frozenMonotonic = 0;
    std::int64_t m_frozenRealtime = 0;
    // Time spent frozen, taken off both clocks after thawing so that they go on from their frozen readings.
    std::int64_t m_monotonicPause = 0;
    std::int64_t m_realtimePause = 0;
    CFileIdentity m_file{};
};
} // namespace Platform

#endif
