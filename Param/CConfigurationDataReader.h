// Record reader interface: the configuration data flag of external machine options.
#ifndef PARAM_CCONFIGURATIONDATAREADER_H
#define PARAM_CCONFIGURATIONDATAREADER_H

#include <cstdint>

namespace Param
{
/// Pull-style stream: Open(), TryReadNext() until it returns false, Close(); after Close() the next Open()
/// starts from the beginning. TryReadNext() returns true with every out-argument filled when it delivered a
/// record and false at the end; malformed data raises Util::CException with the implementation's code. Handed-out
/// pointers stay valid until the next TryReadNext(), Close() or re-initialisation. Misuse raises 0xE200.
class CConfigurationDataReader
{
public:
    virtual ~CConfigurationDataReader() = default;
    virtual void Open() = 0;
    virtual bool TryReadNext(bool& externalMachineOptionsActive) = 0;
    virtual void Close() = 0;

protected:
    CConfigurationDataReader() = default;
    CConfigurationDataReader(const CConfigurationDataReader&) = default;
    CConfigurationDataReader& operator=(const CConfigurationDataReader&) = default;
};
} // namespace Param

#endif
