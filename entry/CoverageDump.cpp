// Coverage builds only: a checker ended by SIGTERM writes its gcov counters before it ends.
#include <signal.h>

// libgcov: writes the counters of every object of the process to its .gcda files.
extern "C" void __gcov_dump(void);

namespace
{
// The checker has no end of its own: tests and operators end it with a signal, which would drop the counters
// that a --coverage program writes only at exit. The handler is reset on entry (SA_RESETHAND) and the signal,
// blocked while it runs, is raised again: once the handler returns it ends the process with the default action,
// so that the exit status is the one of every other build.
void DumpCountersAndEnd(int signalNumber)
{
    __gcov_dump();
    (void)raise(signalNumber);
}

__attribute__((constructor)) void DumpCountersOnTermination()
{
    struct sigaction action = {};
    action.sa_handler = DumpCountersAndEnd;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    (void)sigemptyset(&action.sa_mask);
    (void)sigaction(SIGTERM, &action, nullptr);
}
} // namespace
