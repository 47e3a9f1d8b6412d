// The campaign's own judge: from the domain's configuration and the rules of the frames and of the four checks, it
// decides for every frame whether the checker must let it through. It shares no code with the checker.
#ifndef TOOLS_SCM_CAMPAIGN_CORACLE_H
#define TOOLS_SCM_CAMPAIGN_CORACLE_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "support/Messages/Bytes.h"
#include "support/Peers/CDomainConfiguration.h"

namespace Campaign
{
/// What the checker must do with one frame.
struct CVerdict
{
    /// The frame reaches the other side.
    bool m_passes = false;
    /// The frame switches the domain to fail-safe (nothing passes from then on).
    bool m_failSafe = false;
    /// Why it is withheld (empty when it passes): "decode", "udid", "firmware", "parameter", "additional",
    /// "key-medium", "address", "fail-safe".
    std::string m_reason;
};

/// The kinds of frame the checks tell apart (everything else of the SNMT and SSDO groups is "other").
enum class CFrameKind
{
    Other,
    AssignSadr,
    AssignUdidScm,
    ResponseUdid,
    SadrAssigned,
    SetToOp,
    SnFail,
    SnAck,
    UploadExpedited,
    UploadInitiate,
    UploadMiddle,
    UploadEnd,
    DownloadExpedited,
    DownloadInitiate,
    DownloadMiddle,
    DownloadEnd
};

/// A frame as the rules read it.
struct COracleFrame
{
    CFrameKind m_kind = CFrameKind::Other;
    std::uint8_t m_id = 0u;
    std::uint16_t m_adr = 0u;
    std::uint16_t m_tadr = 0u;
    std::uint16_t m_ct = 0u;
    Support::Bytes m_payload;

    /// ADR for what the SCM sends to a module, TADR for what a module answers.
    std::uint16_t GetSafetyAddress() const;
};

/// Reads a frame by the frame rules: exact length, both CRCs (MSB first, start 0: 8-bit 0x2F up to LE 8, else
/// 16-bit 0x755B, or 0x5935 on slim SSDO frames), sub-frame 2 of SSDO frames keyed with the SCM's UDID, equal
/// payload copies on basic frames, only SNMT and SSDO frames, and payload enough for what the kind carries.
/// Nothing when the frame breaks a rule.
std::optional<COracleFrame> ReadFrame(const Support::Bytes& frame, const Support::Udid& scmUdid);
/// The same, stopping after the CRCs when allRules is false.
std::optional<COracleFrame> ReadFrame(const Support::Bytes& frame, const Support::Udid& scmUdid, bool allRules);

/// Only the length rule and both CRCs: what a corrupted frame must get past before any other rule sees it.
bool PassesCrcs(const Support::Bytes& frame, const Support::Udid& scmUdid);

/// Bitwise CRCs, independent of the checker's tables.
std::uint16_t BitwiseCrc(const std::uint8_t* data, std::size_t length, unsigned width, std::uint16_t polynomial);

class COracle
{
public:
    explicit COracle(const Support::CDomainConfiguration& configuration);

    /// A frame from the SCM: released only when it reads as a frame and no check objects; any objection is
    /// fail-safe.
    CVerdict JudgeFromScm(const Support::Bytes& frame);
    /// A frame from the runtime: dropped without consequence when it does not read as a frame; a check that
    /// objects to what it reports makes the domain fail-safe.
    CVerdict JudgeFromRuntime(const Support::Bytes& frame);

    bool IsFailSafe() const
    {
        return m_failSafe;
    }

    /// The SCM's UDID as the checker knows it (from the last released assignment).
    const Support::Udid& GetScmUdid() const
    {
        return m_scmUdid;
    }

private:
    struct CModule
    {
        // UDID check.
        bool m_udidReceived = false;
        bool m_probablyRemoved = false;
        std::optional<Support::Udid> m_reportedUdid;
        bool m_discovered = false;
        Support::Udid m_discoveredUdid{};
        bool m_encoderConsistent = false;
        // Firmware check.
        std::array<std::optional<std::uint32_t>, 3> m_vendorInformation;
        bool m_revisionReceived = false;
        bool m_firmwareDiscovered = false;
        std::uint32_t m_vendorId = 0u;
        std::uint32_t m_productCode = 0u;
        std::uint32_t m_revisionNumber = 0u;
        // Parameter check.
        bool m_checksumReceived = false;
        bool m_operational = false;
        // A segmented transfer runs from its initiate frame to its end frame whatever its CTs (they count up and
        // wrap through 0); a frame with the CT of the last one taken is a repetition.
        bool m_running = false;
        std::uint16_t m_previousCt = 0u;
        Support::Bytes m_collectedChecksum;
        std::optional<Support::Bytes> m_discoveredChecksum;
        Support::Bytes m_entryHeader;
        std::uint32_t m_entryConsumed = 0u;
        Support::Bytes m_entryChecksum;
        // Additional-parameter check.
        bool m_additionalMode = false;
        bool m_additionalRunning = false;
        std::uint16_t m_additionalPreviousCt = 0u;
        Support::Bytes m_header;
        bool m_headerChecked = false;
    };

    /// Throws the reason as a std::string when a check objects.
    void Apply(const COracleFrame& frame);
    void ApplyUdid(const COracleFrame& frame);
    void ApplyFirmware(const COracleFrame& frame);
    void ApplyParameter(const COracleFrame& frame);
    void ApplyAdditional(const COracleFrame& frame);
    void ReportUdid(std::uint16_t address, const Support::Udid& udid);
    void PublishChecksum(CModule& module, const Support::Bytes& checksum);
    void ScanParameterSet(CModule& module, const std::uint8_t* data, std::size_t length);
    void CollectHeader(std::uint16_t address, const std::uint8_t* data, std::size_t length);
    bool IsUdidValid(std::uint16_t address) const;
    bool IsFirmwareValid(std::uint16_t address) const;
    CModule& GetModule(std::uint16_t address);

    Support::CDomainConfiguration m_configuration;
    std::map<std::uint16_t, CModule> m_modules;
    Support::Udid m_scmUdid{};
    bool m_failSafe = false;
};
} // namespace Campaign

#endif
