// The fourteen queues of a domain with the longest message of each flow, and the two hand-over semaphores.
#include "support/Provision/QueueFlows.h"

#include <stdexcept>

namespace Support
{
const std::array<CQueueFlow, QueueCount>& GetQueueFlows()
{
    static const std::array<CQueueFlow, QueueCount> flows = {{
        {ScmGetUnlockRequestQueueFromRuntimeName, UnlockMessageLengthMax},
        {ScmGetUnlockRequestQueueToScmName, UnlockMessageLengthMax},
        {ScmGetUnlockResponseQueueFromScmName, UnlockMessageLengthMax},
        {ScmGetUnlockResponseQueueToRuntimeName, UnlockMessageLengthMax},
        {ScmGetFrameQueueFromRuntimeName, FrameLengthMax},
        {ScmGetFrameQueueToScmName, FrameLengthMax},
        {ScmGetFrameQueueFromScmName, FrameLengthMax},
        {ScmGetFrameQueueToRuntimeName, FrameLengthMax},
        {ScmGetCommandQueueFromRuntimeName, CommandLengthMax},
        {ScmGetCommandQueueToScmName, CommandLengthMax},
        {ScmGetResponseQueueFromScmName, ResponseLengthMax},
        {ScmGetResponseQueueToRuntimeName, ResponseLengthMax},
        {ScmGetEventQueueFromScmName, EventLengthMax},
        {ScmGetEventQueueToRuntimeName, EventLengthMax},
    }};
    return flows;
}

std::string GetQueueName(const CQueueFlow& flow, std::uint16_t safetyDomainNumber)
{
    char name[SCM_QUEUE_NAME_BUFFER_LENGTH] = {};
    if (flow.m_nameFunction(safetyDomainNumber, name) == nullptr)
    {
        throw std::invalid_argument("safety domain number outside 1 to 1023: " + std::to_string(safetyDomainNumber));
    }
    return name;
}

std::string GetToScmSemaphoreName(std::uint16_t safetyDomainNumber)
{
    return GetQueueName({ScmGetFrameQueueToScmName, FrameLengthMax}, safetyDomainNumber);
}

std::string GetFromScmSemaphoreName(std::uint16_t safetyDomainNumber)
{
    return GetQueueName({ScmGetFrameQueueFromScmName, FrameLengthMax}, safetyDomainNumber);
}
} // namespace Support
