// The in-process test controls: clock shifts and freezing, fault injection.
#include "platformControl.h"
#include "CControlledClock.h"
#include "CFaultInjector.h"

extern "C" STATUS platformClockShift(int64_t microseconds)
{
    return Platform::CControlledClock::GetInstance().Shift(microseconds);
}

extern "C" STATUS platformClockShiftRealtime(int64_t microseconds)
{
    return Platform::CControlledClock::GetInstance().ShiftRealtime(microseconds);
}

extern "C" void platformClockFreeze(void)
{
    Platform::CControlledClock::GetInstance().Freeze();
}

extern "C" void platformClockThaw(void)
{
    Platform::CControlledClock::GetInstance().Thaw();
}

extern "C" void platformClockReset(void)
{
    Platform::CControlledClock::GetInstance().Reset();
}

extern "C" STATUS platformFaultInject(const char* service, unsigned n, int errorNumber, unsigned count)
{
    return Platform::CFaultInjector::GetInstance().Inject(service, n, errorNumber, count);
}

extern "C" STATUS platformFaultLoad(const char* rules)
{
    return Platform::CFaultInjector::GetInstance().Load(rules);
}

extern "C" void platformFaultClear(void)
{
    Platform::CFaultInjector::GetInstance().Clear();
}

extern "C" unsigned platformFaultFiredCount(void)
{
    return Platform::CFaultInjector::GetInstance().GetFiredCount();
}
