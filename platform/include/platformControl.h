/* Test controls of the platform layer: clocks shifted or frozen, and injected failures of its calls. Only the test
   build of the layer (platform-test) has them; programs that call them are tests and their peers. */
#ifndef SCM_PLATFORM_PLATFORMCONTROL_H
#define SCM_PLATFORM_PLATFORMCONTROL_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Clocks. clockGetTime (CLOCK_REALTIME, CLOCK_MONOTONIC) and the kernel's microsecond counter (service 128)
 * read the system clocks plus a shift, or a frozen reading. The shift is the sum of:
 *   - SCM_CLOCK_SHIFT_US: a non-negative number of microseconds in the environment, read when the layer
 *     first reads a clock (for a process that a test starts);
 *   - the clock control file "<kernel root>/scm%04u/clock" of the process's domain (see
 *     scmKernelEmulation.h), read again whenever it changes: whitespace-separated words "shift=<us>" (both
 *     clocks, not negative), "realtime-shift=<us>" (the wall clock only, may be negative) and "frozen";
 *     a missing file is no shift (scmKernelSetClockControl writes it);
 *   - the in-process calls below.
 * While frozen, both clocks keep the reading they had when they froze (shifts still apply); after thawing
 * they go on from there, so the monotonic clock and the counter never go back.
 */

/** Moves both clocks and the microsecond counter forward by microseconds. ERROR (EINVAL) when negative. */
STATUS platformClockShift(int64_t microseconds);

/** Moves the wall clock (CLOCK_REALTIME) alone by microseconds, forward or back. */
STATUS platformClockShiftRealtime(int64_t microseconds);

/** Freezes both clocks and the counter at their current readings. */
void platformClockFreeze(void);

/** Lets the clocks run again from their frozen readings (unless the control file still freezes them). */
void platformClockThaw(void);

/** Drops the in-process shifts and freeze: the clocks follow the system clocks, the environment shift and the
 *  control file again. */
void platformClockReset(void);

/*
 * Fault injection. A rule makes the n-th call of one service of this layer (counted from the moment the rule
 * is armed) fail with the given errno, without any effect of the call; with count > 1 the following calls fail
 * too (count 0: every call from the n-th on). A failing call returns what that call returns on failure (ERROR,
 * NULL, -1) with errno set; taskDelay returns without delay; a failing storage write also spoils the storage
 * handle, so that its close discards what was written and fails (the old content stays).
 *
 * Services are named as the calls: msgQOpen, msgQSend, msgQReceive, msgQInfoGet, msgQDelete, msgQUnlink,
 * semOpen, semGive, semTake, semClose, semUnlink, taskSpawn, taskDelay, taskDelete, clockGetTime, or by kernel
 * service number 128 to 150 (also by the wrapper names ScmGetUSecCounter ... ScmReadKelFlashFile, ScmClearCondition).
 *
 * The environment variable SCM_FAULTS holds rules for a process that a test starts, read at the first call of
 * any service: "rule[,rule...]" with rule "service:n[:errno[:count]]", errno 5 (EIO) and count 1 by default.
 * Example: SCM_FAULTS=msgQOpen:3,136:1:28 fails the third msgQOpen with EIO and the first storage write with
 * ENOSPC. All calls are thread-safe; at most PLATFORM_FAULT_RULES_MAX rules are armed at once.
 */
#define PLATFORM_FAULT_RULES_MAX 32

/** Arms one rule. ERROR (EINVAL) for an unknown service or n of 0, (ENOSPC) when the rule table is full. */
STATUS platformFaultInject(const char* service, unsigned n, int errorNumber, unsigned count);

/** Arms the rules of a text in the SCM_FAULTS form; all or none (ERROR with EINVAL for a malformed text). */
STATUS platformFaultLoad(const char* rules);

/** Disarms every rule, including those from SCM_FAULTS. */
void platformFaultClear(void);

/** Number of calls that rules have made fail since the process started. */
unsigned platformFaultFiredCount(void);

#ifdef __cplusplus
}
#endif

#endif
