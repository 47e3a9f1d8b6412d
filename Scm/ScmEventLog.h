/* Event logging to the runtime's event queue, and the registration entry points of the self-verification. */
#ifndef SCM_SCMEVENTLOG_H
#define SCM_SCMEVENTLOG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C"
{
#endif

    /**
     * The event record, the same for the checker's own events and the SCM's events that it relays: 11 bytes,
     * packed, little-endian: level (1), code zero-extended to 32 bits (4), information0 (2), information1 (4).
     */
    struct ScmEvent
    {
        enum Level : uint8_t
        {
            Warning = 2,
            Error = 3
        };
        static constexpr uint32_t ms_Length = 11u;
        static constexpr uint32_t ms_LevelOffset = 0u;
        static constexpr uint32_t ms_CodeOffset = 1u;
        static constexpr uint32_t ms_Information0Offset = 5u;
        static constexpr uint32_t ms_Information1Offset = 7u;
    };

/** Events posted per process; later ones are dropped. */
#define SCM_EVENT_BUDGET 4u

    /**
     * Post one event of level Warning or Error to the runtime-side event queue of the process's domain (opened on
     * first use and kept). At most SCM_EVENT_BUDGET events per process pass, whether or not they reach the queue;
     * a missing or full queue drops the event. They return nothing, never block and never throw.
     */
    void ScmLogWarning(uint16_t eventCode, uint16_t information0, uint32_t information1);
    void ScmLogError(uint16_t eventCode, uint16_t information0, uint32_t information1);

/** Code with which the self-verification reports a corrupted executable (bits 28 to 31 are 9: level 3). */
#define QDR_EVENT_EXECUTABLE_CORRUPTED 0x9000E202u

    /** What the self-verification registered: 0xE202 and its information, or 0 while nothing was registered. */
    extern uint32_t QdrEventCode;
    extern uint16_t QdrEventInfo0;
    extern uint32_t QdrEventInfo1;

    /**
     * Registration callback of the self-verification: derives a level (3 when bits 28 to 31 of the code are 9,
     * else 1 when bits 20 to 23 are 1, else 2) and calls Qdrevt_EnregisterEventLevel.
     */
    void Qdrevt_EnregisterEventInfo(uint32_t ulCode, uint16_t usInfo0, uint32_t ulInfo1);

    /**
     * Stores QDR_EVENT_EXECUTABLE_CORRUPTED as 0xE202 with its information in the registration globals; any other
     * code throws Util::CException(low 16 bits of the code, info0, info1) at once. The level is not used.
     */
    void Qdrevt_EnregisterEventLevel(uint32_t code, uint16_t info0, uint32_t info1, uint8_t level);

#ifdef __cplusplus
}
#endif

#endif
