// SSDO download, middle segment request: the SCM continues a segmented write.
#ifndef EPLS_CDECODEDSSDODOWNLOADMIDDLESEGMENTREQUEST_H
#define EPLS_CDECODEDSSDODOWNLOADMIDDLESEGMENTREQUEST_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x38 or 0x3A with a SOD access command of DownloadMiddleSegmentEven, DownloadMiddleSegmentOdd,
/// DownloadMiddleSegmentWithPreloadEven, DownloadMiddleSegmentWithPreloadOdd. Accessors raise 0xE200 on a frame that is
/// not initialised.
class CDecodedSsdoDownloadMiddleSegmentRequest : public CDecodedFrame
{
public:
    /// The payload the decoder requires (else 0xE2BF): the command byte.
    static constexpr std::uint8_t ms_LeMin = 1u;
    static constexpr std::uint32_t ms_PayloadDbOffset = 1u;

    /// Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsDecodedSsdoDownloadMiddleSegmentRequest(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSsdoDownloadMiddleSegmentRequest.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// ADR, the module the SCM addresses.
    std::uint16_t GetSafetyAddress() const;
    /// The data after the command byte (payload byte 1 on), in the caller's frame buffer.
    const std::uint8_t* GetParameterData() const;
    /// LE minus 1.
    std::uint8_t GetParameterDataLength() const;
};
} // namespace Epls

#endif
