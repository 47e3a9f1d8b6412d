// Classifies a raw safety frame, verifies and decodes it into the one object of its class.
#ifndef EPLS_CFRAMEDECODER_H
#define EPLS_CFRAMEDECODER_H

#include <cstdint>

#include "Epls/CDecodedSnmtAssignSadr.h"
#include "Epls/CDecodedSnmtAssignUdidScm.h"
#include "Epls/CDecodedSnmtResponseUdid.h"
#include "Epls/CDecodedSnmtSadrAssigned.h"
#include "Epls/CDecodedSnmtSnAck.h"
#include "Epls/CDecodedSnmtSnFail.h"
#include "Epls/CDecodedSnmtSnSetToOp.h"
#include "Epls/CDecodedSsdoDownloadEndSegmentRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateExpeditedRequest.h"
#include "Epls/CDecodedSsdoDownloadInitiateSegmentedRequest.h"
#include "Epls/CDecodedSsdoDownloadMiddleSegmentRequest.h"
#include "Epls/CDecodedSsdoUploadEndSegmentResponse.h"
#include "Epls/CDecodedSsdoUploadInitiateExpeditedResponse.h"
#include "Epls/CDecodedSsdoUploadInitiateSegmentedResponse.h"
#include "Epls/CDecodedSsdoUploadMiddleSegmentResponse.h"
#include "Epls/CDecodedUnknownFrame.h"

namespace Epls
{
/// Owns one object of every decoded-frame class and re-initialises one of them per frame: nothing is allocated
/// per frame, and a decoded frame is valid only until the next decode and while the caller's buffer holds it.
class CFrameDecoder
{
public:
    CFrameDecoder() = default;
    CFrameDecoder(const CFrameDecoder&) = delete;
    CFrameDecoder& operator=(const CFrameDecoder&) = delete;
    virtual ~CFrameDecoder() = default;

    /// Decodes an SNMT or SSDO frame of frameLength bytes (the caller guarantees that many bytes at frame, and they
    /// must be exactly the frame that LE describes). SSDO frames are decoded with scmUdid (6 bytes), SNMT frames
    /// with the zero UDID. A frame of either group that matches no known class is verified all the same and returned as
    /// CDecodedUnknownFrame.
    /// Raises 0xE200 (null frame, or null scmUdid on an SSDO frame), 0xE2BE (fewer than 11 bytes, information1 =
    /// frameLength), 0xE2BF (more or fewer bytes than LE requires, or an LE too short for what the frame's class reads:
    /// a classifying service or command byte needs 1, a UDID 6, the SCM UDID 7, error group and code 3, an initiate
    /// frame 4, a segmented initiate frame 8, a segment 1), 0xE2C0 (CRC mismatch), 0xE2C1 (payload copies differ),
    /// 0xE2C2 (SPDO frame), 0xE2C3 (any other group, information1 = the frame identifier).
    const CDecodedFrame& GetDecodedFrame(std::uint16_t frameLength, const std::uint8_t* frame,
                                         const std::uint8_t* scmUdid);

private:
    /// The object of a class slot of the classification tables; the unknown frame for any other value.
    CDecodedFrame& GetFrameObject(std::uint8_t slot);

    CDecodedSnmtAssignSadr m_snmtAssignSadr;
    CDecodedSnmtAssignUdidScm m_snmtAssignUdidScm;
    CDecodedSnmtResponseUdid m_snmtResponseUdid;
    CDecodedSnmtSadrAssigned m_snmtSadrAssigned;
    CDecodedSnmtSnSetToOp m_snmtSnSetToOp;
    CDecodedSnmtSnFail m_snmtSnFail;
    CDecodedSnmtSnAck m_snmtSnAck;
    CDecodedSsdoUploadInitiateExpeditedResponse m_ssdoUploadInitiateExpeditedResponse;
    CDecodedSsdoUploadInitiateSegmentedResponse m_ssdoUploadInitiateSegmentedResponse;
    CDecodedSsdoUploadMiddleSegmentResponse m_ssdoUploadMiddleSegmentResponse;
    CDecodedSsdoUploadEndSegmentResponse m_ssdoUploadEndSegmentResponse;
    CDecodedSsdoDownloadInitiateExpeditedRequest m_ssdoDownloadInitiateExpeditedRequest;
    CDecodedSsdoDownloadInitiateSegmentedRequest m_ssdoDownloadInitiateSegmentedRequest;
    CDecodedSsdoDownloadMiddleSegmentRequest m_ssdoDownloadMiddleSegmentRequest;
    CDecodedSsdoDownloadEndSegmentRequest m_ssdoDownloadEndSegmentRequest;
    CDecodedUnknownFrame m_unknownFrame;
};
} // namespace Epls

#endif
