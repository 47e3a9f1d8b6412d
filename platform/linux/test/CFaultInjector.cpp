// Injected failures of the layer's calls: the n-th call of a service fails with a given errno.
#include "CFaultInjector.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Platform
{
namespace
{
struct CServiceName
{
    const char* m_name;
    int m_service;
};

constexpr CServiceName ServiceNames[] = {
    {"msgQOpen", FaultMsgQOpen},
    {"msgQSend", FaultMsgQSend},
    {"msgQReceive", FaultMsgQReceive},
    {"msgQInfoGet", FaultMsgQInfoGet},
    {"msgQDelete", FaultMsgQDelete},
    {"msgQUnlink", FaultMsgQUnlink},
    {"semOpen", FaultSemOpen},
    {"semGive", FaultSemGive},
    {"semTake", FaultSemTake},
    {"semClose", FaultSemClose},
    {"semUnlink", FaultSemUnlink},
    {"taskSpawn", FaultTaskSpawn},
    {"taskDelay", FaultTaskDelay},
    {"taskDelete", FaultTaskDelete},
    {"clockGetTime", FaultClockGetTime},
    {"ScmGetUSecCounter", 128},
    {"ScmGetCpuProductCode", 129},
    {"ScmGetCpuSerialNumber", 130},
    {"ScmRequestKelUdid", 131},
    {"ScmOpenStorage", 132},
    {"ScmCloseStorage", 133},
    {"ScmGetStorageLength", 134},
    {"ScmReadStorage", 135},
    {"ScmWriteStorage", 136},
    {"ScmLockReset", 141},
    {"ScmUnlockReset", 142},
    {"ScmWaitForCondition", 144},
    {"ScmSetCondition", 145},
    {"ScmResetPlc", 147},
    {"ScmReadKelFlashFile", 148},
    {"ScmClearCondition", 150},
};

constexpr int DefaultFaultError = EIO;

// Parses an unsigned decimal of text[0, length); false for anything else or a value above max.
bool ParseUnsigned(const char* text, std::size_t length, unsigned long max, unsigned long& value)
{
    if (length == 0u)
    {
        return false;
    }
    value = 0u;
    for (std::size_t i = 0u; i < length; ++i)
    {
        if ((text[i] < '0') || (text[i] > '9'))
        {
            return false;
        }
        value = value * 10u + static_cast<unsigned long>(text[i] - '0');
        if (value > max)
        {
            return false;
        }
    }
    return true;
}

constexpr unsigned long CountMax = 1000000000u;
constexpr unsigned long ErrorMax = 4095u;
} // namespace

CFaultInjector& CFaultInjector::GetInstance()
{
    static CFaultInjector instance;
    return instance;
}

int CFaultInjector::FindService(const char* name, std::size_t length)
{
    unsigned long number = 0u;
    if (ParseUnsigned(name, length, 1000u, number))
    {
        return ((number >= 128u) && (number <= 150u)) ? static_cast<int>(number) : 0;
    }
    for (const CServiceName& entry : ServiceNames)
    {
        if ((std::strlen(entry.m_name) == length) && (std::strncmp(entry.m_name, name, length) == 0))
        {
            return entry.m_service;
        }
    }
    return 0;
}

bool CFaultInjector::Parse(const char* text, RuleTable& rules, std::size_t& ruleCount)
{
    const char* rule = text;
    while (*rule != '\0')
    {
        const char* end = std::strchr(rule, ',');
        const std::size_t ruleLength = (end == nullptr) ? std::strlen(rule) : static_cast<std::size_t>(end - rule);
        // Up to four fields: service, n, errno, count.
        const char* fields[4] = {rule, nullptr, nullptr, nullptr};
        std::size_t lengths[4] = {0u, 0u, 0u, 0u};
        std::size_t fieldCount = 1u;
        for (std::size_t i = 0u; i < ruleLength; ++i)
        {
            if (rule[i] == ':')
            {
                if (fieldCount == 4u)
                {
                    return false;
                }
                fields[fieldCount] = rule + i + 1u;
                ++fieldCount;
            }
            else
            {
                ++lengths[fieldCount - 1u];
            }
        }
        unsigned long n = 0u;
        unsigned long error = DefaultFaultError;
        unsigned long count = 1u;
        const int service = FindService(fields[0], lengths[0]);
        if ((service == 0) || (fieldCount < 2u) || !ParseUnsigned(fields[1], lengths[1], CountMax, n) || (n == 0u) ||
            ((fieldCount > 2u) && (!ParseUnsigned(fields[2], lengths[2], ErrorMax, error) || (error == 0u))) ||
            ((fieldCount > 3u) && !ParseUnsigned(fields[3], lengths[3], CountMax, count)) ||
            (ruleCount == rules.size()))
        {
            return false;
        }
        rules[ruleCount] =
            CRule{service, static_cast<unsigned>(n), static_cast<unsigned>(count), static_cast<int>(error), 0u, 0u};
        ++ruleCount;
        rule = (end == nullptr) ? (rule + ruleLength) : (end + 1);
    }
    return true;
}

void CFaultInjector::LoadEnvironmentOnce()
{
    std::call_once(m_environmentOnce,
                   [this]
                   {
                       const char* text = std::getenv("SCM_FAULTS");
                       if ((text != nullptr) && (*text != '\0'))
                       {
                           // A malformed SCM_FAULTS arms nothing: a test that meant to inject sees its fault missing.
                           (void)LoadRules(text);
                       }
                       const char* report = std::getenv("SCM_FAULTS_REPORT");
                       if ((report != nullptr) && (*report != '\0'))
                       {
                           m_reportFile = open(report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
                       }
                   });
}

void CFaultInjector::UpdateArmed()
{
    m_armed.store(m_ruleCount != 0u);
}

bool CFaultInjector::TryFail(int service)
{
    LoadEnvironmentOnce();
    if (!m_armed.load())
    {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    // Every rule of the service counts the call; each rule that is due fires, and the first one's errno is given.
    int error = 0;
    for (std::size_t i = 0u; i < m_ruleCount; ++i)
    {
        CRule& rule = m_rules[i];
        if (rule.m_service != service)
        {
            continue;
        }
        if (rule.m_seen < rule.m_n)
        {
            ++rule.m_seen;
        }
        const bool exhausted = (rule.m_count != 0u) && (rule.m_fired >= rule.m_count);
        if ((rule.m_seen == rule.m_n) && !exhausted)
        {
            ++rule.m_fired;
            error = (error == 0) ? rule.m_error : error;
        }
    }
    if (error == 0)
    {
        return false;
    }
    ReportFired(m_firedCount.fetch_add(1u) + 1u);
    errno = error;
    return true;
}

// A process that a campaign starts and kills tells it this way whether the rule was reached at all; a fixed-width
// record rewritten in place, so that the file holds one whole number at any moment.
void CFaultInjector::ReportFired(unsigned firedCount) const
{
    if (m_reportFile < 0)
    {
        return;
    }
    char record[11] = {};
    for (int digit = 9; digit >= 0; --digit)
    {
        record[digit] = static_cast<char>('0' + (firedCount % 10u));
        firedCount /= 10u;
    }
    record[10] = '\n';
    const int savedError = errno;
    (void)!pwrite(m_reportFile, record, sizeof(record), 0);
    errno = savedError;
}

int CFaultInjector::Inject(const char* service, unsigned n, int errorNumber, unsigned count)
{
    LoadEnvironmentOnce();
    const int identifier = (service == nullptr) ? 0 : FindService(service, std::strlen(service));
    if ((identifier == 0) || (n == 0u) || (errorNumber <= 0))
    {
        errno = EINVAL;
        return ERROR;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    DropExhaustedRules();
    if (m_ruleCount == m_rules.size())
    {
        errno = ENOSPC;
        return ERROR;
    }
    m_rules[m_ruleCount] = CRule{identifier, n, count, errorNumber, 0u, 0u};
    ++m_ruleCount;
    UpdateArmed();
    return OK;
}

int CFaultInjector::Load(const char* rules)
{
    LoadEnvironmentOnce();
    return LoadRules(rules);
}

void CFaultInjector::DropExhaustedRules()
{
    std::size_t kept = 0u;
    for (std::size_t i = 0u; i < m_ruleCount; ++i)
    {
        if ((m_rules[i].m_count == 0u) || (m_rules[i].m_fired < m_rules[i].m_count))
        {
            m_rules[kept] = m_rules[i];
            ++kept;
        }
    }
    m_ruleCount = kept;
}

int CFaultInjector::LoadRules(const char* rules)
{
    if (rules == nullptr)
    {
        errno = EINVAL;
        return ERROR;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    DropExhaustedRules();
    RuleTable parsed = m_rules;
    std::size_t parsedCount = m_ruleCount;
    if (!Parse(rules, parsed, parsedCount))
    {
        errno = EINVAL;
        return ERROR;
    }
    m_rules = parsed;
    m_ruleCount = parsedCount;
    UpdateArmed();
    return OK;
}

void CFaultInjector::Clear()
{
    LoadEnvironmentOnce();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ruleCount = 0u;
    UpdateArmed();
}
} // namespace Platform
