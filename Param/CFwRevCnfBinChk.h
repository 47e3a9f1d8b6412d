// The checker's inverted copy "fwrevcnf.bin.chk" of the firmware revision file, which it can rebuild.
#ifndef PARAM_CFWREVCNFBINCHK_H
#define PARAM_CFWREVCNFBINCHK_H

#include <cstdint>

#include "Param/CFwRevCnfBin.h"

namespace Param
{
/// "fwrevcnf.bin.chk": the format of "fwrevcnf.bin" with minor revisions, Kel UDID, CPU id and password stored
/// complemented (flags and safety addresses plain). Keeps the inverted authentication values in members, lets
/// them and the module section be changed and rebuilds the whole file in the caller's buffer.
class CFwRevCnfBinChk : public CFwRevCnfBin
{
public:
    /// The smallest file: no modules, header, module CRC and authentication section.
    static constexpr std::uint32_t ms_ContentLengthMin = 53u;

    /// A buffer shorter than 53 bytes raises CFwRevCnfBinEventCode::BufferTooShort (information1 = capacity);
    /// null raises 0xE200. The inverted values start as the complements of zero.
    CFwRevCnfBinChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);

    // Refused (0xE200) before a successful read.
    /// 8 bytes.
    const std::uint8_t* GetInvertedCpuId() const;
    /// 6 bytes.
    const std::uint8_t* GetInvertedKelUdid() const;
    /// 16 bytes.
    const std::uint8_t* GetInvertedPassword() const;

    // Refused (0xE200) before a read or for a null pointer; each also marks its value as present.
    void SetInvertedCpuId(const std::uint8_t* invertedCpuId);
    void SetInvertedKelUdid(const std::uint8_t* invertedKelUdid);
    void SetInvertedPassword(const std::uint8_t* invertedPassword);
    // Refused (0xE200) before a read.
    void SetTesseraEmpty(bool tesseraEmpty);
    void SetSetupModeActive(bool setupModeActive);

    /// Hands out buffer + 8 and capacity − 53 as the longest module section; refused (0xE200) before a read or
    /// while the section is in use.
    void StartWritingModuleSection(std::uint32_t& moduleSectionLengthMax, std::uint8_t*& moduleSection);
    /// Records the section written: whole 4-byte entries, at most 1023, within the length handed out (0xE200).
    void StopWritingModuleSection(std::uint32_t moduleSectionLength);

    /// Rebuilds the whole file (53 + 4n bytes) around the module entries at offset 8, unless it was written and
    /// nothing changed since. Refused (0xE200) before a read or while the section is in use.
    void WriteContent();

    /// Length of the content last read or written.
    virtual std::uint32_t GetContentLength();

protected:
    void InitializeEmptyAuthentification() override;
    void ReadCpuId(std::uint32_t& offset) override;
    void ReadKelUdid(std::uint32_t& offset) override;
    void ReadPassword(std::uint32_t& offset) override;

private:
    bool m_written;
    std::uint8_t m_invertedCpuId[8];
    std::uint8_t m_invertedKelUdid[6];
    std::uint8_t m_invertedPassword[16];
};
} // namespace Param

#endif
