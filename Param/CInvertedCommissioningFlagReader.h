// Record reader interface: the commissioning flags, each negated.
#ifndef PARAM_CINVERTEDCOMMISSIONINGFLAGREADER_H
#define PARAM_CINVERTEDCOMMISSIONINGFLAGREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedCommissioningFlagReader
{
public:
    virtual ~CInvertedCommissioningFlagReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(bool& invertedSetupModeActive, bool& invertedAcknowledgeTessera,
                             bool& invertedAcknowledgeMinorRevisions) = 0;
    virtual void Close() = 0;

protected:
    CInvertedCommissioningFlagReader() = default;
    CInvertedCommissioningFlagReader(const CInvertedCommissioningFlagReader&) = default;
    CInvertedCommissioningFlagReader& operator=(const CInvertedCommissioningFlagReader&) = default;
};
} // namespace Param

#endif
