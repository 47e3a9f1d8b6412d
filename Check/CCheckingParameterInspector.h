// Parameter inspector: reassembles module parameter checksums from uploads and downloads and releases matching modules.
#ifndef CHECK_CCHECKINGPARAMETERINSPECTOR_H
#define CHECK_CCHECKINGPARAMETERINSPECTOR_H

#include <array>
#include <cstdint>

#include "Check/CParameterInspector.h"
#include "Epls/CDecodedFrameVisitor.h"
#include "Param/SafetyAddress.h"

namespace Check
{
class CParameterChecker;

/// The checksum (object 0x1018 sub-index 6) is taken from the module's upload answers, expedited or segmented, and
/// from the parameter set (object 0x101A sub-index 0) that the SCM downloads, where the 0x1018/6 entry is found by
/// scanning the stream of entries (index uint16, sub-index uint8, data length uint32, data) across frames. Every
/// completed checksum is published to the checker. An SN set to operational is refused with 0xE2E6 (information0 =
/// the address, information1 = the module flags) unless a checksum was seen since the module's last SADR
/// assignment and the checker finds it valid; IsValid() is false for good from then on. Raises 0xE2E4
/// (information0 = the address) when an upload segment would take the checksum past 256 bytes (information1 = the
/// segment's data length) or a downloaded checksum entry declares more than 256 bytes (information1 = the declared
/// length); 0xE200 for a safety address outside 1..1023 in a handled frame. Exceptions of the checker pass unchanged.
/// A segmented transfer, upload or download, is followed from its initiate frame to its end segment whatever its CTs
/// (0 included); a frame with the CT of the last one taken is a repetition and ignored, and so is a middle or end
/// segment with no segmented transfer running; an expedited transfer ends a running one.
class CCheckingParameterInspector : public CParameterInspector, public Epls::CDecodedFrameVisitor
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint32_t ms_ChecksumLengthMax = 256u;
    static constexpr std::uint32_t ms_IndexSubIndexParameterLengthLength = 7u;
    static constexpr std::uint16_t ms_DeviceVendorInformationIndex = 0x1018u;
    static constexpr std::uint8_t ms_ChecksumSubIndex = 6u;
    static constexpr std::uint32_t ms_TotalParameterLengthLength = 4u;
    static constexpr std::uint16_t ms_ParameterDownloadIndex = 0x101Au;
    static constexpr std::uint8_t ms_ParameterDownloadSubIndex = 0u;
    static constexpr std::uint32_t ms_RequiredModuleFlag = 1u;
    static constexpr std::uint32_t ms_DiscoveredModuleFlag = 2u;
    static constexpr std::uint32_t ms_CompatibleModuleFlag = 4u;

    /// The checker is kept by reference and must outlive the inspector.
    explicit CCheckingParameterInspector(CParameterChecker& parameterChecker);
    CCheckingParameterInspector(const CCheckingParameterInspector&) = delete;
    CCheckingParameterInspector& operator=(const CCheckingParameterInspector&) = delete;

    void InspectReceivedFrame(const Epls::CDecodedFrame& frame) override;
    void InspectSentFrame(const Epls::CDecodedFrame& frame) override;
    bool IsValid() const override;

    /// The module is neither released nor has a checksum until it reports one again.
    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override;
    /// The release decision; a released module's parameter downloads are not scanned until its next SADR assignment.
    void VisitSnmtSnSetToOp(const Epls::CDecodedSnmtSnSetToOp& frame) override;
    void
    VisitSsdoUploadInitiateExpeditedResponse(const Epls::CDecodedSsdoUploadInitiateExpeditedResponse& frame) override;
    void
    VisitSsdoUploadInitiateSegmentedResponse(const Epls::CDecodedSsdoUploadInitiateSegmentedResponse& frame) override;
    void VisitSsdoUploadMiddleSegmentResponse(const Epls::CDecodedSsdoUploadMiddleSegmentResponse& frame) override;
    void VisitSsdoUploadEndSegmentResponse(const Epls::CDecodedSsdoUploadEndSegmentResponse& frame) override;
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override;
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override;
    void VisitSsdoDownloadMiddleSegmentRequest(const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame) override;
    void VisitSsdoDownloadEndSegmentRequest(const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame) override;

private:
    /// Appends an upload segment to the module's checksum; 0xE2E4 past 256 bytes.
    void AppendChecksumSegment(std::uint16_t safetyAddress, std::uint8_t segmentLength, const std::uint8_t* segment);
    /// Hands the collected checksum of the given length to the checker and clears the buffer.
    void PublishChecksum(std::uint16_t safetyAddress, std::uint32_t checksumLength);
    /// Feeds one fragment of the parameter-set stream through the scan; the state carries over between fragments.
    void ScanParameterSetFragmentForChecksum(std::uint16_t safetyAddress, std::uint32_t fragmentLength,
                                             const std::uint8_t* fragment);
    /// Completes the current entry's 7-byte head; true when complete, readFragmentLength = bytes taken.
    bool TryFinishReadingIndexSubIndexParameterLength(std::uint16_t safetyAddress, std::uint32_t fragmentLength,
                                                      const std::uint8_t* fragment, std::uint32_t& readFragmentLength);
    /// Consumes the current entry's data, collecting it when it is the checksum; true when the entry is complete,
    /// readFragmentLength = bytes taken.
    bool TryFinishReadingChecksumParameter(std::uint16_t safetyAddress, std::uint32_t fragmentLength,
                                           const std::uint8_t* fragment, std::uint32_t& readFragmentLength);
    /// Whether the module's current entry head names 0x1018/6.
    bool IsChecksumParameter(std::uint16_t safetyAddress) const;
    /// Publishes the checksum when the completed entry is the checksum entry.
    void UpdateFromChecksumParameter(std::uint16_t safetyAddress);
    /// Starts the next entry.
    void ResetParameter(std::uint16_t safetyAddress);
    /// The declared data length of the module's current entry head.
    std::uint32_t GetDeclaredParameterLength(std::uint32_t moduleIndex) const;
    /// Index of a valid address; 0xE200 otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);
    std::uint32_t GetModuleFlags(std::uint16_t safetyAddress) const;

    std::array<bool, ms_ModuleCount> m_checksumReceivedFlags;
    std::array<bool, ms_ModuleCount> m_operationalFlags;
    /// CT of the last segment taken of the running segmented transfer; meaningful only while one runs.
    std::array<std::uint16_t, ms_ModuleCount> m_previousFrameNumber;
    /// A segmented upload or download is running: CT counts up and wraps, so no CT value can stand for "none running".
    std::array<bool, ms_ModuleCount> m_segmentedTransferRunningFlags;
    std::array<std::uint32_t, ms_ModuleCount> m_checksumLengths;
    std::array<std::array<std::uint8_t, ms_ChecksumLengthMax>, ms_ModuleCount> m_invertedChecksums;
    std::array<std::uint32_t, ms_ModuleCount> m_indexSubIndexParameterLengthLengths;
    std::array<std::array<std::uint8_t, ms_IndexSubIndexParameterLengthLength>, ms_ModuleCount>
        m_indexSubIndexParameterLengthBuffers;
    std::array<std::uint32_t, ms_ModuleCount> m_parameterLengths;
    CParameterChecker& m_parameterChecker;
    bool m_valid;
};
} // namespace Check

#endif
