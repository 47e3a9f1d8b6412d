// Event codes of the additional-parameter check.
#ifndef CHECK_CADDITIONALPARAMETERCHECKEVENTCODE_H
#define CHECK_CADDITIONALPARAMETERCHECKEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Check
{
struct CAdditionalParameterCheckEventCode
{
    // clang-format off
    enum Enum : std::uint16_t
    {
        InvalidSafetyAddress = ScmAdditionalParameterCheckInvalidSafetyAddress, ///< a catalog query gets, or a configured-header record holds, an address 0 or above 1023; information1 = the address
        InvalidAdditionalParameterNumber = ScmAdditionalParameterCheckInvalidAdditionalParameterNumber, ///< a configured-header record or a catalog query (also for a downloaded header) has number 0 or above 16; information1 = the number
        UnknownAdditionalParameter = ScmAdditionalParameterCheckUnknownAdditionalParameter, ///< a downloaded header names a number not configured for the module, or an absent header is asked for; information0 = the address, information1 = the number
        InvalidAdditionalParameter = ScmAdditionalParameterCheckInvalidAdditionalParameter, ///< a downloaded header differs from the configured one; information0 = the address, information1 = the number
    };
    // clang-format on
};
} // namespace Check

#endif
