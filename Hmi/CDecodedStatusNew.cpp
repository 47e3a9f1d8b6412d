// The newer status response and its fail-safe bit.
#include "Hmi/CDecodedStatusNew.h"

#include "Hmi/CDecodedResponseVisitor.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedStatusNew.cpp");
} // namespace

namespace Hmi
{
bool CDecodedStatusNew::IsStatusNew(std::uint16_t responseLength, const std::uint8_t* response)
{
    SCM_GUARD(response != nullptr);
    if (responseLength < ms_StatusNewLength)
    {
        return false;
    }
    return (GetSelector(responseLength, response) == ms_Selector) &&
           (GetCommand(responseLength, response) == ms_Command) && (GetData(responseLength, response) == ms_Data) &&
           (GetVersion(responseLength, response) == ms_Version1);
}

std::uint16_t CDecodedStatusNew::GetData(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusNewLength);
    return Util::GetLittleEndianUInt16(response, ms_DataOffset);
}

std::uint8_t CDecodedStatusNew::GetVersion(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusNewLength);
    return response[ms_VersionOffset];
}

std::uint16_t CDecodedStatusNew::GetStatus(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusNewLength);
    return Util::GetLittleEndianUInt16(response, ms_StatusOffset);
}

bool CDecodedStatusNew::GetFailSafeFlag(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_StatusNewLength);
    return (Util::GetLittleEndianUInt32(response, ms_BitFlags1Offset) & ms_FailSafeFlag) != 0u;
}

void CDecodedStatusNew::SetFailSafeFlag(std::uint16_t responseLength, std::uint8_t* rawResponse, bool checkerFailed)
{
    CheckResponse(responseLength, rawResponse, ms_StatusNewLength);
    if (checkerFailed)
    {
        const std::uint32_t bitFlags1 = Util::GetLittleEndianUInt32(rawResponse, ms_BitFlags1Offset);
        Util::SetLittleEndianUInt32(rawResponse, ms_BitFlags1Offset, bitFlags1 | ms_FailSafeFlag);
    }
}

void CDecodedStatusNew::Accept(CDecodedResponseVisitor& visitor)
{
    visitor.VisitStatusNew(*this);
}

std::uint16_t CDecodedStatusNew::GetStatus() const
{
    return GetStatus(GetResponseLength(), GetResponse());
}

bool CDecodedStatusNew::IsSuccessful() const
{
    return GetStatus() == 0u;
}

bool CDecodedStatusNew::GetFailSafeFlag() const
{
    return GetFailSafeFlag(GetResponseLength(), GetResponse());
}

bool CDecodedStatusNew::IsOk() const
{
    return !GetFailSafeFlag();
}

void CDecodedStatusNew::SetFailSafeFlag(bool checkerFailed)
{
    SetFailSafeFlag(GetResponseLength(), GetResponse(), checkerFailed);
}
} // namespace Hmi
