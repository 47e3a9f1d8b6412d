// Readers of the response selector and command field.
#include "Hmi/CDecodedResponse.h"

#include "Hmi/CResponseDecoderEventCode.h"
#include "Util/ByteOrder.h"
#include "Util/FileIdentifier.h"

namespace
{
constexpr std::uint32_t FileIdentifier = Util::GetFileIdentifier("CDecodedResponse.cpp");
} // namespace

namespace Hmi
{
CDecodedResponse::CDecodedResponse() : m_responseLength(0u), m_response(nullptr) {}

CDecodedResponse::~CDecodedResponse()
{
    m_response = nullptr;
}

void CDecodedResponse::Initialize(std::uint16_t responseLength, std::uint8_t* response)
{
    m_responseLength = responseLength;
    m_response = response;
}

void CDecodedResponse::CheckResponse(std::uint16_t responseLength, const std::uint8_t* response,
                                     std::uint32_t requiredLength)
{
    SCM_GUARD(response != nullptr);
    if (responseLength < requiredLength)
    {
        throw Util::CException(CResponseDecoderEventCode::ResponseTooShort, responseLength);
    }
}

std::uint32_t CDecodedResponse::GetSelector(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_ResponseLengthMin);
    return Util::GetLittleEndianUInt32(response, 0u);
}

std::uint16_t CDecodedResponse::GetCommand(std::uint16_t responseLength, const std::uint8_t* response)
{
    CheckResponse(responseLength, response, ms_ResponseLengthMin);
    return Util::GetLittleEndianUInt16(response, ms_CommandOffset);
}

std::uint16_t CDecodedResponse::GetResponseLength() const
{
    return m_responseLength;
}

std::uint8_t* CDecodedResponse::GetResponse() const
{
    return m_response;
}
} // namespace Hmi
