// Lets a task be deleted only while it waits inside the layer.
#ifndef SCM_PLATFORM_LINUX_CCANCELLATIONPOINT_H
#define SCM_PLATFORM_LINUX_CCANCELLATIONPOINT_H

#include <pthread.h>

namespace Platform
{
/// Spawned tasks run with cancellation disabled, so that taskDelete never ends one in the middle of its own
/// work; a blocking call of the layer opens this window around its wait, where a pending deletion takes effect
/// (the stack unwinds, so held locks are released).
class CCancellationPoint
{
public:
    CCancellationPoint()
    {
        (void)pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &m_previousState);
    }

    ~CCancellationPoint()
    {
        (void)pthread_setcancelstate(m_previousState, nullptr);
    }

    CCancellationPoint(const CCancellationPoint&) = delete;
    CCancellationPoint& operator=(const CCancellationPoint&) = delete;

private:
    int m_previousState = PTHREAD_CANCEL_DISABLE;
};
} // namespace Platform

#endif
