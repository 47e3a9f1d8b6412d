/* The process itself (VxWorks RTP shape): which environment it accepts, and what protects its memory and timing. */
#ifndef SCM_PLATFORM_PROCESSLIB_H
#define SCM_PLATFORM_PROCESSLIB_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

    /**
     * OK when every environment variable whose name begins with "SCM_" is one that the shipped layer reads
     * (SCM_KERNEL_ROOT, SCM_IPC_PREFIX, SCM_IPC_REGISTRY); ERROR otherwise (errno EPERM): a test control
     * (platformControl.h, SCM_TICK_RATE, SCM_TASK_SCHEDULING) or any other unknown SCM_ variable. A test build
     * accepts every environment. Does not block; touches nothing.
     */
    STATUS processCheckEnvironment(void);

/** Bits of the result of processHarden: what the host refused. */
#define PROCESS_REFUSED_REALTIME_SCHEDULING 0x1u /* tasks cannot use SCHED_FIFO: they run with normal scheduling */
#define PROCESS_REFUSED_MEMORY_LOCK 0x2u         /* memory is not locked: pages may be swapped out */

    /**
     * Protects the process for the rest of its life. Call it once, early in the initial task, before any safety
     * value is in memory:
     *   - it becomes non-dumpable (no core dump; /proc/<pid>/mem and ptrace only for CAP_SYS_PTRACE) and its core
     *     limit, soft and hard, becomes 0 (neither can be refused);
     *   - it probes whether tasks may use SCHED_FIFO at the most urgent priority (taskSpawn falls back to normal
     *     scheduling where they may not);
     *   - it locks all its memory, current and future (mlockall); builds with a sanitizer never lock (their
     *     shadow memory is far too large).
     * A test build stays dumpable, and with SCM_TASK_SCHEDULING=normal neither probes nor locks (nothing refused).
     * Returns the PROCESS_REFUSED_ bits of what could not be done (0: everything in place). Does not block beyond
     * the probe's short-lived thread.
     */
    unsigned processHarden(void);

#ifdef __cplusplus
}
#endif

#endif
