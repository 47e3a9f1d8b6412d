// The checker's inverted copy "tessera.dat.chk" of the key-medium UDID file, which it can rebuild.
#ifndef PARAM_CTESSERADATCHK_H
#define PARAM_CTESSERADATCHK_H

#include <cstdint>

#include "Param/CTesseraDat.h"

namespace Param
{
/// "tessera.dat.chk": the format of "tessera.dat" with every UDID stored complemented. Besides reading, it hands
/// out its buffer for a new UDID section (at offset 64) and then writes header and section CRCs around it, in
/// place.
class CTesseraDatChk : public CTesseraDat
{
public:
    /// A buffer shorter than the 64-byte header raises CTesseraDatEventCode::BufferTooShort (information0 =
    /// capacity, information1 = 64); null raises 0xE200.
    CTesseraDatChk(std::uint32_t contentBufferLength, std::uint8_t* contentBuffer);

    /// Length of the content last read or written.
    virtual std::uint32_t GetContentLength();
    /// Hands out buffer + 64 and the longest section that still leaves room for the header and its section CRCs
    /// (65452 bytes of a 65536-byte buffer). Refused (0xE200) while the section is in use.
    virtual void StartWritingUdidSection(std::uint32_t& udidSectionLengthMax, std::uint8_t*& udidSection);
    /// Records the length of the section written; it must not exceed the length handed out (0xE200).
    virtual void StopWritingUdidSection(std::uint32_t udidSectionLength);

    /// Writes header and section CRCs around the section in the buffer (a section read from elsewhere in the file
    /// is moved to offset 64 first), unless it was written and no section was written since. Refused (0xE200)
    /// before a read or while the section is in use.
    void WriteContent();

    /// The longest UDID section that a buffer of the given capacity can hold together with header and CRCs.
    static std::uint32_t GetUdidSectionLengthMax(std::uint32_t contentBufferLength);

private:
    bool m_written;
};
} // namespace Param

#endif
