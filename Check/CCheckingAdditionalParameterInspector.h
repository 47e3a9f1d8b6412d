// Additional-parameter inspector: compares downloaded additional-parameter headers with the catalog.
#ifndef CHECK_CCHECKINGADDITIONALPARAMETERINSPECTOR_H
#define CHECK_CCHECKINGADDITIONALPARAMETERINSPECTOR_H

#include <array>
#include <cstdint>

#include "Check/CAdditionalParameterInspector.h"
#include "Epls/CDecodedFrameVisitor.h"
#include "Param/SafetyAddress.h"

namespace Check
{
class CAdditionalParameterCatalog;

/// A module that reported SN FAIL with error group 5 is in additional-parameter mode until its SADR is assigned
/// again; only then are its downloads of 0x101A/0 examined. The first 16 payload bytes of each download are the
/// header, collected across frames and checked once, when the 16th arrives: a number not configured for the module
/// raises 0xE2EC, a differing header 0xE2ED (information0 = the address, information1 = the number), and IsValid()
/// is false for good; every later frame of a refused download is refused again. A number outside 1..16 is refused
/// by the catalog's 0xE2EB without touching IsValid(). A segmented download is followed from its initiate frame to
/// its end segment whatever its CTs (0 included); a frame with the CT of the last one taken is a repetition and
/// ignored, and so is a middle or end segment with no segmented download running. A safety address outside 1..1023
/// in a handled frame raises 0xE200. Exceptions of the catalog pass unchanged.
class CCheckingAdditionalParameterInspector : public CAdditionalParameterInspector, public Epls::CDecodedFrameVisitor
{
public:
    static constexpr std::uint32_t ms_ModuleCount = Param::SafetyAddressMax;
    static constexpr std::uint32_t ms_HeaderLength = 16u;
    static constexpr std::uint8_t ms_AdditionalParameterNeededErrorGroup = 5u;
    static constexpr std::uint32_t ms_TotalParameterLengthLength = 4u;
    static constexpr std::uint16_t ms_ParameterDownloadIndex = 0x101Au;
    static constexpr std::uint8_t ms_ParameterDownloadSubIndex = 0u;

    /// The catalog is kept by reference and must outlive the inspector.
    explicit CCheckingAdditionalParameterInspector(const CAdditionalParameterCatalog& additionalParameterCatalog);
    CCheckingAdditionalParameterInspector(const CCheckingAdditionalParameterInspector&) = delete;
    CCheckingAdditionalParameterInspector& operator=(const CCheckingAdditionalParameterInspector&) = delete;

    void InspectReceivedFrame(const Epls::CDecodedFrame& frame) override;
    void InspectSentFrame(const Epls::CDecodedFrame& frame) override;
    bool IsValid() const override;

    /// Leaves additional-parameter mode.
    void VisitSnmtAssignSadr(const Epls::CDecodedSnmtAssignSadr& frame) override;
    /// Error group 5, whatever the code, enters additional-parameter mode.
    void VisitSnmtSnFail(const Epls::CDecodedSnmtSnFail& frame) override;
    void
    VisitSsdoDownloadInitiateExpeditedRequest(const Epls::CDecodedSsdoDownloadInitiateExpeditedRequest& frame) override;
    void
    VisitSsdoDownloadInitiateSegmentedRequest(const Epls::CDecodedSsdoDownloadInitiateSegmentedRequest& frame) override;
    void VisitSsdoDownloadMiddleSegmentRequest(const Epls::CDecodedSsdoDownloadMiddleSegmentRequest& frame) override;
    void VisitSsdoDownloadEndSegmentRequest(const Epls::CDecodedSsdoDownloadEndSegmentRequest& frame) override;

private:
    /// Starts collecting the header of a new download.
    void StartAdditionalParameterHeader(std::uint32_t moduleIndex);
    /// Collects header bytes from a fragment of the download's payload and checks a header just completed.
    void HandleParameterSetFragment(std::uint16_t safetyAddress, std::uint8_t fragmentLength,
                                    const std::uint8_t* fragment);
    /// Takes what the header still lacks from the fragment; true when the header is complete.
    bool FinishReadingAdditionalParameterHeader(std::uint16_t safetyAddress, std::uint8_t fragmentLength,
                                                const std::uint8_t* fragment);
    void CheckAdditionalParameterHeader(std::uint16_t safetyAddress);
    /// Index of a valid address; 0xE200 otherwise.
    static std::uint32_t GetModuleIndex(std::uint16_t safetyAddress);

    std::array<bool, ms_ModuleCount> m_additionalParameterModeFlags;
    /// CT of the last segment taken of the running segmented download; meaningful only while one runs.
    std::array<std::uint16_t, ms_ModuleCount> m_previousFrameNumber;
    /// A segmented download is running: CT counts up and wraps, so no CT value can stand for "none running".
    std::array<bool, ms_ModuleCount> m_segmentedDownloadRunningFlags;
    std::array<std::uint32_t, ms_ModuleCount> m_additionalParameterHeaderLengths;
    std::array<std::array<std::uint8_t, ms_HeaderLength>, ms_ModuleCount> m_invertedAdditionalParameterHeaderBuffers;
    std::array<bool, ms_ModuleCount> m_additionalParameterHeaderCheckedFlags;
    const CAdditionalParameterCatalog& m_additionalParameterCatalog;
    bool m_valid;
};
} // namespace Check

#endif
