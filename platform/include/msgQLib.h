/* Named message queues (VxWorks msgQLib shape) over POSIX message queues. */
#ifndef SCM_PLATFORM_MSGQLIB_H
#define SCM_PLATFORM_MSGQLIB_H

#include "vxWorks.h"

#ifdef __cplusplus
extern "C" {
#endif

/** Handle of an open queue; NULL is no queue. */
typedef struct ScmPlatformMessageQueue* MSG_Q_ID;

#define MSG_PRI_NORMAL 0
#define MSG_PRI_URGENT 1
#define MSG_Q_FIFO 0x00

/** Largest message length that a queue may have to be opened through this layer. */
#define MSG_Q_MAX_MESSAGE_LENGTH 8192
/** Number of queues that can be open at once in one process (handles are a fixed table). */
#define MSG_Q_MAX_OPEN 48

typedef struct
{
    size_t numMsgs;      /**< messages waiting now */
    size_t maxMsgs;      /**< capacity of the queue */
    size_t maxMsgLength; /**< longest message the queue takes */
    int options;
} MSG_Q_INFO;

/**
 * Opens the queue of the given name. Names look like "/scm0007/~frame-send"; the layer maps them to one
 * legal POSIX name each (platform/README.md): every '/' after the first becomes '.', and the value of the
 * environment variable SCM_IPC_PREFIX, when set, is put in front of the name ("/<prefix>scm0007.~frame-send"),
 * so that tests running side by side cannot meet. A name without a leading '/' gets one.
 *
 * Without OM_CREATE in mode an existing queue is opened and none is ever created: a missing queue gives
 * NULL with errno ENOENT; maxMsgs and maxMsgLength are then ignored. With OM_CREATE a queue of maxMsgs
 * messages of at most maxMsgLength bytes is created if it does not exist (OM_EXCL: it must not exist,
 * EEXIST); when the system refuses the capacity (/proc/sys/fs/mqueue/msg_max, 10 by default, for processes
 * without CAP_SYS_RESOURCE), the largest capacity it allows is taken. Linux also limits the bytes of all
 * queues of a user (RLIMIT_MSGQUEUE, 800 KiB by default: EMFILE) and the number of queues of the system
 * (/proc/sys/fs/mqueue/queues_max, 256 by default: ENOSPC), so peers size each queue to its flow's longest
 * message. Does not block. NULL with errno on failure (EMFILE also when the handle table is full, EMSGSIZE
 * for a queue whose messages are longer than MSG_Q_MAX_MESSAGE_LENGTH, EINVAL for a bad name or a zero
 * capacity or length with OM_CREATE).
 */
MSG_Q_ID msgQOpen(const char* name, size_t maxMsgs, size_t maxMsgLength, int options, int mode, void* context);

/**
 * Sends one message of nBytes bytes (0 is allowed). timeout NO_WAIT never blocks: a full queue gives ERROR
 * with errno EAGAIN. WAIT_FOREVER blocks until there is room; a positive value waits at most that many ticks
 * (ERROR with errno ETIMEDOUT). A message longer than the queue's maximum gives ERROR with EMSGSIZE; an
 * unknown or deleted handle EBADF. MSG_PRI_URGENT messages are received before normal ones.
 */
STATUS msgQSend(MSG_Q_ID msgQId, const char* buffer, size_t nBytes, int timeout, int priority);

/**
 * Receives the next message into buffer and returns the number of bytes stored. A message longer than
 * maxNBytes is cut to maxNBytes bytes; with maxNBytes 0 the next message is removed and discarded and 0 is
 * returned. timeout as for msgQSend (an empty queue with NO_WAIT gives ERROR with errno EAGAIN). A receive
 * shorter than the queue's messages goes through the handle's own buffer: while one task waits in such a
 * receive, a NO_WAIT one on the same handle gives EAGAIN. ERROR with errno on failure.
 */
ssize_t msgQReceive(MSG_Q_ID msgQId, char* buffer, size_t maxNBytes, int timeout);

/** Fills in the number of waiting messages and the capacity. Does not block. */
STATUS msgQInfoGet(MSG_Q_ID msgQId, MSG_Q_INFO* info);

/**
 * Releases this process's handle of the queue. The queue itself, which its creator owns, stays in the
 * system with its messages (use msgQUnlink to remove it).
 */
STATUS msgQDelete(MSG_Q_ID msgQId);

/** Removes the queue of the given name from the system (for the peers that created it). */
STATUS msgQUnlink(const char* name);

#ifdef __cplusplus
}
#endif

#endif
