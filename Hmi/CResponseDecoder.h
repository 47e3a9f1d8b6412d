// Classifies a raw response from the SCM into the one object of its class.
#ifndef HMI_CRESPONSEDECODER_H
#define HMI_CRESPONSEDECODER_H

#include <cstdint>

#include "Hmi/CDecodedDiagnosis.h"
#include "Hmi/CDecodedStatus.h"
#include "Hmi/CDecodedStatusNew.h"
#include "Hmi/CDecodedUnknownResponse.h"

namespace Hmi
{
/// Owns one object of every decoded-response class and re-initialises one of them per response: nothing is
/// allocated per response, and a decoded response is valid until the next decode.
class CResponseDecoder
{
public:
    CResponseDecoder() = default;
    CResponseDecoder(const CResponseDecoder&) = delete;
    CResponseDecoder& operator=(const CResponseDecoder&) = delete;
    virtual ~CResponseDecoder() = default;

    /// New status first, then diagnosis, then the older status; anything else, a short response included, is
    /// CDecodedUnknownResponse. Raises 0xE200 for a null response and nothing else.
    CDecodedResponse& GetDecodedResponse(std::uint16_t responseLength, std::uint8_t* response);

private:
    CDecodedStatus m_status;
    CDecodedStatusNew m_statusNew;
    CDecodedDiagnosis m_diagnosis;
    CDecodedUnknownResponse m_unknownResponse;
};
} // namespace Hmi

#endif
