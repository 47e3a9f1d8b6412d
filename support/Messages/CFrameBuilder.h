// Assembles openSAFETY SNMT and SSDO frames from their fields, as a real stack sends them.
#ifndef SUPPORT_MESSAGES_CFRAMEBUILDER_H
#define SUPPORT_MESSAGES_CFRAMEBUILDER_H

#include <cstdint>
#include <optional>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder of one frame: sub-frame 1 (ADR and ID, LE, CT low, payload, CRC 1) followed by sub-frame 2
/// (ADR XOR SDN with the ID repeated in the upper bits, CT high, TADR and TR, the payload copy on basic frames,
/// CRC 2). CRCs take one byte for LE up to 8 (polynomial 0x2F), else two bytes: 0x755B on basic frames, 0x5935
/// on slim SSDO frames (IDs 0x3A, 0x3B). On SSDO frames the first six bytes of sub-frame 2 are XORed with the
/// SCM UDID after CRC 2 is computed. Fields are masked to their widths (10-bit addresses, 6-bit ID and TR).
///
/// The presets set ADR and TADR as the stack does: frames from the SCM to a module carry the module's address
/// in ADR and the SCM's, ms_ScmAddress, in TADR; frames from a module to the SCM the other way round. All start
/// in domain ms_Sdn with CT 0 and TR 0, and every setter can still be applied to a preset.
class CFrameBuilder
{
public:
    static constexpr std::uint16_t ms_ScmAddress = 1u;
    static constexpr std::uint16_t ms_Sdn = 1u;

    /// An SNMT request UDID (ID 0x28) from ADR 0 in domain ms_Sdn with an empty payload.
    CFrameBuilder();

    CFrameBuilder& Id(std::uint8_t id);
    CFrameBuilder& Adr(std::uint16_t adr);
    CFrameBuilder& Sdn(std::uint16_t sdn);
    CFrameBuilder& Ct(std::uint16_t ct);
    CFrameBuilder& Tadr(std::uint16_t tadr);
    CFrameBuilder& Tr(std::uint8_t tr);
    /// The payload of sub-frame 1 and, on basic frames, of sub-frame 2; its size is LE (at most 255).
    CFrameBuilder& Payload(const Bytes& payload);
    /// A different payload copy in sub-frame 2, with CRC 2 computed over it: a frame whose two CRCs hold but whose
    /// payloads differ. It must have the payload's size.
    CFrameBuilder& PayloadCopy(const Bytes& payloadCopy);
    /// The UDID of the SCM with which sub-frame 2 of SSDO frames is XORed (zero at first). Ignored on SNMT frames.
    CFrameBuilder& ScmUdid(const Udid& scmUdid);

    /// Throws std::invalid_argument for a payload above 255 bytes or a payload copy of another size.
    Bytes Build() const;

    // SNMT presets (module address sadr, SCM address ms_ScmAddress).

    /// ID 0x28, SCM to module.
    static CFrameBuilder SnmtRequestUdid(std::uint16_t sadr);
    /// ID 0x29, module to SCM: the module's UDID.
    static CFrameBuilder SnmtResponseUdid(std::uint16_t sadr, const Udid& udid);
    /// ID 0x2A, SCM to module: the module's UDID.
    static CFrameBuilder SnmtAssignSadr(std::uint16_t sadr, const Udid& udid);
    /// ID 0x2B, module to SCM: the module's UDID.
    static CFrameBuilder SnmtSadrAssigned(std::uint16_t sadr, const Udid& udid);
    /// ID 0x2C, SCM to module: the service byte followed by its parameters.
    static CFrameBuilder SnmtExtendedServiceRequest(std::uint16_t sadr, std::uint8_t service,
                                                    const Bytes& parameters = {});
    /// ID 0x2D, module to SCM: the service byte followed by its parameters.
    static CFrameBuilder SnmtExtendedServiceResponse(std::uint16_t sadr, std::uint8_t service,
                                                     const Bytes& parameters = {});
    /// ID 0x2C service 14: the SCM tells the module its UDID (LE 7).
    static CFrameBuilder SnmtAssignUdidScm(std::uint16_t sadr, const Udid& scmUdid);
    /// ID 0x2C service 2 with the 4-byte parameter timestamp (LE 5).
    static CFrameBuilder SnmtSnSetToOp(std::uint16_t sadr, std::uint32_t parameterTimestamp = 0u);
    /// ID 0x2D service 7, module to SCM (LE 3).
    static CFrameBuilder SnmtSnFail(std::uint16_t sadr, std::uint8_t errorGroup, std::uint8_t errorCode);
    /// ID 0x2C service 12, SCM to module (LE 3).
    static CFrameBuilder SnmtSnAck(std::uint16_t sadr, std::uint8_t errorGroup, std::uint8_t errorCode);

    // SSDO presets: requests go from the SCM (client) to module sadr (server), responses back. slim selects IDs
    // 0x3A/0x3B instead of 0x38/0x39.

    /// The SOD access command byte followed by the given bytes.
    static CFrameBuilder SsdoRequest(std::uint16_t sadr, std::uint8_t command, const Bytes& afterCommand,
                                     bool slim = false);
    static CFrameBuilder SsdoResponse(std::uint16_t sadr, std::uint8_t command, const Bytes& afterCommand,
                                      bool slim = false);
    /// Command 0x21, index, sub-index, data.
    static CFrameBuilder SsdoDownloadInitiateExpedited(std::uint16_t sadr, std::uint16_t index, std::uint8_t subIndex,
                                                       const Bytes& data, bool slim = false);
    /// Command 0x29 (0x2B with preload), index, sub-index, the 4-byte total length, the first data.
    static CFrameBuilder SsdoDownloadInitiateSegmented(std::uint16_t sadr, std::uint16_t index, std::uint8_t subIndex,
                                                       std::uint32_t totalLength, const Bytes& data,
                                                       bool preload = false, bool slim = false);
    /// Command 0x09/0x19 (middle, even/odd) or 0x49/0x59 (end), plus 0x02 with preload; then the data.
    static CFrameBuilder SsdoDownloadSegment(std::uint16_t sadr, bool isEnd, bool isOdd, const Bytes& data,
                                             bool preload = false, bool slim = false);
    /// Command 0x20, index, sub-index, data.
    static CFrameBuilder SsdoUploadInitiateExpeditedResponse(std::uint16_t sadr, std::uint16_t index,
                                                             std::uint8_t subIndex, const Bytes& data,
                                                             bool slim = false);
    /// Command 0x28 (0x2A with preload), index, sub-index, the 4-byte total length, the first data.
    static CFrameBuilder SsdoUploadInitiateSegmentedResponse(std::uint16_t sadr, std::uint16_t index,
                                                             std::uint8_t subIndex, std::uint32_t totalLength,
                                                             const Bytes& data, bool preload = false,
                                                             bool slim = false);
    /// Command 0x08/0x18 (middle, even/odd) or 0x48/0x58 (end), plus 0x02 with preload; then the data.
    static CFrameBuilder SsdoUploadSegmentResponse(std::uint16_t sadr, bool isEnd, bool isOdd, const Bytes& data,
                                                   bool preload = false, bool slim = false);

private:
    static CFrameBuilder FromScm(std::uint8_t id, std::uint16_t sadr, const Bytes& payload);
    static CFrameBuilder FromModule(std::uint8_t id, std::uint16_t sadr, const Bytes& payload);

    std::uint8_t m_id;
    std::uint16_t m_adr;
    std::uint16_t m_sdn;
    std::uint16_t m_ct;
    std::uint16_t m_tadr;
    std::uint8_t m_tr;
    Bytes m_payload;
    std::optional<Bytes> m_payloadCopy;
    Udid m_scmUdid;
};
} // namespace Support

#endif
