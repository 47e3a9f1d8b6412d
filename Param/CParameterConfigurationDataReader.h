// Filter: the auto-configuration data (index 0x2106) out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERCONFIGURATIONDATAREADER_H
#define PARAM_CPARAMETERCONFIGURATIONDATAREADER_H

#include <cstdint>

#include "Param/CConfigurationDataReader.h"
#include "Param/CParameterReader.h"

namespace Param
{
/// At most one record per Open(): sub-index 4 of index 0x2106, external machine options active, true when its first
/// data byte is not 0 (an empty entry is false; the first sub-index 4 counts). Open() and Close() go to the wrapped
/// stream (owned elsewhere).
class CParameterConfigurationDataReader : public CConfigurationDataReader
{
public:
    static constexpr std::uint16_t ms_AutoConfigurationParameterIndex = 0x2106u;
    static constexpr std::uint8_t ms_ExternalMachineOptionsActiveSubIndex = 4u;

    explicit CParameterConfigurationDataReader(CParameterReader& reader);

    void Open() override;
    /// Clears the flag, then walks the stream. True when index 0x2106 exists; false when it does not or when the
    /// record was already delivered since Open(). The stream's refusals pass unchanged (the stream closed).
    bool TryReadNext(bool& externalMachineOptionsActive) override;
    void Close() override;

private:
    CParameterReader& m_reader;
    std::uint16_t m_read;
};
} // namespace Param

#endif
