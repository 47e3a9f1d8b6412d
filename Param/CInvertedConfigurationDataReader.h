// Record reader interface: the configuration data flag, negated.
#ifndef PARAM_CINVERTEDCONFIGURATIONDATAREADER_H
#define PARAM_CINVERTEDCONFIGURATIONDATAREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CInvertedConfigurationDataReader
{
public:
    virtual ~CInvertedConfigurationDataReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(bool& invertedExternalMachineOptionsActive) = 0;
    virtual void Close() = 0;

protected:
    CInvertedConfigurationDataReader() = default;
    CInvertedConfigurationDataReader(const CInvertedConfigurationDataReader&) = default;
    CInvertedConfigurationDataReader& operator=(const CInvertedConfigurationDataReader&) = default;
};
} // namespace Param

#endif
