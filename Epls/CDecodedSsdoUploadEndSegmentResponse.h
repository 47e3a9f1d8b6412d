// SSDO upload, end segment response: a module ends a segmented upload.
#ifndef EPLS_CDECODEDSSDOUPLOADENDSEGMENTRESPONSE_H
#define EPLS_CDECODEDSSDOUPLOADENDSEGMENTRESPONSE_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x39 or 0x3B with a SOD access command of UploadEndSegmentEven, UploadEndSegmentOdd,
/// UploadEndSegmentWithPreloadEven, UploadEndSegmentWithPreloadOdd. Accessors raise 0xE200 on a frame that is not
/// initialised.
class CDecodedSsdoUploadEndSegmentResponse : public CDecodedFrame
{
public:
    /// The payload the decoder requires (else 0xE2BF): the command byte.
    static constexpr std::uint8_t ms_LeMin = 1u;
    static constexpr std::uint32_t ms_PayloadDbOffset = 1u;

    /// Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsDecodedSsdoUploadEndSegmentResponse(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSsdoUploadEndSegmentResponse.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// TADR, the module that answers.
    std::uint16_t GetSafetyAddress() const;
    /// The data after the command byte (payload byte 1 on), in the caller's frame buffer.
    const std::uint8_t* GetParameterData() const;
    /// LE minus 1.
    std::uint8_t GetParameterDataLength() const;
};
} // namespace Epls

#endif
