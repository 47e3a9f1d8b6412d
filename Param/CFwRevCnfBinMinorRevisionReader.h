// Acknowledged minor revisions out of the module section of "fwrevcnf.bin".
#ifndef PARAM_CFWREVCNFBINMINORREVISIONREADER_H
#define PARAM_CFWREVCNFBINMINORREVISIONREADER_H

#include <cstdint>

#include "Param/CByteArrayMinorRevisionReader.h"
#include "Param/CMinorRevisionReader.h"

namespace Param
{
class CFwRevCnfBin;

/// The module entries of a read "fwrevcnf.bin", skipping every entry whose minor revision is 0 (none
/// acknowledged). Open() refuses (0xE200) an unread file or one whose section is in use. An entry with an invalid
/// safety address raises 0xE2AE; the reader is then closed and the section released, and Close() does nothing.
class CFwRevCnfBinMinorRevisionReader : public CMinorRevisionReader
{
public:
    explicit CFwRevCnfBinMinorRevisionReader(CFwRevCnfBin& fwRevCnfBin);

    void Open() override;
    bool TryReadNext(std::uint16_t& safetyAddress, std::uint16_t& minorRevision) override;
    void Close() override;

private:
    CFwRevCnfBin& m_fwRevCnfBin;
    CByteArrayMinorRevisionReader m_minorRevisionReader;
    bool m_open;
};
} // namespace Param

#endif
