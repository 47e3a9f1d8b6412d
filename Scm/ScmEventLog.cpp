// Event logging within the process's budget of four events, and event registration.
#include "Scm/ScmEventLog.h"

#include <atomic>
#include <cstring>

#include "Scm/ScmCheckerEventCode.h"
#include "Scm/ScmQueueNames.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "eventLogLib.h"
#include "msgQLib.h"

extern "C"
{
    uint32_t QdrEventCode = 0u;
    uint16_t QdrEventInfo0 = 0u;
    uint32_t QdrEventInfo1 = 0u;
}

namespace
{
constexpr uint32_t EventSinceErrorCountMax = SCM_EVENT_BUDGET - 1u;

// The start-up task, the check task and the unlock-timeout task all post events: the counter and the lazily
// opened handle are atomics, so that exactly the first four calls pass and only one handle is kept.
std::atomic<uint32_t> eventSinceErrorCount{0u};
std::atomic<MSG_Q_ID> eventQueueId{nullptr};

bool TryTakeFromBudget()
{
    uint32_t count = eventSinceErrorCount.load();
    do
    {
        if (count > EventSinceErrorCountMax)
        {
            return false;
        }
    } while (!eventSinceErrorCount.compare_exchange_weak(count, count + 1u));
    return true;
}

MSG_Q_ID GetEventQueue()
{
    MSG_Q_ID queue = eventQueueId.load();
    if (queue != nullptr)
    {
        return queue;
    }
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    if (ScmGetEventQueueToRuntimeName(GetSafetyDomainNumber(), name) == nullptr)
    {
        return nullptr;
    }
    MSG_Q_ID opened = msgQOpen(name, 0u, 0u, 0, 0, nullptr);
    if (opened == nullptr)
    {
        return nullptr;
    }
    MSG_Q_ID expected = nullptr;
    if (!eventQueueId.compare_exchange_strong(expected, opened))
    {
        // Another task opened it meanwhile: keep that handle.
        (void)msgQDelete(opened);
        return expected;
    }
    return opened;
}

// Every event goes to the domain's event log, also past the budget, so that the reason for a fail-safe is kept
// even when earlier warnings have used up what the runtime's event queue may carry.
void PostEvent(ScmEvent::Level level, uint16_t eventCode, uint16_t information0, uint32_t information1)
{
    uint8_t event[ScmEvent::ms_Length] = {};
    event[ScmEvent::ms_LevelOffset] = level;
    Util::SetLittleEndianUInt32(event, ScmEvent::ms_CodeOffset, eventCode);
    Util::SetLittleEndianUInt16(event, ScmEvent::ms_Information0Offset, information0);
    Util::SetLittleEndianUInt32(event, ScmEvent::ms_Information1Offset, information1);
    (void)eventLogAppend(GetSafetyDomainNumber(), event, sizeof(event));
    if (!TryTakeFromBudget())
    {
        return;
    }
    MSG_Q_ID queue = GetEventQueue();
    if (queue == nullptr)
    {
        return;
    }
    (void)msgQSend(queue, reinterpret_cast<const char*>(event), sizeof(event), NO_WAIT, MSG_PRI_NORMAL);
}
} // namespace

extern "C" void ScmLogWarning(uint16_t eventCode, uint16_t information0, uint32_t information1)
{
    PostEvent(ScmEvent::Warning, eventCode, information0, information1);
}

extern "C" void ScmLogError(uint16_t eventCode, uint16_t information0, uint32_t information1)
{
    PostEvent(ScmEvent::Error, eventCode, information0, information1);
}

extern "C" void Qdrevt_EnregisterEventInfo(uint32_t ulCode, uint16_t usInfo0, uint32_t ulInfo1)
{
    uint8_t level = 2u;
    if (((ulCode >> 28) & 0xFu) == 9u)
    {
        level = 3u;
    }
    else if (((ulCode >> 20) & 0xFu) == 1u)
    {
        level = 1u;
    }
    Qdrevt_EnregisterEventLevel(ulCode, usInfo0, ulInfo1, level);
}

extern "C" void Qdrevt_EnregisterEventLevel(uint32_t code, uint16_t info0, uint32_t info1, uint8_t level)
{
    (void)level;
    if (code != QDR_EVENT_EXECUTABLE_CORRUPTED)
    {
        throw Util::CException(static_cast<uint16_t>(code), info0, info1);
    }
    QdrEventCode = ScmStartExecutableCorrupted;
    QdrEventInfo0 = info0;
    QdrEventInfo1 = info1;
}
