// Classifies a raw operator command into the one object of its class.
#ifndef HMI_CCOMMANDDECODER_H
#define HMI_CCOMMANDDECODER_H

#include <cstdint>

#include "Hmi/CDecodedAcknowledgeFirmware.h"
#include "Hmi/CDecodedAcknowledgeModules.h"
#include "Hmi/CDecodedAcknowledgeTessera.h"
#include "Hmi/CDecodedActivateSetupMode.h"
#include "Hmi/CDecodedChangePassword.h"
#include "Hmi/CDecodedDeactivateSetupMode.h"
#include "Hmi/CDecodedRequestStatus.h"
#include "Hmi/CDecodedUnknownCommand.h"

namespace Hmi
{
/// Owns one object of every decoded-command class and re-initialises one of them per command: nothing is
/// allocated per command, and a decoded command is valid until the next decode and while the caller's buffer
/// holds it.
class CCommandDecoder
{
public:
    CCommandDecoder() = default;
    CCommandDecoder(const CCommandDecoder&) = delete;
    CCommandDecoder& operator=(const CCommandDecoder&) = delete;
    virtual ~CCommandDecoder() = default;

    /// Classifies by selector, command and data field; anything unknown becomes CDecodedUnknownCommand. Raises
    /// 0xE200 for a null command and 0xE2C6 (information1 = commandLength) for one shorter than 26 bytes, so a
    /// command of length 0 never decodes. A change-password command of 26 to 41 bytes decodes; only reading its
    /// new password raises 0xE2C6.
    const CDecodedCommand& GetDecodedCommand(std::uint8_t commandLength, const std::uint8_t* command);

private:
    CDecodedChangePassword m_changePassword;
    CDecodedAcknowledgeTessera m_acknowledgeTessera;
    CDecodedAcknowledgeModules m_acknowledgeModules;
    CDecodedAcknowledgeFirmware m_acknowledgeFirmware;
    CDecodedRequestStatus m_requestStatus;
    CDecodedActivateSetupMode m_activateSetupMode;
    CDecodedDeactivateSetupMode m_deactivateSetupMode;
    CDecodedUnknownCommand m_unknownCommand;
};
} // namespace Hmi

#endif
