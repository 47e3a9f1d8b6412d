/* Named binary semaphores (VxWorks semLib shape) over POSIX named semaphores. */
#ifndef SCM_PLATFORM_SEMLIB_H
#define SCM_PLATFORM_SEMLIB_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C"
{
#endif

    typedef struct ScmPlatformSemaphore* SEM_ID;

    typedef enum
    {
        SEM_TYPE_BINARY = 0
    } SEM_TYPE;

#define SEM_EMPTY 0
#define SEM_FULL 1
#define SEM_Q_FIFO 0x00

/** Number of semaphores that can be open at once in one process. */
#define SEM_MAX_OPEN 16

    /**
     * Opens the named binary semaphore. Names are mapped as for msgQOpen (same prefix). Without OM_CREATE an
     * existing semaphore is opened and none is created (NULL, errno ENOENT when missing); with OM_CREATE it is
     * created in the state initState (SEM_EMPTY or SEM_FULL) if it does not exist. Does not block.
     */
    SEM_ID semOpen(const char* name, SEM_TYPE type, int initState, int options, int mode, void* context);

    /**
     * Makes the semaphore full; giving a full binary semaphore leaves it full. Does not block. Gives within a
     * process are serialised; two processes giving the same semaphore at the same instant could leave it
     * counting two (in the hand-over, each semaphore has one giver).
     */
    STATUS semGive(SEM_ID semId);

    /**
     * Takes the semaphore, leaving it empty (also when gives from several processes raced, or the POSIX semaphore
     * was posted more than once behind this layer: a take consumes them all). WAIT_FOREVER blocks until it is given;
     * NO_WAIT returns ERROR with errno EAGAIN when it is empty; a positive timeout waits at most that many ticks (errno
     * ETIMEDOUT).
     */
    STATUS semTake(SEM_ID semId, int timeout);

    /** Releases this process's handle; the semaphore stays in the system. */
    STATUS semClose(SEM_ID semId);

    /** Removes the named semaphore from the system (for the peers that created it). */
    STATUS semUnlink(const char* name);

#ifdef __cplusplus
}
#endif

#endif
