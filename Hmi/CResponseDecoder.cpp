// Classification of responses from the SCM.
#include "Hmi/CResponseDecoder.h"

#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CResponseDecoder.cpp");
} // namespace

namespace Hmi
{
CDecodedResponse& CResponseDecoder::GetDecodedResponse(std::uint16_t responseLength, std::uint8_t* response)
{
    SCM_GUARD(response != nullptr);
    CDecodedResponse* decoded = &m_unknownResponse;
    // A 280-byte response that also meets every condition of the newer form is a new status.
    if (CDecodedStatusNew::IsStatusNew(responseLength, response))
    {
        decoded = &m_statusNew;
    }
    else if (CDecodedDiagnosis::IsDiagnosis(responseLength, response))
    {
        decoded = &m_diagnosis;
    }
    else if (CDecodedStatus::IsStatus(responseLength, response))
    {
        decoded = &m_status;
    }
    decoded->Initialize(responseLength, response);
    return *decoded;
}
} // namespace Hmi
