// GetSafetyDomainNumber for programs other than the checker: a settable value.
#include "support/Domain/SafetyDomainNumber.h"

#include <atomic>

#include "Scm/ScmSafetyDomain.h"

namespace
{
std::atomic<std::uint16_t> safetyDomainNumber{1u};
}

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
