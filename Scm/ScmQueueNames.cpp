// The one place that forms queue names from the domain number and a base name.
#include "Scm/ScmQueueNames.h"

#include <cstdio>

namespace
{
// The side marker is "" for the runtime's side and "~" for the SCM's side: "/scm%04u/%s" and "/scm%04u/~%s".
const char* GetQualifiedQueueName(uint16_t safetyDomainNumber, const char* sideMarker, const char* name,
                                  char* qualifiedNameBuffer)
{
    if ((safetyDomainNumber < 1u) || (safetyDomainNumber > 1023u) || (sideMarker == nullptr) || (name == nullptr) ||
        (qualifiedNameBuffer == nullptr))
    {
        return nullptr;
    }
    // The longest name is 25 characters; callers pass buffers of SCM_QUEUE_NAME_BUFFER_LENGTH.
    (void)std::snprintf(qualifiedNameBuffer, SCM_QUEUE_NAME_BUFFER_LENGTH, "/scm%04u/%s%s",
                        static_cast<unsigned>(safetyDomainNumber), sideMarker, name);
    return qualifiedNameBuffer;
}

const char* GetQualifiedRuntimeQueueName(uint16_t safetyDomainNumber, const char* name, char* qualifiedNameBuffer)
{
    return GetQualifiedQueueName(safetyDomainNumber, "", name, qualifiedNameBuffer);
}

const char* GetQualifiedScmQueueName(uint16_t safetyDomainNumber, const char* name, char* qualifiedNameBuffer)
{
    return GetQualifiedQueueName(safetyDomainNumber, "~", name, qualifiedNameBuffer);
}

constexpr const char* UnlockRequest = "unlock-request";
constexpr const char* UnlockResponse = "unlock-response";
constexpr const char* FrameSend = "frame-send";
constexpr const char* FrameReceive = "frame-receive";
constexpr const char* Command = "command";
constexpr const char* Status = "status";
constexpr const char* Event = "event";
} // namespace

extern "C"
{
    const char* ScmGetUnlockRequestQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, UnlockRequest, nameBuffer);
    }
    const char* ScmGetUnlockRequestQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, UnlockRequest, nameBuffer);
    }
    const char* ScmGetUnlockResponseQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, UnlockResponse, nameBuffer);
    }
    const char* ScmGetUnlockResponseQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, UnlockResponse, nameBuffer);
    }
    const char* ScmGetFrameQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, FrameSend, nameBuffer);
    }
    const char* ScmGetFrameQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, FrameSend, nameBuffer);
    }
    const char* ScmGetFrameQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, FrameReceive, nameBuffer);
    }
    const char* ScmGetFrameQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, FrameReceive, nameBuffer);
    }
    const char* ScmGetCommandQueueFromRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, Command, nameBuffer);
    }
    const char* ScmGetCommandQueueToScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, Command, nameBuffer);
    }
    const char* ScmGetResponseQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, Status, nameBuffer);
    }
    const char* ScmGetResponseQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, Status, nameBuffer);
    }
    const char* ScmGetEventQueueFromScmName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedScmQueueName(safetyDomainNumber, Event, nameBuffer);
    }
    const char* ScmGetEventQueueToRuntimeName(uint16_t safetyDomainNumber, char* nameBuffer)
    {
        return GetQualifiedRuntimeQueueName(safetyDomainNumber, Event, nameBuffer);
    }
}
