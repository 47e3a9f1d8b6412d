// The safety domain number of test and tool programs, which have no process entry of the checker.
#ifndef SUPPORT_DOMAIN_SAFETYDOMAINNUMBER_H
#define SUPPORT_DOMAIN_SAFETYDOMAINNUMBER_H

#include <cstdint>

namespace Support
{
/// Sets what GetSafetyDomainNumber() returns in this program (1 until set).
void SetSafetyDomainNumber(std::uint16_t safetyDomainNumber);
} // namespace Support

#endif
