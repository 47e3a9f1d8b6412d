// SNMT SN FAIL.
#include "Epls/CDecodedSnmtSnFail.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SnmtExtendedService.h"

namespace Epls
{
bool CDecodedSnmtSnFail::IsSnmtSnFail(std::uint16_t frameLength, const std::uint8_t* frame)
{
    return (GetId(frameLength, frame) == Id::SnmtExtendedServiceResponse) &&
           (GetSnmtExtendedService(frameLength, frame) == SnmtExtendedService::SnFail);
}

void CDecodedSnmtSnFail::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSnmtSnFail(*this);
}

std::uint16_t CDecodedSnmtSnFail::GetSafetyAddress() const
{
    return GetTadr();
}

std::uint8_t CDecodedSnmtSnFail::GetErrorGroup() const
{
    return GetDbs()[ms_ErrorGroupOffset];
}

std::uint8_t CDecodedSnmtSnFail::GetErrorCode() const
{
    return GetDbs()[ms_ErrorCodeOffset];
}
} // namespace Epls
