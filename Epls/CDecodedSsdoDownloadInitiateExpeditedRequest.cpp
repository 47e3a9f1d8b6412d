// SSDO download, initiate expedited request.
#include "Epls/CDecodedSsdoDownloadInitiateExpeditedRequest.h"

#include "Epls/CDecodedFrameVisitor.h"
#include "Epls/Id.h"
#include "Epls/SsdoSodAccessCommand.h"
#include "Util/ByteOrder.h"

namespace Epls
{
bool CDecodedSsdoDownloadInitiateExpeditedRequest::IsDecodedSsdoDownloadInitiateExpeditedRequest(
    std::uint16_t frameLength, const std::uint8_t* frame)
{
    const std::uint8_t id = GetId(frameLength, frame);
    if ((id != Id::SsdoServiceRequest) && (id != Id::SsdoServiceRequestSlim))
    {
        return false;
    }
    return GetSsdoSodAccessCommand(frameLength, frame) == SsdoSodAccessCommand::DownloadInitiateExpedited;
}

void CDecodedSsdoDownloadInitiateExpeditedRequest::Accept(CDecodedFrameVisitor& visitor) const
{
    visitor.VisitSsdoDownloadInitiateExpeditedRequest(*this);
}

std::uint16_t CDecodedSsdoDownloadInitiateExpeditedRequest::GetSafetyAddress() const
{
    return GetAdr();
}

std::uint16_t CDecodedSsdoDownloadInitiateExpeditedRequest::GetIndex() const
{
    return Util::GetLittleEndianUInt16(GetDbs(), ms_IndexDbOffset);
}

std::uint8_t CDecodedSsdoDownloadInitiateExpeditedRequest::GetSubIndex() const
{
    return GetDbs()[ms_SubIndexDbOffset];
}

const std::uint8_t* CDecodedSsdoDownloadInitiateExpeditedRequest::GetParameterData() const
{
    return GetDbs() + ms_PayloadDbOffset;
}

std::uint8_t CDecodedSsdoDownloadInitiateExpeditedRequest::GetParameterDataLength() const
{
    return static_cast<std::uint8_t>(GetLe() - ms_PayloadDbOffset);
}
} // namespace Epls
