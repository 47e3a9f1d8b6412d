/* The process's safety domain number. */
#ifndef SCM_SCMSAFETYDOMAIN_H
#define SCM_SCMSAFETYDOMAIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

    /**
     * The safety domain number of this process (1 to 1023). Defined by the process entry, which reads it before
     * any other object exists; test and tool programs link a definition of their own.
     */
    uint16_t GetSafetyDomainNumber(void);

#ifdef __cplusplus
}
#endif

#endif
