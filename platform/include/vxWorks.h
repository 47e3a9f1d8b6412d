/* Basic types and constants of the VxWorks-shaped platform layer. */
#ifndef SCM_PLATFORM_VXWORKS_H
#define SCM_PLATFORM_VXWORKS_H

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/** Result of a platform call: OK, or ERROR with errno set. */
typedef int STATUS;
#define OK 0
#define ERROR (-1)

/** Time-outs of blocking calls, in ticks (see sysClkRateGet). */
#define NO_WAIT 0
#define WAIT_FOREVER (-1)

/** Argument word passed to a spawned task. */
typedef intptr_t _Vx_usr_arg_t;

/** Entry point of a spawned task: always called with the ten argument words given to taskSpawn. */
typedef int (*FUNCPTR)(_Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t,
                       _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t, _Vx_usr_arg_t);

/** Mode flags of the named-object open calls (msgQOpen, semOpen). */
#define OM_CREATE 0x10000000
#define OM_EXCL 0x20000000

#ifdef __cplusplus
}
#endif

#endif
