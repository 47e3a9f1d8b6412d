// The firmware revision file "fwrevcnf.bin": acknowledged minor revisions and the authentication section.
#ifndef PARAM_CFWREVCNFBIN_H
#define PARAM_CFWREVCNFBIN_H

#include <cstdint>

namespace Param
{
/// Validates a loaded "fwrevcnf.bin" in the caller's buffer and exposes its module section and authentication
/// data (CPU id, Kel UDID, password, key-medium-empty and setup-mode flags), in place; read only.
class CFwRevCnfBin
{
public:
    static constexpr std::uint16_t ms_ModuleCountMax = 1023u;
    static constexpr std::uint16_t ms_EntryLength = 4u;
    static constexpr std::uint16_t ms_Version = 0x0101u;
    static constexpr std::uint16_t ms_EntryOffset = 8u;
    static constexpr std::uint32_t ms_ModuleCrcLength = 4u;
    static constexpr std::uint32_t ms_ModuleSectionLengthMin = 12u;
    static constexpr std::uint16_t ms_PretendedAuthentificationSectionLength = 8u;
    static constexpr std::uint32_t ms_AuthentificationSectionLength = 41u;
    static constexpr std::uint16_t ms_AuthentificationSectionOffset = 4u;
    static constexpr std::uint32_t ms_PasswordLength = 17u;
    static constexpr std::uint32_t ms_AuthentificationCrcLength = 4u;
    /// Offsets inside the authentication section.
    static constexpr std::uint32_t ms_FeatureFlagsOffset = 4u;
    static constexpr std::uint32_t ms_KelUdidOffset = 6u;
    static constexpr std::uint32_t ms_CpuIdOffset = 12u;
    static constexpr std::uint32_t ms_PasswordOffset = 20u;
    static constexpr std::uint32_t ms_AuthentificationCrcOffset = 37u;

    static constexpr std::uint16_t ms_CpuIdValidFlag = 1u;
    static constexpr std::uint16_t ms_KelUdidValidFlag = 2u;
    static constexpr std::uint16_t ms_PasswordPresentFlag = 4u;
    static constexpr std::uint16_t ms_TesseraEmptyFlag = 8u;
    static constexpr std::uint16_t ms_SetupModeActiveFlag = 16u;
    static constexpr std::uint16_t ms_UnknownFlags = 0xFFE0u;

    static const std::uint8_t ms_ZeroCpuId[8];
    static const std::uint8_t ms_ZeroPassword[16];

    /// The buffer is the caller's and must outlive the object; null raises 0xE200.
    CFwRevCnfBin(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);
    virtual ~CFwRevCnfBin() = default;
    CFwRevCnfBin(const CFwRevCnfBin&) = delete;
    CFwRevCnfBin& operator=(const CFwRevCnfBin&) = delete;

    /// Validates the first contentLength bytes of the buffer; 0 stands for an empty file (no modules, no
    /// authentication data). Refused (0xE200) while the module section is in use. Raises the codes of
    /// CFwRevCnfBinEventCode: BufferTooShort for a content longer than the buffer (information0 = capacity, low
    /// 16 bits, information1 = content length) or shorter than 12 bytes; then the module header fields, the
    /// entries, the module CRC (a content ending inside it is InvalidAuthentification with information1 = 12 +
    /// 4n), the authentication section and its CRC. A failed read leaves the object unread.
    void ReadContent(std::uint32_t contentLength);

    // Refused (0xE200) before a successful read. The pointers lead into the buffer, or to zero constants for an
    // empty file.
    bool HasCpuId() const;
    /// 8 bytes.
    const std::uint8_t* GetCpuId() const;
    bool HasKelUdid() const;
    /// 6 bytes.
    const std::uint8_t* GetKelUdid() const;
    bool HasPassword() const;
    /// 16 bytes.
    const std::uint8_t* GetPassword() const;
    bool WasTesseraEmpty() const;
    bool IsSetupModeActive() const;

    /// Hands out the 4n bytes of module entries at offset 8; refused (0xE200) before a read or while in use.
    void StartReadingModuleSection(std::uint32_t& moduleSectionLength, const std::uint8_t*& moduleSection);
    void StopReadingModuleSection();

protected:
    virtual void InitializeEmptyAuthentification();
    // Each takes its field at offset and advances offset past it.
    virtual void ReadCpuId(std::uint32_t& offset);
    virtual void ReadKelUdid(std::uint32_t& offset);
    virtual void ReadPassword(std::uint32_t& offset);

    void SetFeatureFlags(std::uint16_t featureFlags);
    std::uint16_t GetFeatureFlags() const;

    std::uint32_t m_contentBufferLength;
    std::uint8_t* m_contentBuffer;
    std::uint32_t m_contentLength;
    std::uint32_t m_moduleSectionLength;
    std::uint8_t* m_moduleSection;
    bool m_hasCpuId;
    const std::uint8_t* m_cpuId;
    bool m_hasKelUdid;
    const std::uint8_t* m_kelUdid;
    bool m_hasPassword;
    const std::uint8_t* m_password;
    bool m_tesseraEmpty;
    bool m_setupModeActive;
    bool m_read;
    bool m_open;
};
} // namespace Param

#endif
