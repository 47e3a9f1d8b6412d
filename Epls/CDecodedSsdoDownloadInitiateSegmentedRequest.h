// SSDO download, initiate segmented request: the SCM starts writing an object in segments.
#ifndef EPLS_CDECODEDSSDODOWNLOADINITIATESEGMENTEDREQUEST_H
#define EPLS_CDECODEDSSDODOWNLOADINITIATESEGMENTEDREQUEST_H

#include <cstdint>

#include "Epls/CDecodedFrame.h"

namespace Epls
{
/// Chosen for ID 0x38 or 0x3A with a SOD access command of DownloadInitiateSegmented,
/// DownloadInitiateSegmentedWithPreload. Accessors raise 0xE200 on a frame that is not initialised.
class CDecodedSsdoDownloadInitiateSegmentedRequest : public CDecodedFrame
{
public:
    /// The payload the decoder requires (else 0xE2BF): command, index, sub-index and the 4-byte total length.
    static constexpr std::uint8_t ms_LeMin = 8u;
    static constexpr std::uint32_t ms_IndexDbOffset = 1u;
    static constexpr std::uint32_t ms_SubIndexDbOffset = 3u;
    static constexpr std::uint32_t ms_PayloadDbOffset = 4u;

    /// Raises 0xE200 for a null frame and 0xE2BE for one shorter than 11 bytes.
    static bool IsDecodedSsdoDownloadInitiateSegmentedRequest(std::uint16_t frameLength, const std::uint8_t* frame);

    /// Calls VisitSsdoDownloadInitiateSegmentedRequest.
    void Accept(CDecodedFrameVisitor& visitor) const override;
    /// ADR, the module the SCM addresses.
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
