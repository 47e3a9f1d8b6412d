// The fixed valid domain of the session target and its seeds.
#include "fuzz/common/FuzzDomain.h"

namespace Fuzz
{
const Support::Password& GetDomainPassword()
{
    static const Support::Password password = {0x50u, 0x41u, 0x53u, 0x53u, 0x01u, 0x02u, 0x03u, 0x04u,
                                               0x05u, 0x06u, 0x07u, 0x08u, 0x09u, 0x0Au, 0x0Bu, 0x0Cu};
    return password;
}

Support::CDomainConfiguration MakeDomainConfiguration()
{
    Support::CDomainConfiguration configuration = Support::MakeExampleConfiguration();
    configuration.m_password = GetDomainPassword();
    return configuration;
}
} // namespace Fuzz
