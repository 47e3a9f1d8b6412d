// Event codes of the persistence manager.
#ifndef MAIN_CPERSISTENCEEVENTCODE_H
#define MAIN_CPERSISTENCEEVENTCODE_H

#include <cstdint>

#include "Scm/ScmCheckerEventCode.h"

namespace Main
{
struct CPersistenceEventCode
{
    enum Enum : std::uint16_t
    {
        ScmHasNoSignature = ScmPersistenceScmHasNoSignature,
        CheckerHasNoSignature = ScmPersistenceCheckerHasNoSignature,
        SignatureMismatch = ScmPersistenceSignatureMismatch,
        TimestampMismatch = ScmPersistenceTimestampMismatch,
        KelSignatureReadFailed = ScmPersistenceKelSignatureReadFailed,
        ScmHasMoreUdids = ScmPersistenceScmHasMoreUdids,
        CheckerHasMoreUdids = ScmPersistenceCheckerHasMoreUdids,
        UdidSafetyAddressMismatch = ScmPersistenceUdidSafetyAddressMismatch,
        UdidMismatch = ScmPersistenceUdidMismatch,
        ScmHasMoreMinorRevisions = ScmPersistenceScmHasMoreMinorRevisions,
        CheckerHasMoreMinorRevisions = ScmPersistenceCheckerHasMoreMinorRevisions,
        MinorRevisionSafetyAddressMismatch = ScmPersistenceMinorRevisionSafetyAddressMismatch,
        MinorRevisionMismatch = ScmPersistenceMinorRevisionMismatch,
        ScmHasNoCpuUdid = ScmPersistenceScmHasNoCpuUdid,
        CheckerHasNoCpuUdid = ScmPersistenceCheckerHasNoCpuUdid,
        CpuUdidMismatch = ScmPersistenceCpuUdidMismatch,
        ScmHasNoKelUdid = ScmPersistenceScmHasNoKelUdid,
        CheckerHasNoKelUdid = ScmPersistenceCheckerHasNoKelUdid,
        KelUdidMismatch = ScmPersistenceKelUdidMismatch,
        ScmHasNoPassword = ScmPersistenceScmHasNoPassword,
        CheckerHasNoPassword = ScmPersistenceCheckerHasNoPassword,
        PasswordMismatch = ScmPersistencePasswordMismatch,
        SetupModeMismatch = ScmPersistenceSetupModeMismatch,
    };
};
} // namespace Main

#endif
