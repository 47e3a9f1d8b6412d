// Decorator: the configuration data flag, negated.
#ifndef PARAM_CINVERTINGCONFIGURATIONDATAREADER_H
#define PARAM_CINVERTINGCONFIGURATIONDATAREADER_H

#include "Param/CConfigurationDataReader.h"
#include "Param/CInvertedConfigurationDataReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere) and negates the flag it delivers.
/// Exceptions of the wrapped reader pass unchanged.
class CInvertingConfigurationDataReader : public CInvertedConfigurationDataReader
{
public:
    explicit CInvertingConfigurationDataReader(CConfigurationDataReader& dataReader);

    void Open() override;
    bool TryReadNext(bool& invertedExternalMachineOptionsActive) override;
    void Close() override;

private:
    CConfigurationDataReader& m_dataReader;
};
} // namespace Param

#endif
