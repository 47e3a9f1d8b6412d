// The test build's controls read from the environment: the tick rate and the scheduling override.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "PlatformHooks.h"

namespace Platform
{
namespace
{
int ReadTickRate()
{
    const char* text = std::getenv("SCM_TICK_RATE");
    if ((text == nullptr) || (*text == '\0'))
    {
        return DefaultTickRate;
    }
    long rate = 0;
    for (const char* p = text; *p != '\0'; ++p)
    {
        if ((*p < '0') || (*p > '9'))
        {
            return DefaultTickRate;
        }
        rate = rate * 10 + (*p - '0');
        if (rate > TickRateMax)
        {
            return DefaultTickRate;
        }
    }
    return (rate >= 1) ? static_cast<int>(rate) : DefaultTickRate;
}
} // namespace

int GetTickRate()
{
    static std::once_flag once;
    static int rate = DefaultTickRate;
    std::call_once(once, [] { rate = ReadTickRate(); });
    return rate;
}

bool IsNormalSchedulingRequested()
{
    const char* scheduling = std::getenv("SCM_TASK_SCHEDULING");
    return (scheduling != nullptr) && (std::strcmp(scheduling, "normal") == 0);
}

} // namespace Platform
