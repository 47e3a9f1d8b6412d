// The older status response and the rewriting of its fail-safe flags.
#include "Hmi/CDecodedStatus.h"

#include "Hmi/CDecodedResponseVisitor.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedStatus.cpp");
} // namespace

namespace Hmi
{
bool CDecodedStatus::IsStatus(std::uint16_t responseLength, const std::uint8_t* response)
{
    SCM_GUARD(response != nullptr);
    if (responseLength < ms_StatusLength)
    {
        return false;
    }
    return GetSelector(responseLength, response) == ms_Selector;
}

std::uint16_t CDecodedStatus::GetStatus(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusLength);
    return Util::GetLittleEndianUInt16(response, ms_StatusOffset);
}

std::uint8_t CDecodedStatus::GetFailSafeFlags(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusLength);
    return response[ms_FailSafeFlagsOffset];
}

void CDecodedStatus::SetFailSafeFlags(std::uint16_t responseLength, std::uint8_t* rawResponse, bool checkerFailed)
{
    CheckResponse(responseLength, rawResponse, ms_StatusLength);
    std::uint8_t& flags = rawResponse[ms_FailSafeFlagsOffset];
    if (flags == ms_Ok)
    {
        if (checkerFailed)
        {
            flags = ms_CheckerFailSafeFlag;
        }
    }
    else
    {
        // Whatever the SCM wrote, it is not "ok": the runtime is told that the SCM is fail-safe.
        flags =
            checkerFailed ? static_cast<std::uint8_t>(ms_ScmFailSafeFlag | ms_CheckerFailSafeFlag) : ms_ScmFailSafeFlag;
    }
}

void CDecodedStatus::Accept(CDecodedResponseVisitor& visitor)
{
    visitor.VisitStatus(*this);
}

std::uint16_t CDecodedStatus::GetStatus() const
{
    return GetStatus(GetResponseLength(), GetResponse());
}

bool CDecodedStatus::IsSuccessful() const
{
    return GetStatus() == 0u;
}

std::uint8_t CDecodedStatus::GetFailSafeFlags() const
{
    return GetFailSafeFlags(GetResponseLength(), GetResponse());
}

bool CDecodedStatus::IsOk() const
{
    return GetFailSafeFlags() == ms_Ok;
}

void CDecodedStatus::SetFailSafeFlags(bool checkerFailed)
{
    SetFailSafeFlags(GetResponseLength(), GetResponse(), checkerFailed);
}
} // namespace Hmi
