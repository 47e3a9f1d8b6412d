// Inverted acknowledged minor revisions into the module section of "fwrevcnf.bin.chk".
#ifndef PARAM_CFWREVCNFBINCHKINVERTEDMINORREVISIONWRITER_H
#define PARAM_CFWREVCNFBINCHKINVERTEDMINORREVISIONWRITER_H

#include <cstdint>

#include "Param/CByteArrayMinorRevisionWriter.h"
#include "Param/CInvertedMinorRevisionWriter.h"

namespace Param
{
class CFwRevCnfBinChk;

/// Replaces the module section of "fwrevcnf.bin.chk" with the entries written between Open() and Close(), in the
/// order given; the file is rebuilt by CFwRevCnfBinChk::WriteContent(). Open() refuses (0xE200) an unread file or
/// one whose section is in use. WriteNext() raises 0xE2B1 when the section outgrows the buffer and 0xE2B2 for a
/// safety address of 0 or 1024 and above.
class CFwRevCnfBinChkInvertedMinorRevisionWriter : public CInvertedMinorRevisionWriter
{
public:
    explicit CFwRevCnfBinChkInvertedMinorRevisionWriter(CFwRevCnfBinChk& fwRevCnfBinChk);

    void Open() override;
    void WriteNext(std::uint16_t safetyAddress, std::uint16_t invertedMinorRevision) override;
    void Close() override;
    std::uint32_t GetContentLength() override;

private:
    CFwRevCnfBinChk& m_fwRevCnfBinChk;
    CByteArrayMinorRevisionWriter m_minorRevisionWriter;
};
} // namespace Param

#endif
