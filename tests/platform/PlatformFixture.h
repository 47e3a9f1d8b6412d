// Shared set-up of the integration tests: an isolated platform with one provisioned domain.
#ifndef TESTS_PLATFORM_PLATFORMFIXTURE_H
#define TESTS_PLATFORM_PLATFORMFIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"

namespace PlatformTest
{
constexpr std::uint16_t Domain = 7u;

class ProvisionedDomain : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_isolation = std::make_unique<Support::CPlatformIsolation>();
        m_provisioner = std::make_unique<Support::CDomainProvisioner>(Domain);
        m_provisioner->Create(m_provision);
    }

    void TearDown() override
    {
        m_provisioner.reset();
        m_isolation.reset();
    }

    Support::CDomainProvision m_provision;
    std::unique_ptr<Support::CPlatformIsolation> m_isolation;
    std::unique_ptr<Support::CDomainProvisioner> m_provisioner;
};
} // namespace PlatformTest

#endif
