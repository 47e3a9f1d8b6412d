// SSDO download, end segment request: the SCM ends a segmented write.
#ifndef EPLS_CDECODEDSSDODOWNLOADENDSEGMENTREQUEST_H
#define EPLS_CDECODEDSSDODOWNLOADENDSEGMENTREQUEST_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x38 or 0x3A with a SOD access command of DownloadEndSegmentEven, DownloadEndSegmentOdd,
/// DownloadEndSegmentWithPreloadEven, DownloadEndSegmentWithPreloadOdd. Accessors raise 0xE200 on a frame that is not
/// initialised.
class CDecodedSsdoDownloadEndSegmentRequest : public CDecodedFrame
{
public:
    /// The payload the decoder requires (else 0xE2BF): the command byte.
    static constexpr std::uint8_t ms_LeMin = 1u;
    static constexpr std::uint32_t ms_PayloadDbOffset = 1u;

    /// Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsDecodedSsdoDownloadEndSegmentRequest(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSsdoDownloadEndSegmentRequest.
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
