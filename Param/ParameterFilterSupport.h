// Shared by the parameter-stream filters: pulling a record so that a refused stream is left closed.
#ifndef PARAM_PARAMETERFILTERSUPPORT_H
#define PARAM_PARAMETERFILTERSUPPORT_H

#include <cstdint>

#include "Param/CParameterReader.h"
#include "Util/CException.h"
#include "Util/FileIdentifier.h"

namespace Param
{
/// TryReadNext on the wrapped stream. A refusal of the stream's data (0xE2AA, 0xE2AC, ...) closes the stream before
/// it passes on unchanged, as the filters' own refusals do; a guard event passes on as it is, since the stream is
/// then in no state to be closed.
inline bool TryReadNextOrClose(CParameterReader& reader, std::uint16_t& index, std::uint8_t& subIndex,
                               std::uint32_t& parameterLength, const std::uint8_t*& parameter)
{
    try
    {
        return reader.TryReadNext(index, subIndex, parameterLength, parameter);
    }
    catch (const Util::CException& exception)
    {
        if (exception.m_eventCode != Util::InternalConsistencyEventCode)
        {
            reader.Close();
        }
        throw;
    }
}

/// Closes the wrapped stream, then raises the filter's refusal.
[[noreturn]] inline void CloseAndThrow(CParameterReader& reader, std::uint16_t eventCode, std::uint16_t information0,
                                       std::uint32_t information1)
{
    reader.Close();
    throw Util::CException(eventCode, information0, information1);
}
} // namespace Param

#endif
