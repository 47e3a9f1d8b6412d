// Builds "fwrevcnf.bin" and "fwrevcnf.bin.chk" files, valid or with any damage the reading checks detect.
#ifndef SUPPORT_FILES_CFWREVCNFBINBUILDER_H
#define SUPPORT_FILES_CFWREVCNFBINBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Files/FileBytes.h"

namespace Support
{
/// Module header and n entries (SADR, minor revision), module CRC, then the 41-byte authentication section (length
/// field 8, data offset 4, feature flags, Kel UDID, CPU id, 16 password bytes and a terminator, CRC). Field
/// overrides are written before the CRCs are computed; the m_spoil… options damage a CRC after the fact.
struct CFwRevCnfBinBuilder
{
    struct CModule
    {
        std::uint16_t m_safetyAddress;
        std::uint16_t m_minorRevision;
    };

    /// The checker's copy: minor revisions, Kel UDID, CPU id and the 16 password bytes complemented.
    bool m_inverted = false;
    std::vector<CModule> m_modules;
    bool m_hasCpuId = false;
    CpuId m_cpuId{};
    bool m_hasKelUdid = false;
    Udid m_kelUdid{};
    bool m_hasPassword = false;
    Password m_password{};
    bool m_tesseraEmpty = false;
    bool m_setupModeActive = false;
    std::uint8_t m_passwordTerminator = 0u;
    /// Bytes after the authentication section (ignored by readers).
    Bytes m_trailer;

    std::optional<std::uint16_t> m_moduleCount;
    std::optional<std::uint16_t> m_entryLength;
    std::optional<std::uint16_t> m_version;
    std::optional<std::uint16_t> m_entryOffset;
    std::optional<std::uint16_t> m_authentificationSectionLength;
    std::optional<std::uint16_t> m_authentificationDataOffset;
    std::optional<std::uint16_t> m_featureFlags;
    bool m_spoilModuleCrc = false;
    bool m_spoilAuthentificationCrc = false;

    void AddModule(std::uint16_t safetyAddress, std::uint16_t minorRevision);
    Bytes Build() const;
};
} // namespace Support

#endif
