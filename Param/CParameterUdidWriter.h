// UDID entries (index 0xCC00 + SADR, sub-index 1) written into an SOD parameter stream.
#ifndef PARAM_CPARAMETERUDIDWRITER_H
#define PARAM_CPARAMETERUDIDWRITER_H

#include <cstdint>

#include "Param/CParameterWriter.h"
#include "Param/CUdidWriter.h"

namespace Param
{
/// Open(), Close() and GetContentLength() go to the wrapped writer (owned elsewhere).
class CParameterUdidWriter : public CUdidWriter
{
public:
    static constexpr std::uint16_t ms_SadrUdidIndexMin = 0xCC01u;
    static constexpr std::uint8_t ms_UdidSubIndexMin = 1u;

    explicit CParameterUdidWriter(CParameterWriter& writer);

    void Open() override;
    /// Writes one record: index 0xCC00 + SADR, sub-index 1, length 6, the 6 bytes at udid. Raises 0xE2B8
    /// (info1 = SADR) for a SADR of 0 or 1024 and above; the wrapped writer's refusals (0xE2B1) pass unchanged.
    void WriteNext(std::uint16_t safetyAddress, const std::uint8_t* udid) override;
    void Close() override;
    /// Bytes written since Open(), from the wrapped writer.
    virtual std::uint32_t GetContentLength();

private:
    CParameterWriter& m_writer;
};
} // namespace Param

#endif
