// The POSIX name of a named queue or semaphore: the SCM_IPC_PREFIX prefix and the '/' mapping.
#ifndef SCM_PLATFORM_LINUX_CIPCNAME_H
#define SCM_PLATFORM_LINUX_CIPCNAME_H

#include <cstddef>

namespace Platform
{
/// Maps a name such as "/scm0007/~frame-send" to one legal POSIX name: a leading '/', then the value of
/// SCM_IPC_PREFIX (when set), then the name without its own leading '/', where every further '/' becomes '.'
/// (prefix included): "/scm0007.~frame-send", or "/t42-1-scm0007.~frame-send" with the prefix "t42-1-".
class CIpcName
{
public:
    /// Longest POSIX name kept (named semaphores take 4 characters of NAME_MAX for "sem.").
    static constexpr std::size_t ms_LengthMax = 250u;

    explicit CIpcName(const char* name);

    /// 0 when the name could be mapped, else EINVAL (null, empty or "/") or ENAMETOOLONG.
    int GetError() const
    {
        return m_error;
    }

    const char* Get() const
    {
        return m_text;
    }

private:
    bool Append(const char* text);

    char m_text[ms_LengthMax + 1u];
    std::size_t m_length;
    int m_error;
};
} // namespace Platform

#endif
