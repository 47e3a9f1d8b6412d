// One line of key=value pairs per message, as scm-decode prints it.
#ifndef TOOLS_SCM_DECODE_MESSAGEFORMAT_H
#define TOOLS_SCM_DECODE_MESSAGEFORMAT_H

#include <string>

#include "support/Messages/Bytes.h"

namespace ScmDecode
{
/// The line for one message, and whether the checker refused it.
struct CDecodeResult
{
    std::string m_line;
    bool m_refused;
};

/// Decodes a safety frame as the checker does, SSDO frames with scmUdid. The caller keeps the frame within
/// 65535 bytes.
CDecodeResult FormatFrame(const Support::Bytes& frame, const Support::Udid& scmUdid);
/// Decodes an operator command; the caller keeps it within 255 bytes.
CDecodeResult FormatCommand(const Support::Bytes& command);
/// Decodes a response from the SCM, without changing it; the caller keeps it within 65535 bytes.
CDecodeResult FormatResponse(const Support::Bytes& response);
/// Decodes an event record; the caller keeps it within 255 bytes.
CDecodeResult FormatEvent(const Support::Bytes& event);
} // namespace ScmDecode

#endif
