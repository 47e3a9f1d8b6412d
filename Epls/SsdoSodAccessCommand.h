// SOD access commands of SSDO frames, named by their first payload byte.
#ifndef EPLS_SSDOSODACCESSCOMMAND_H
#define EPLS_SSDOSODACCESSCOMMAND_H

#include <cstdint>

namespace Epls
{
/// Bit 0 tells a download from an upload, bit 1 a preload, bit 3 a segmented transfer, bit 4 the toggle of a
/// segment, bit 5 an initiate frame and bit 6 an end segment.
struct SsdoSodAccessCommand
{
    enum Code : std::uint8_t
    {
        UploadInitiateExpedited = 0x20u,
        DownloadInitiateExpedited = 0x21u,
        UploadInitiateSegmented = 0x28u,
        DownloadInitiateSegmented = 0x29u,
        UploadInitiateSegmentedWithPreload = 0x2Au,
        DownloadInitiateSegmentedWithPreload = 0x2Bu,
        UploadMiddleSegmentEven = 0x08u,
        DownloadMiddleSegmentEven = 0x09u,
        UploadMiddleSegmentWithPreloadEven = 0x0Au,
        DownloadMiddleSegmentWithPreloadEven = 0x0Bu,
        UploadMiddleSegmentOdd = 0x18u,
        DownloadMiddleSegmentOdd = 0x19u,
        UploadMiddleSegmentWithPreloadOdd = 0x1Au,
        DownloadMiddleSegmentWithPreloadOdd = 0x1Bu,
        UploadEndSegmentEven = 0x48u,
        DownloadEndSegmentEven = 0x49u,
        UploadEndSegmentWithPreloadEven = 0x4Au,
        DownloadEndSegmentWithPreloadEven = 0x4Bu,
        UploadEndSegmentOdd = 0x58u,
        DownloadEndSegmentOdd = 0x59u,
        UploadEndSegmentWithPreloadOdd = 0x5Au,
        DownloadEndSegmentWithPreloadOdd = 0x5Bu,
    };
};
} // namespace Epls

#endif
