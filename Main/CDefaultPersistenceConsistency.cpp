// The persistence manager's comparisons of each file of the SCM with the complemented copy the checker keeps.
#include "Main/CDefaultPersistence.h"

#include <cstring>

#include "Main/CPersistenceEventCode.h"
#include "Param/CFwRevCnfBinMinorRevisionReader.h"
#include "Param/CInvertingMinorRevisionReader.h"
#include "Param/CInvertingUdidReader.h"
#include "Param/CTesseraDatUdidReader.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/Inversion.h"

namespace
{
using Code = Main::CPersistenceEventCode;

// Flag bits of SetupModeMismatch in information1.
constexpr std::uint32_t PlainTesseraEmptyBit = 0x01u;
constexpr std::uint32_t CopyTesseraEmptyBit = 0x02u;
constexpr std::uint32_t PlainSetupModeActiveBit = 0x10u;
constexpr std::uint32_t CopySetupModeActiveBit = 0x20u;

/// True when both sides of a pair have the value, false when neither has it; raises onlyCopyCode or onlyPlainCode
/// when one side alone has it.
bool HaveBoth(bool plainHas, bool copyHas, std::uint16_t onlyCopyCode, std::uint16_t onlyPlainCode)
{
    if (plainHas == copyHas)
    {
        return plainHas;
    }
    throw Util::CException(plainHas ? onlyPlainCode : onlyCopyCode);
}
} // namespace

namespace Main
{
void CDefaultPersistence::CheckSignatureConsistency() const
{
    const bool plainHas = (m_tesseraUid.GetContentLength() != 0u);
    const bool copyHas = (m_tesseraUidChk.GetContentLength() != 0u);
    if (!HaveBoth(plainHas, copyHas, Code::ScmHasNoSignature, Code::CheckerHasNoSignature))
    {
        return;
    }
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    Util::GetInvertedUdid(m_tesseraUid.GetKelUdid(), invertedKelUdid);
    if (Util::CUdid::AreDifferent(invertedKelUdid, m_tesseraUidChk.GetInvertedKelUdid()))
    {
        throw Util::CException(Code::SignatureMismatch);
    }
    if (Util::GetInvertedUInt64(m_tesseraUid.GetTimestamp()) != m_tesseraUidChk.GetInvertedTimestamp())
    {
        throw Util::CException(Code::TimestampMismatch);
    }
}

void CDefaultPersistence::CheckUdidConsistency()
{
    Param::CTesseraDatUdidReader udidReader(m_tesseraDat);
    Param::CInvertingUdidReader invertedUdidReader(udidReader);
    try
    {
        invertedUdidReader.Open();
        m_manuallyAcknowledgedInvertedUdidReader.Open();
        for (;;)
        {
            std::uint16_t plainSafetyAddress = 0u;
            const std::uint8_t* plainInvertedUdid = nullptr;
            std::uint16_t copySafetyAddress = 0u;
            const std::uint8_t* copyInvertedUdid = nullptr;
            const bool plainHas = invertedUdidReader.TryReadNext(plainSafetyAddress, plainInvertedUdid);
            const bool copyHas =
                m_manuallyAcknowledgedInvertedUdidReader.TryReadNext(copySafetyAddress, copyInvertedUdid);
            if (!HaveBoth(plainHas, copyHas, Code::CheckerHasMoreUdids, Code::ScmHasMoreUdids))
            {
                break;
            }
            if (plainSafetyAddress != copySafetyAddress)
            {
                throw Util::CException(Code::UdidSafetyAddressMismatch, plainSafetyAddress, copySafetyAddress);
            }
            if (Util::CUdid::AreDifferent(plainInvertedUdid, copyInvertedUdid))
            {
                throw Util::CException(Code::UdidMismatch, plainSafetyAddress, copySafetyAddress);
            }
        }
    }
    catch (const Util::CException&)
    {
        // A side that refused a malformed record has closed itself, the other is still open: both files must be
        // free again before they are emptied.
        invertedUdidReader.Close();
        m_manuallyAcknowledgedInvertedUdidReader.Close();
        throw;
    }
    invertedUdidReader.Close();
    m_manuallyAcknowledgedInvertedUdidReader.Close();
}

void CDefaultPersistence::CheckFirmwareConsistency()
{
    Param::CFwRevCnfBinMinorRevisionReader minorRevisionReader(m_fwRevCnfBin);
    Param::CInvertingMinorRevisionReader invertedMinorRevisionReader(minorRevisionReader);
    try
    {
        invertedMinorRevisionReader.Open();
        m_acknowledgedInvertedMinorRevisionReader.Open();
        for (;;)
        {
            std::uint16_t plainSafetyAddress = 0u;
            std::uint16_t plainInvertedMinorRevision = Util::GetInvertedUInt16(0u);
            std::uint16_t copySafetyAddress = 0u;
            std::uint16_t copyInvertedMinorRevision = Util::GetInvertedUInt16(0u);
            const bool plainHas =
                invertedMinorRevisionReader.TryReadNext(plainSafetyAddress, plainInvertedMinorRevision);
            const bool copyHas =
                m_acknowledgedInvertedMinorRevisionReader.TryReadNext(copySafetyAddress, copyInvertedMinorRevision);
            if (!HaveBoth(plainHas, copyHas, Code::CheckerHasMoreMinorRevisions, Code::ScmHasMoreMinorRevisions))
            {
                break;
            }
            if (plainSafetyAddress != copySafetyAddress)
            {
                throw Util::CException(Code::MinorRevisionSafetyAddressMismatch, plainSafetyAddress, copySafetyAddress);
            }
            if (plainInvertedMinorRevision != copyInvertedMinorRevision)
            {
                throw Util::CException(Code::MinorRevisionMismatch, plainSafetyAddress, copySafetyAddress);
            }
        }
    }
    catch (const Util::CException&)
    {
        // As for the UDIDs: both module sections must be free again before the files are emptied.
        invertedMinorRevisionReader.Close();
        m_acknowledgedInvertedMinorRevisionReader.Close();
        throw;
    }
    invertedMinorRevisionReader.Close();
    m_acknowledgedInvertedMinorRevisionReader.Close();
}

void CDefaultPersistence::CheckAuthentificationConsistency() const
{
    CheckCpuUdidConsistency();
    CheckKelUdidConsistency();
    CheckPasswordConsistency();
    CheckSetupModeConsistency();
}

void CDefaultPersistence::CheckCpuUdidConsistency() const
{
    if (!HaveBoth(m_fwRevCnfBin.HasCpuId(), m_fwRevCnfBinChk.HasCpuId(), Code::ScmHasNoCpuUdid,
                  Code::CheckerHasNoCpuUdid))
    {
        return;
    }
    // All eight bytes: the serial number in the upper four tells two controllers of one product apart.
    std::uint8_t invertedCpuId[Util::CpuIdLength] = {};
    Util::GetInvertedCpuId(m_fwRevCnfBin.GetCpuId(), invertedCpuId);
    if (std::memcmp(invertedCpuId, m_fwRevCnfBinChk.GetInvertedCpuId(), sizeof(invertedCpuId)) != 0)
    {
        throw Util::CException(Code::CpuUdidMismatch);
    }
}

void CDefaultPersistence::CheckKelUdidConsistency() const
{
    if (!HaveBoth(m_fwRevCnfBin.HasKelUdid(), m_fwRevCnfBinChk.HasKelUdid(), Code::ScmHasNoKelUdid,
                  Code::CheckerHasNoKelUdid))
    {
        return;
    }
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    Util::GetInvertedUdid(m_fwRevCnfBin.GetKelUdid(), invertedKelUdid);
    if (Util::CUdid::AreDifferent(invertedKelUdid, m_fwRevCnfBinChk.GetInvertedKelUdid()))
    {
        throw Util::CException(Code::KelUdidMismatch);
    }
}

void CDefaultPersistence::CheckPasswordConsistency() const
{
    if (!HaveBoth(m_fwRevCnfBin.HasPassword(), m_fwRevCnfBinChk.HasPassword(), Code::ScmHasNoPassword,
                  Code::CheckerHasNoPassword))
    {
        return;
    }
    std::uint8_t invertedPassword[Util::PasswordLength] = {};
    Util::GetInvertedPassword(m_fwRevCnfBin.GetPassword(), invertedPassword);
    if (Util::AreDifferentPasswords(invertedPassword, m_fwRevCnfBinChk.GetInvertedPassword()))
    {
        throw Util::CException(Code::PasswordMismatch);
    }
}

void CDefaultPersistence::CheckSetupModeConsistency() const
{
    const bool plainTesseraEmpty = m_fwRevCnfBin.WasTesseraEmpty();
    const bool copyTesseraEmpty = m_fwRevCnfBinChk.WasTesseraEmpty();
    const bool plainSetupModeActive = m_fwRevCnfBin.IsSetupModeActive();
    const bool copySetupModeActive = m_fwRevCnfBinChk.IsSetupModeActive();
    if ((plainTesseraEmpty == copyTesseraEmpty) && (plainSetupModeActive == copySetupModeActive))
    {
        return;
    }
    const std::uint32_t flags =
        (plainTesseraEmpty ? PlainTesseraEmptyBit : 0u) | (copyTesseraEmpty ? CopyTesseraEmptyBit : 0u) |
        (plainSetupModeActive ? PlainSetupModeActiveBit : 0u) | (copySetupModeActive ? CopySetupModeActiveBit : 0u);
    throw Util::CException(Code::SetupModeMismatch, flags);
}
} // namespace Main
