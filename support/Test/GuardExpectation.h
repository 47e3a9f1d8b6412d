// GoogleTest helpers for the internal-consistency guard: code 0xE200 and the throwing file's identifier.
#ifndef SUPPORT_TEST_GUARDEXPECTATION_H
#define SUPPORT_TEST_GUARDEXPECTATION_H

#include <gtest/gtest.h>

#include <cstdint>

#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace Support
{
/// Runs action and returns the CException it throws; a test failure (and a default exception) when it throws none.
template <typename Action> Util::CException CaptureException(Action action)
{
    try
    {
        action();
    }
    catch (const Util::CException& exception)
    {
        return exception;
    }
    ADD_FAILURE() << "no Util::CException was thrown";
    return Util::CException(0u);
}

template <typename Action> Util::CException CaptureGuard(Action action)
{
    return CaptureException(action);
}

/// Expects the guard's code, a non-zero line and the identifier of the named file (derived from the name, or
/// the given fixed constant).
inline void ExpectGuard(const Util::CException& exception, const char* fileName, std::uint32_t fixedIdentifier = 0u)
{
    EXPECT_EQ(0xE200u, exception.m_eventCode);
    EXPECT_NE(0u, exception.m_information0) << "information0 carries the source line";
    const std::uint32_t expected = (fixedIdentifier != 0u) ? fixedIdentifier : Util::GetFileIdentifier(fileName);
    EXPECT_EQ(expected, exception.m_information1) << "file identifier of " << fileName;
}

/// Expects an exception with exactly this code and these information values.
inline void ExpectException(const Util::CException& exception, std::uint16_t eventCode, std::uint16_t information0,
                            std::uint32_t information1)
{
    EXPECT_EQ(eventCode, exception.m_eventCode);
    EXPECT_EQ(information0, exception.m_information0);
    EXPECT_EQ(information1, exception.m_information1);
}
} // namespace Support

#endif
