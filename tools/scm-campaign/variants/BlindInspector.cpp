// The default inspector of a single-check variant: the check named by SCM_BLIND_CHECK releases its bits of the
// SCM's frames without looking. The marker names the variant in the executable, so that a test can tell that the
// installed checker holds none.
#include "Main/CDefaultInspector.cpp"

#if (SCM_BLIND_CHECK < 1) || (SCM_BLIND_CHECK > 4)
#error "a single-check variant blinds one of the four checks (SCM_BLIND_CHECK 1 to 4)"
#endif

extern "C" __attribute__((used)) const char scmBlindCheckVariant[] = "SCM_BLIND_CHECK=" SCM_BLIND_CHECK_NAME;
