// The services of the layer whose calls can be made to fail, by name of call or kernel service number.
#ifndef SCM_PLATFORM_LINUX_FAULTSERVICE_H
#define SCM_PLATFORM_LINUX_FAULTSERVICE_H

namespace Platform
{
/// Services that rules can name. Kernel services use their call numbers 128 to 150 as identifiers.
enum FaultService : int
{
    FaultMsgQOpen = 1,
    FaultMsgQSend,
    FaultMsgQReceive,
    FaultMsgQInfoGet,
    FaultMsgQDelete,
    FaultMsgQUnlink,
    FaultSemOpen,
    FaultSemGive,
    FaultSemTake,
    FaultSemClose,
    FaultSemUnlink,
    FaultTaskSpawn,
    FaultTaskDelay,
    FaultTaskDelete,
    FaultClockGetTime,
    FaultKernelServiceFirst = 128,
    FaultKernelServiceLast = 150
};
} // namespace Platform

#endif
