// Classification of operator commands.
#include "Hmi/CCommandDecoder.h"

namespace Hmi
{
const CDecodedCommand& CCommandDecoder::GetDecodedCommand(std::uint8_t commandLength, const std::uint8_t* command)
{
    CDecodedCommand* decoded = &m_unknownCommand;
    if (CDecodedChangePassword::IsChangePassword(commandLength, command))
    {
        decoded = &m_changePassword;
    }
    else if (CDecodedAcknowledgeTessera::IsAcknowledgeTessera(commandLength, command))
    {
        decoded = &m_acknowledgeTessera;
    }
    else if (CDecodedAcknowledgeModules::IsAcknowledgeModules(commandLength, command))
    {
        decoded = &m_acknowledgeModules;
    }
    else if (CDecodedAcknowledgeFirmware::IsAcknowledgeFirmware(commandLength, command))
    {
        decoded = &m_acknowledgeFirmware;
    }
    else if (CDecodedRequestStatus::IsRequestStatus(commandLength, command))
    {
        decoded = &m_requestStatus;
    }
    else if (CDecodedActivateSetupMode::IsActivateSetupMode(commandLength, command))
    {
        decoded = &m_activateSetupMode;
    }
    else if (CDecodedDeactivateSetupMode::IsDeactivateSetupMode(commandLength, command))
    {
        decoded = &m_deactivateSetupMode;
    }
    decoded->Initialize(commandLength, command);
    return *decoded;
}
} // namespace Hmi
