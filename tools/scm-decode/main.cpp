// scm-decode: decodes safety frames, operator commands, responses and events given as hex, as the checker does.
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/Cli/CommandLine.h"
#include "support/Messages/Bytes.h"
#include "tools/scm-decode/MessageFormat.h"

namespace
{
constexpr int ExitDecoded = 0;
constexpr int ExitRefused = 1;

const char* const Usage = R"(Usage: scm-decode frame [--scm-udid HEX12] [HEX...]
   or: scm-decode command [HEX...]
   or: scm-decode response [HEX...]
   or: scm-decode event [HEX...]
   or: scm-decode --help | --version

Decodes each message exactly as the SCM checker does and prints one line of key=value pairs per message. Each
HEX argument is one message; without arguments, messages are read from standard input, one per line (empty
lines are skipped). Hex digits may be of either case; spaces, ':' and '-' between bytes are ignored.

frame     an openSAFETY SNMT or SSDO frame (sub-frame 1 followed by sub-frame 2). --scm-udid gives the UDID of
          the SCM (12 hex digits, zero by default) with which sub-frame 2 of SSDO frames is keyed.
          class= id= adr= sdn= le= ct= tadr= tr=, then the class's own accessors: sadr= (the module the frame is
          about), udid=, scm_udid=, service=, error_group=, error_code=, command= (SOD access command),
          index=, subindex=, data= (exactly the parameter data the checker's inspectors see). A verified frame
          of a kind the checker does not inspect is class=CDecodedUnknownFrame, with service= or command= when
          it has a payload.
command   an operator command: class= selector= command= number= data= password=, and new_password= or count=.
response  a response from the SCM, shown as received: class= length= selector= command=, then status=
          successful= fail_safe_flags= ok= (status), status= successful= fail_safe_flag= ok= (new status), or
          version= data= objects= and index<i>= subindex<i>= error<i>= value<i>= per object (diagnosis).
event     an 11-byte event record: class= level= code= info0= info1=, and kind= and count= for
          acknowledgements.

A message the checker refuses prints its event code instead, e.g.
  error=0xE2C0 name=InvalidCrc info0=0 info1=0

Numbers are decimal, except event codes, frame identifiers, object indices, commands and the command's data
field, which are 0x-prefixed upper-case hex; byte strings (UDIDs, passwords, data) are contiguous lower-case
hex. Flags print as 0 or 1.

--version prints the version and the checker's revision number.

Exit status: 0 when every message decoded, 1 when the checker refused any, 2 on a usage error (unknown kind,
bad option, malformed hex, a message too long for its kind).
)";

enum class Kind
{
    Frame,
    Command,
    Response,
    Event
};

int UsageError(const std::string& message)
{
    return Support::ReportUsageError("scm-decode", message);
}

std::size_t GetLengthMax(Kind kind)
{
    return ((kind == Kind::Command) || (kind == Kind::Event)) ? 255u : 65535u;
}

ScmDecode::CDecodeResult Format(Kind kind, const Support::Bytes& message, const Support::Udid& scmUdid)
{
    switch (kind)
    {
    case Kind::Frame:
        return ScmDecode::FormatFrame(message, scmUdid);
    case Kind::Command:
        return ScmDecode::FormatCommand(message);
    case Kind::Response:
        return ScmDecode::FormatResponse(message);
    case Kind::Event:
        break;
    }
    return ScmDecode::FormatEvent(message);
}
} // namespace

int main(int argc, char** argv)
{
    std::string scmUdidText;
    std::vector<std::string> messages;
    CLI::App app("", "scm-decode");
    app.require_subcommand(1);
    const std::pair<const char*, Kind> kinds[] = {
        {"frame", Kind::Frame}, {"command", Kind::Command}, {"response", Kind::Response}, {"event", Kind::Event}};
    for (const auto& [name, kind] : kinds)
    {
        CLI::App* subcommand = app.add_subcommand(name);
        subcommand->add_option("HEX", messages);
        if (kind == Kind::Frame)
        {
            subcommand->add_option("--scm-udid", scmUdidText);
        }
    }
    if (const std::optional<int> exitStatus = Support::ParseCommandLine(app, "scm-decode", Usage, argc, argv))
    {
        return *exitStatus;
    }
    Kind kind = Kind::Frame;
    for (const auto& [name, candidate] : kinds)
    {
        if (app.got_subcommand(name))
        {
            kind = candidate;
        }
    }
    Support::Udid scmUdid{};
    if (!scmUdidText.empty())
    {
        try
        {
            scmUdid = Support::UdidFromHex(scmUdidText);
        }
        catch (const std::invalid_argument& error)
        {
            return UsageError(std::string("--scm-udid: ") + error.what());
        }
    }
    const bool fromStandardInput = messages.empty();
    if (fromStandardInput)
    {
        std::string line;
        while (std::getline(std::cin, line))
        {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
            {
                messages.push_back(line);
            }
        }
    }

    int status = ExitDecoded;
    for (const std::string& text : messages)
    {
        Support::Bytes message;
        try
        {
            std::string hex = text;
            if (!hex.empty() && (hex.back() == '\r'))
            {
                hex.pop_back();
            }
            message = Support::FromHex(hex);
        }
        catch (const std::invalid_argument& error)
        {
            return UsageError("'" + text + "': " + error.what());
        }
        if (message.size() > GetLengthMax(kind))
        {
            return UsageError("'" + text + "': longer than " + std::to_string(GetLengthMax(kind)) + " bytes");
        }
        const ScmDecode::CDecodeResult result = Format(kind, message, scmUdid);
        std::cout << result.m_line << '\n';
        if (result.m_refused)
        {
            status = ExitRefused;
        }
    }
    std::cout.flush();
    return status;
}
