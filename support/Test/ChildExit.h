// Ending a forked test child at once, with the coverage counters it gathered.
#ifndef SUPPORT_TEST_CHILDEXIT_H
#define SUPPORT_TEST_CHILDEXIT_H

#include <cstdlib>

#ifdef SCM_COVERAGE
// libgcov: writes the counters of every object of the process to its .gcda files.
extern "C" void __gcov_dump(void);
#endif

namespace Support
{
/// Ends a forked child with status at once (std::_Exit: no destructor or exit handler of what the parent owns runs
/// in the child). A coverage build (tests compiled with SCM_COVERAGE) first writes the child's counters, which
/// std::_Exit would drop.
[[noreturn]] inline void ExitChild(int status)
{
#ifdef SCM_COVERAGE
    __gcov_dump();
#endif
    std::_Exit(status);
}
} // namespace Support

#endif
