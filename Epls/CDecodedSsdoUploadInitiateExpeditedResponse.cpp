// SSDO upload, initiate expedited response.
#include "Epls/CDecodedSsdoUploadInitiateExpeditedResponse.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/ByteOrder.h"

namespace Epls
{
bool CDecodedSsdoUploadInitiateExpeditedResponse::IsDecodedSsdoUploadInitiateExpeditedResponse(
    std::uint16_t frameLength, const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceResponse) && (id != Id::SsdoServiceResponseSlim))
    {
        return false;
    }
    return GetSsdoSodAccessCommand(frameLength, frame) == SsdoSodAccessCommand::UploadInitiateExpedited;
}

void CDecodedSsdoUploadInitiateExpeditedResponse::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoUploadInitiateExpeditedResponse(*this);
}

std::uint16_t CDecodedSsdoUploadInitiateExpeditedResponse::GetSafetyAddress() const
{
    return GetTadr();
}

std::uint16_t CDecodedSsdoUploadInitiateExpeditedResponse::GetIndex() const
{
    return Util::GetLittleEndianUInt16(GetDbs(), ms_IndexDbOffset);
}

std::uint8_t CDecodedSsdoUploadInitiateExpeditedResponse::GetSubIndex() const
{
    return GetDbs()[ms_SubIndexDbOffset];
}

const std::uint8_t* CDecodedSsdoUploadInitiateExpeditedResponse::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoUploadInitiateExpeditedResponse::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
