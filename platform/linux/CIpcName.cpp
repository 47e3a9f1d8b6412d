// The POSIX name of a named queue or semaphore: the SCM_IPC_PREFIX prefix and the '/' mapping.
#include "CIpcName.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "scmKernelEmulation.h"

namespace Platform
{
CIpcName::CIpcName(const char* name) : m_text{'/', '\0'}, m_length(1u), m_error(0)
{
    if ((name == nullptr) || (name[0] == '\0') || ((name[0] == '/') && (name[1] == '\0')))
    {
        m_error = EINVAL;
        m_text[0] = '\0';
        return;
    }
    const char* prefix = std::getenv("SCM_IPC_PREFIX");
    if ((prefix != nullptr) && !Append(prefix))
    {
        return;
    }
    (void)Append((name[0] == '/') ? (name + 1) : name);
}

bool CIpcName::Append(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p)
    {
        if (m_length >= ms_LengthMax)
        {
            m_error = ENAMETOOLONG;
            m_text[0] = '\0';
            return false;
        }
        m_text[m_length] = (*p == '/') ? '.' : *p;
        ++m_length;
    }
    m_text[m_length] = '\0';
    return true;
}
} // namespace Platform

extern "C" int scmKernelGetPosixIpcName(const char* name, char* buffer, size_t length)
{
    const Platform::CIpcName posixName(name);
    if (posixName.GetError() != 0)
    {
        errno = posixName.GetError();
        return -1;
    }
    const std::size_t needed = std::strlen(posixName.Get()) + 1u;
    if ((buffer == nullptr) || (length < needed))
    {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(buffer, posixName.Get(), needed);
    return 0;
}
