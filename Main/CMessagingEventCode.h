// Event codes of the queue relay.
#ifndef MAIN_CMESSAGINGEVENTCODE_H
#define MAIN_CMESSAGINGEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CMessagingEventCode
{
    enum Enum : std::uint16_t
    {
        OpenFailed = ScmMessagingOpenFailed, ///< a queue could not be opened; information1 = errno
        InformationFailed =
            ScmMessagingInformationFailed,         ///< queue information could not be read; information1 = errno
        ReceiveFailed = ScmMessagingReceiveFailed, ///< receive failed; information1 = errno
        SendFailed = ScmMessagingSendFailed,       ///< send failed; information1 = errno
        QueueFull = ScmMessagingQueueFull, ///< frames from the SCM dropped, the runtime's frame queue being full
                                           ///< (warning); information1 = number dropped
    };
};
} // namespace Main

#endif
