// Injected failures of the layer's calls: the n-th call of a service fails with a given errno.
#ifndef SCM_PLATFORM_LINUX_CFAULTINJECTOR_H
#define SCM_PLATFORM_LINUX_CFAULTINJECTOR_H

#include <array>
#include <atomic>
#include <cstddef>
#include <mutex>

#include "FaultService.h"
#include "platformControl.h"

namespace Platform
{
class CFaultInjector
{
public:
    /// The process's injector; SCM_FAULTS is loaded at the first TryFail.
    static CFaultInjector& GetInstance();

    /// Counts a call of service; true, with errno set, when a rule makes this call fail. Thread-safe; without
    /// armed rules it costs one atomic load.
    bool TryFail(int service);

    int Inject(const char* service, unsigned n, int errorNumber, unsigned count);
    int Load(const char* rules);
    void Clear();
    unsigned GetFiredCount() const
    {
        return m_firedCount.load();
    }

    /// The identifier of a service name ("msgQOpen", "136", "ScmWriteStorage"); 0 when unknown.
    static int FindService(const char* name, std::size_t length);

private:
    void ReportFired(unsigned firedCount) const;

    struct CRule
    {
        int m_service;
        unsigned m_n;
        unsigned m_count;
        int m_error;
        unsigned m_seen;
        unsigned m_fired;
    };
    using RuleTable = std::array<CRule, PLATFORM_FAULT_RULES_MAX>;

    CFaultInjector() = default;
    void LoadEnvironmentOnce();
    int LoadRules(const char* rules);
    void DropExhaustedRules();
    static bool Parse(const char* text, RuleTable& rules, std::size_t& ruleCount);
    void UpdateArmed();

    std::once_flag m_environmentOnce;
    std::mutex m_mutex;
    RuleTable m_rules{};
    std::size_t m_ruleCount = 0u;
    std::atomic<bool> m_armed{false};
    std::atomic<unsigned> m_firedCount{0u};
    /// SCM_FAULTS_REPORT, opened with SCM_FAULTS: receives the fired count whenever a rule fires; -1 without one.
    int m_reportFile = -1;
};
} // namespace Platform

#endif
