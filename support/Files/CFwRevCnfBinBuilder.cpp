// Builds "fwrevcnf.bin" and "fwrevcnf.bin.chk" files, valid or with any damage the reading checks detect.
#include "support/Files/CFwRevCnfBinBuilder.h"

namespace Support
{
void CFwRevCnfBinBuilder::AddModule(std::uint16_t safetyAddress, std::uint16_t minorRevision)
{
    m_modules.push_back({safetyAddress, minorRevision});
}

Bytes CFwRevCnfBinBuilder::Build() const
{
    Bytes bytes;
    AppendUInt16(bytes, m_moduleCount.value_or(static_cast<std::uint16_t>(m_modules.size())));
    AppendUInt16(bytes, m_entryLength.value_or(4u));
    AppendUInt16(bytes, m_version.value_or(0x0101u));
    AppendUInt16(bytes, m_entryOffset.value_or(8u));
    for (const CModule& module : m_modules)
    {
        AppendUInt16(bytes, module.m_safetyAddress);
        AppendUInt16(bytes, m_inverted ? static_cast<std::uint16_t>(~module.m_minorRevision) : module.m_minorRevision);
    }
    std::uint32_t moduleCrc = Crc32(bytes, 0u, bytes.size());
    if (m_spoilModuleCrc)
    {
        moduleCrc ^= 0x80000000u;
    }
    AppendUInt32(bytes, moduleCrc);

    const std::size_t authentification = bytes.size();
    std::uint16_t flags = 0u;
    flags = static_cast<std::uint16_t>(flags | (m_hasCpuId ? 1u : 0u) | (m_hasKelUdid ? 2u : 0u) |
                                       (m_hasPassword ? 4u : 0u) | (m_tesseraEmpty ? 8u : 0u) |
                                       (m_setupModeActive ? 16u : 0u));
    AppendUInt16(bytes, m_authentificationSectionLength.value_or(8u));
    AppendUInt16(bytes, m_authentificationDataOffset.value_or(4u));
    AppendUInt16(bytes, m_featureFlags.value_or(flags));
    const Udid kelUdid = m_inverted ? Complemented(m_kelUdid) : m_kelUdid;
    const CpuId cpuId = m_inverted ? Complemented(m_cpuId) : m_cpuId;
    const Password password = m_inverted ? Complemented(m_password) : m_password;
    AppendBytes(bytes, kelUdid.data(), kelUdid.size());
    AppendBytes(bytes, cpuId.data(), cpuId.size());
    AppendBytes(bytes, password.data(), password.size());
    bytes.push_back(m_passwordTerminator);
    std::uint32_t authentificationCrc = Crc32(bytes, authentification, bytes.size() - authentification);
    if (m_spoilAuthentificationCrc)
    {
        authentificationCrc ^= 0x00000001u;
    }
    AppendUInt32(bytes, authentificationCrc);
    AppendBytes(bytes, m_trailer.data(), m_trailer.size());
    return bytes;
}
} // namespace Support
