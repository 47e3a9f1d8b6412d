// Filter: the commissioning flags (index 0x210B) out of an SOD parameter stream.
#ifndef PARAM_CPARAMETERCOMMISSIONINGFLAGREADER_H
#define PARAM_CPARAMETERCOMMISSIONINGFLAGREADER_H

#include <cstdint>

#include "Param/CCommissioningFlagReader.h"
#include "Param/CParameterReader.h"

namespace Param
{
/// At most one record per Open(): sub-index 1 setup mode active, 2 acknowledge minor revisions automatically, 3
/// acknowledge the key medium automatically; each true when its first data byte is not 0 (an empty entry is false; the
/// first entry of a sub-index counts). Open() and Close() go to the wrapped stream (owned elsewhere).
class CParameterCommissioningFlagReader : public CCommissioningFlagReader
{
public:
    static constexpr std::uint16_t ms_CommissioningParameterIndex = 0x210Bu;
    static constexpr std::uint8_t ms_SetupModeActiveSubIndex = 1u;
    static constexpr std::uint8_t ms_AutoConfirmFirmwareSubIndex = 2u;
    static constexpr std::uint8_t ms_AutoConfirmTesseraSubIndex = 3u;

    explicit CParameterCommissioningFlagReader(CParameterReader& reader);

    void Open() override;
    /// Clears all three flags, then walks the stream. True when index 0x210B exists; false when it does not or when
    /// the record was already delivered since Open(). The stream's refusals pass unchanged (the stream closed).
    bool TryReadNext(bool& setupModeActive, bool& acknowledgeTessera, bool& acknowledgeMinorRevisions) override;
    void Close() override;

private:
    CParameterReader& m_reader;
    std::uint16_t m_read;
};
} // namespace Param

#endif
