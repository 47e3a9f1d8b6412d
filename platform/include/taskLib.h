/* Tasks, ticks and the wall clock (VxWorks taskLib/sysLib shape) over pthreads and POSIX clocks. */
#ifndef SCM_PLATFORM_TASKLIB_H
#define SCM_PLATFORM_TASKLIB_H

#include <time.h>

#include "vxWorks.h"

#ifdef __cplusplus
extern "C" {
#endif

/** Identifier of a spawned task; ERROR (-1) is no task. */
typedef int TASK_ID;

/** Number of tasks that can exist at once in one process (a fixed table). */
#define TASK_MAX_COUNT 16

/**
 * Creates a task running entryPt(arg1, ..., arg10). Priorities run from 0 (most urgent) to 255 (least);
 * they map linearly onto SCHED_FIFO (0 to the highest FIFO priority, 255 to the lowest) where the process
 * may use it and onto normal scheduling where it may not (processHarden reports that once, at start-up). In a
 * test build, SCM_TASK_SCHEDULING=normal in the environment asks for normal scheduling always. stackSize is a
 * minimum: no task gets less than 64 KiB.
 * Returns the task id (positive), or ERROR with errno (EAGAIN when the task table is full, EINVAL for a
 * priority outside 0 to 255 or a null entry). The task ends when entryPt returns or calls taskExit.
 */
TASK_ID taskSpawn(const char* name, int priority, int options, size_t stackSize, FUNCPTR entryPt,
                  _Vx_usr_arg_t arg1, _Vx_usr_arg_t arg2, _Vx_usr_arg_t arg3, _Vx_usr_arg_t arg4,
                  _Vx_usr_arg_t arg5, _Vx_usr_arg_t arg6, _Vx_usr_arg_t arg7, _Vx_usr_arg_t arg8,
                  _Vx_usr_arg_t arg9, _Vx_usr_arg_t arg10);

/** Blocks the calling task for the given number of ticks (0 only yields). */
STATUS taskDelay(int ticks);

/**
 * Ends the calling task. Called in the initial task, it ends only that task: the process lives on in its
 * spawned tasks and ends when the last of them ends.
 */
void taskExit(int code);

/**
 * Ends the given task and frees its slot. The task ends at its next blocking call of this layer (taskDelay,
 * semTake, a waiting msgQSend or msgQReceive, a condition wait), never in the middle of its own work; the
 * call returns once it has ended. Deleting the calling task (or tid 0) is taskExit(0). ERROR with ESRCH for
 * an id that names no living task.
 */
STATUS taskDelete(TASK_ID tid);

/**
 * Ticks per second: 1000. A test build takes another rate (1 to 100000) from the environment variable
 * SCM_TICK_RATE when the layer is first used.
 */
int sysClkRateGet(void);

/**
 * clock_gettime through the platform layer: CLOCK_REALTIME and CLOCK_MONOTONIC are the system clocks (in a test
 * build shifted or frozen by the test controls of platformControl.h). 0, or -1 with errno.
 */
int clockGetTime(clockid_t clockId, struct timespec* timeValue);

#ifdef __cplusplus
}
#endif

#endif
