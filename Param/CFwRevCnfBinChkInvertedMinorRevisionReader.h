// Inverted acknowledged minor revisions out of the module section of "fwrevcnf.bin.chk".
#ifndef PARAM_CFWREVCNFBINCHKINVERTEDMINORREVISIONREADER_H
#define PARAM_CFWREVCNFBINCHKINVERTEDMINORREVISIONREADER_H

#include <cstdint>

#include "Param/CByteArrayMinorRevisionReader.h"
#include "Param/CInvertedMinorRevisionReader.h"

namespace Param
{
class CFwRevCnfBinChk;

/// Every module entry of a read "fwrevcnf.bin.chk" (safety address plain, minor revision as stored: inverted).
/// Open() refuses (0xE200) an unread file or one whose section is in use. An entry with an invalid safety address
/// raises 0xE2AE; the reader is then closed and the section released, and Close() does nothing.
class CFwRevCnfBinChkInvertedMinorRevisionReader : public CInvertedMinorRevisionReader
{
public:
    explicit CFwRevCnfBinChkInvertedMinorRevisionReader(CFwRevCnfBinChk& fwRevCnfBinChk);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& invertedMinorRevision) override;
    void Close() override;

private:
    CFwRevCnfBinChk& m_fwRevCnfBinChk;
    CByteArrayMinorRevisionReader m_minorRevisionReader;
    bool m_open;
};
} // namespace Param

#endif
