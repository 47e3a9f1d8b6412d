// Event codes of the additional-parameter header readers.
#ifndef PARAM_CADDITIONALPARAMETERREADEREVENTCODE_H
#define PARAM_CADDITIONALPARAMETERREADEREVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Param
{
struct CAdditionalParameterReaderEventCode
{
    // One line per code: when it is raised, what information0 and information1 carry.
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidLength = ScmAdditionalParameterReaderInvalidLength, ///< an additional parameter of the parameter stream shorter than its 16-byte header; information0 = index, information1 = length
        InvalidSafetyAddress = ScmAdditionalParameterReaderInvalidSafetyAddress, ///< a header (streamed or computed) with safety address 0 or >= 1024; information1 = the address
        InvalidParameterNumber = ScmAdditionalParameterReaderInvalidParameterNumber, ///< a header (streamed or computed) with parameter number 0 or above 16; information1 = the number
        OtherReason = ScmAdditionalParameterReaderOtherReason, ///< an entry of the parameter data file is malformed; information0 = a CAdditionalParameterReaderOtherReasonInformation0 reason, information1 per reason
    };
    // clang-format on
};

/// The reasons of CAdditionalParameterReaderEventCode::OtherReason, carried in information0.
struct CAdditionalParameterReaderOtherReasonInformation0
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidDomainVersion = 1u, ///< the entry's header version is not 1; information1 = the version
        InvalidSafetyAddress = 2u, ///< safety address neither 1..1023 nor (in a version 0x200 file) 2000 or above; information1 = the address
        InvalidDomainLength = 3u,  ///< the entry's data runs past the data area; information1 = the declared data length
        InvalidDomainCrc = 4u,     ///< the entry's data CRC does not match; information1 = the stored CRC
    };
    // clang-format on
};
} // namespace Param

#endif
