// The fixed valid domain of the session target and its seeds: the example configuration with a password.
#ifndef FUZZ_COMMON_FUZZDOMAIN_H
#define FUZZ_COMMON_FUZZDOMAIN_H

#include "support/Messages/Bytes.h"
#include "support/Peers/CDomainConfiguration.h"

namespace Fuzz
{
/// The operator's password of the fixed domain.
const Support::Password& GetDomainPassword();
/// Three modules at SADR 2, 3 and 4 (Support::MakeExampleConfiguration) with the password set.
Support::CDomainConfiguration MakeDomainConfiguration();
} // namespace Fuzz

#endif
