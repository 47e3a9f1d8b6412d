// Record reader interface: the commissioning flags of the configuration.
#ifndef PARAM_CCOMMISSIONINGFLAGREADER_H
#define PARAM_CCOMMISSIONINGFLAGREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CCommissioningFlagReader
{
public:
    virtual ~CCommissioningFlagReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(bool& setupModeActive, bool& acknowledgeTessera, bool& acknowledgeMinorRevisions) = 0;
    virtual void Close() = 0;

protected:
    CCommissioningFlagReader() = default;
    CCommissioningFlagReader(const CCommissioningFlagReader&) = default;
    CCommissioningFlagReader& operator=(const CCommissioningFlagReader&) = default;
};
} // namespace Param

#endif
