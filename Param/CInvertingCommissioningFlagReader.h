// Decorator: the commissioning flags, each negated.
#ifndef PARAM_CINVERTINGCOMMISSIONINGFLAGREADER_H
#define PARAM_CINVERTINGCOMMISSIONINGFLAGREADER_H

#include "Param/CCommissioningFlagReader.h"
#include "Param/CInvertedCommissioningFlagReader.h"

namespace Param
{
/// Forwards Open() and Close() to the wrapped reader (owned elsewhere) and negates every flag it delivers.
/// Exceptions of the wrapped reader pass unchanged.
class CInvertingCommissioningFlagReader : public CInvertedCommissioningFlagReader
{
public:
    explicit CInvertingCommissioningFlagReader(CCommissioningFlagReader& flagReader);

    void Open() override;
    bool TryReadNext(bool& invertedSetupModeActive, bool& invertedAcknowledgeTessera,
                     bool& invertedAcknowledgeMinorRevisions) override;
    void Close() override;

private:
    CCommissioningFlagReader& m_flagReader;
};
} // namespace Param

#endif
