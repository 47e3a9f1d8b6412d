// The checker's one exception type: an event code with two information values.
#ifndef UTIL_CEXCEPTION_H
#define UTIL_CEXCEPTION_H

#include <cstdint>

namespace Util
{
/// Thrown by value and caught by const reference wherever a fault is found; the catcher logs it as an event.
class CException
{
public:
    explicit CException(std::uint16_t eventCode) : CException(eventCode, 0u, 0u)
    {
    }
    CException(std::uint16_t eventCode, std::uint32_t information1) : CException(eventCode, 0u, information1)
    {
    }
    CException(std::uint16_t eventCode, std::uint16_t information0, std::uint32_t information1)
        : m_eventCode(eventCode), m_information0(information0), m_information1(information1)
    {
    }
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException() = default;

    /// Posts the exception as an event of level Warning (within the process's event budget; never throws).
    static void LogWarning(const CException& exception);
    /// Posts the exception as an event of level Error (within the process's event budget; never throws).
    static void LogError(const CException& exception);

    std::uint16_t m_eventCode;
    std::uint16_t m_information0;
    std::uint32_t m_information1;
};
} // namespace Util

#endif
