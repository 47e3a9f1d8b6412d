// Builds SOD parameter streams (the SCM section of "tol_para.saf") from module, UDID, flag and additional-parameter
// records, valid or with any damage the stream readers detect; and the 16-byte additional-parameter header.
#ifndef SUPPORT_FILES_CPARAMETERSTREAMBUILDER_H
#define SUPPORT_FILES_CPARAMETERSTREAMBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Files/FileBytes.h"

namespace Support
{
/// A required module: the entries of one index 0xC400..0xC7FE.
struct CModuleRecord
{
    std::uint16_t m_safetyAddress = 1u;
    std::uint32_t m_vendorId = 0u;
    std::uint32_t m_productCode = 0u;
    std::uint16_t m_majorRevision = 0u;
    std::uint16_t m_minorRevision = 0u;
    /// Sub-index 14; no entry when empty.
    Bytes m_parameterChecksum;
};

/// An additional parameter: its 16-byte header (number, version, SADR, length, CRC-32 of the data, timestamp) and
/// its data. The m_spoil… and override fields produce the damage that readers of the header detect.
struct CAdditionalParameterRecord
{
    std::uint8_t m_parameterNumber = 1u;
    std::uint16_t m_safetyAddress = 1u;
    Bytes m_data;
    std::uint32_t m_timestamp = 0u;
    std::uint8_t m_version = 1u;
    /// Written in place of the data length.
    std::optional<std::uint32_t> m_declaredLength;
    bool m_spoilCrc = false;
};

/// The 16 header bytes of an additional parameter.
Bytes BuildAdditionalParameterHeader(const CAdditionalParameterRecord& parameter);
/// Header followed by the data.
Bytes BuildAdditionalParameter(const CAdditionalParameterRecord& parameter);

/// Records of 7 + n bytes (index uint16, sub-index uint8, length uint32, data), in the order added.
struct CParameterStreamBuilder
{
    struct CRecord
    {
        std::uint16_t m_index;
        std::uint8_t m_subIndex;
        Bytes m_data;
        /// Written in place of the data length (a record that claims more or less than it carries).
        std::optional<std::uint32_t> m_declaredLength;
    };

    static constexpr std::uint16_t ms_ModuleIndexBase = 0xC3FFu;     // index of SADR s: base + s
    static constexpr std::uint16_t ms_UdidIndexBase = 0xCC00u;       // index of SADR s: base + s
    static constexpr std::uint16_t ms_AdditionalIndexBase = 0xE3FFu; // index of SADR s: base + s

    std::vector<CRecord> m_records;
    /// Raw bytes after the last record (a cut record head or cut data).
    Bytes m_tail;

    void AddRecord(std::uint16_t index, std::uint8_t subIndex, const Bytes& data);
    /// Sub-indices 1 (SADR), 2 (vendor id), 3 (product code), 4 (revision number: minor low, major high) and, when a
    /// checksum is given, 14; at index ms_ModuleIndexBase + SADR unless an index is given.
    void AddModule(const CModuleRecord& module, std::optional<std::uint16_t> index = std::nullopt);
    /// Index 0xCC00 + SADR, the 6 UDID bytes.
    void AddUdid(std::uint16_t safetyAddress, const Udid& udid, std::uint8_t subIndex = 1u);
    /// At index ms_AdditionalIndexBase + SADR and sub-index = parameter number unless given.
    void AddAdditionalParameter(const CAdditionalParameterRecord& parameter,
                                std::optional<std::uint16_t> index = std::nullopt,
                                std::optional<std::uint8_t> subIndex = std::nullopt);
    /// Index 0x210B: sub-index 1 setup mode active, 2 acknowledge firmware, 3 acknowledge the key medium; one byte
    /// each.
    void AddCommissioningFlags(bool setupModeActive, bool acknowledgeMinorRevisions, bool acknowledgeTessera);
    /// Index 0x2106 sub-index 4: external machine options active, one byte.
    void AddConfigurationData(bool externalMachineOptionsActive);

    Bytes Build() const;
};
} // namespace Support

#endif
