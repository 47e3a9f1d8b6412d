// SSDO upload, initiate expedited response: a module returns one object in one frame.
#ifndef EPLS_CDECODEDSSDOUPLOADINITIATEEXPEDITEDRESPONSE_H
#define EPLS_CDECODEDSSDOUPLOADINITIATEEXPEDITEDRESPONSE_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x39 or 0x3B with a SOD access command of UploadInitiateExpedited. Accessors raise 0xE200 on a frame
/// that is not initialised.
class CDecodedSsdoUploadInitiateExpeditedResponse : public CDecodedFrame
{
public:
    /// The payload the decoder requires (else 0xE2BF): command, index and sub-index.
    static constexpr std::uint8_t ms_LeMin = 4u;
    static constexpr std::uint32_t ms_IndexDbOffset = 1u;
    static constexpr std::uint32_t ms_SubIndexDbOffset = 3u;
    static constexpr std::uint32_t ms_PayloadDbOffset = 4u;

    /// Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsDecodedSsdoUploadInitiateExpeditedResponse(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSsdoUploadInitiateExpeditedResponse.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// TADR, the module that answers.
    std::uint16_t GetSafetyAddress() const;
    /// SOD index, little-endian at payload bytes 1 and 2.
    std::uint16_t GetIndex() const;
    /// SOD sub-index, payload byte 3.
    std::uint8_t GetSubIndex() const;
    /// The data after the sub-index (payload byte 4 on), in the caller's frame buffer.
    const std::uint8_t* GetParameterData() const;
    /// LE minus 4.
    std::uint8_t GetParameterDataLength() const;
};
} // namespace Epls

#endif
