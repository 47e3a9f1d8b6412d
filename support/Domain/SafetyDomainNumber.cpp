// GetSafetyDomainNumber and GetFirmwareIdentification for programs other than the checker.
#include "support/Domain/SafetyDomainNumber.h"

#include <atomic>

#include "Scm/ScmFirmwareIdentification.h"
#include "Scm/ScmSafetyDomain.h"
#include "ScmCheckerVersion.h"

namespace
{
std::atomic<std::uint16_t> safetyDomainNumber{1u};

// An identification record as the build fills it: length 64, type 1, block size 256, the project's version.
constexpr std::uint8_t FirmwareIdentification[64] = {64u,
                                                     0u,
                                                     1u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     1u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     0u,
                                                     static_cast<std::uint8_t>(SCM_CHECKER_VERSION_MINOR),
                                                     static_cast<std::uint8_t>(SCM_CHECKER_VERSION_MINOR >> 8),
                                                     static_cast<std::uint8_t>(SCM_CHECKER_VERSION_MAJOR),
                                                     static_cast<std::uint8_t>(SCM_CHECKER_VERSION_MAJOR >> 8),
                                                     1u,
                                                     0u};
} // namespace

namespace Support
{
void SetSafetyDomainNumber(std::uint16_t number)
{
    safetyDomainNumber.store(number);
}
} // namespace Support

extern "C" uint16_t GetSafetyDomainNumber(void)
{
    return safetyDomainNumber.load();
}

extern "C" const uint8_t* GetFirmwareIdentification(void)
{
    return FirmwareIdentification;
}
