// The persistence manager: loading of the domain's files at start-up, the key-medium state, the password and the
// rewrites of the checker's ".chk" files.
#include "Main/CDefaultPersistence.h"

#include "Main/CFileStorage.h"
#include "Main/CPersistenceEventCode.h"
#include "Scm/ScmKernel.h"
#include "Scm/ScmSafetyDomain.h"
#include "Util/ByteOrder.h"
#include "Util/CException.h"
#include "Util/CUdid.h"
#include "Util/FileIdentifier.h"
#include "Util/Inversion.h"

namespace
{
constexpr std::uint32_t FileIdentifier = 0x1833041Eu;

constexpr const char* TesseraUidName = "tessera.uid";
constexpr const char* TesseraUidChkName = "tessera.uid.chk";
constexpr const char* TesseraDatName = "tessera.dat";
constexpr const char* TesseraDatChkName = "tessera.dat.chk";
constexpr const char* TolParaSafName = "tol_para.saf";
constexpr const char* AutoCnfBinName = "autocnf.bin";
constexpr const char* EmoData1BinName = "emodata1.bin";
constexpr const char* ParData1BinName = "pardata1.bin";
constexpr const char* FwRevCnfBinName = "fwrevcnf.bin";
constexpr const char* FwRevCnfBinChkName = "fwrevcnf.bin.chk";

/// Safety address under which the controller's machine options count as additional parameters.
constexpr std::uint16_t MachineOptionSafetyAddress = 1u;
/// Wait for the flash file without a time limit.
constexpr std::uint32_t FlashFileTimeoutUnlimited = 0xFFFFFFFFu;
constexpr std::int32_t FlashFileReadFailed = -1;

/// The Kel UDID of this safety controller, complemented; false when the kernel cannot tell a valid one.
bool TryGetInvertedKelUdid(std::uint8_t* invertedKelUdid)
{
    std::uint8_t kelUdid[Util::UdidLength] = {};
    if ((ScmRequestKelUdid(GetSafetyDomainNumber(), kelUdid) != 0) || Util::CUdid::IsInvalid(kelUdid))
    {
        return false;
    }
    Util::GetInvertedUdid(kelUdid, invertedKelUdid);
    return true;
}
} // namespace

namespace Main
{
CDefaultPersistence::CDefaultPersistence(CFileStorage& fileStorage)
    : m_tesseraUidBuffer{}, m_tesseraUidChkBuffer{}, m_tesseraCpuBuffer{}, m_tesseraDatBuffer{},
      m_tesseraDatChkBuffer{}, m_tolParaSafBuffer{}, m_autoCnfBinBuffer{}, m_emoData1BinBuffer{}, m_parData1BinBuffer{},
      m_fwRevCnfBinBuffer{}, m_fwRevCnfBinChkBuffer{}, m_tesseraUid(sizeof(m_tesseraUidBuffer), m_tesseraUidBuffer),
      m_tesseraUidChk(sizeof(m_tesseraUidChkBuffer), m_tesseraUidChkBuffer),
      m_tesseraCpu(sizeof(m_tesseraCpuBuffer), m_tesseraCpuBuffer),
      m_tesseraDat(sizeof(m_tesseraDatBuffer), m_tesseraDatBuffer),
      m_tesseraDatChk(sizeof(m_tesseraDatChkBuffer), m_tesseraDatChkBuffer),
      m_tolParaSaf(sizeof(m_tolParaSafBuffer), m_tolParaSafBuffer),
      m_autoCnfBin(sizeof(m_autoCnfBinBuffer), m_autoCnfBinBuffer),
      m_emoData1Bin(sizeof(m_emoData1BinBuffer), m_emoData1BinBuffer),
      m_parData1Bin(sizeof(m_parData1BinBuffer), m_parData1BinBuffer),
      m_fwRevCnfBin(sizeof(m_fwRevCnfBinBuffer), m_fwRevCnfBinBuffer),
      m_fwRevCnfBinChk(sizeof(m_fwRevCnfBinChkBuffer), m_fwRevCnfBinChkBuffer), m_parameterReader(m_tolParaSaf),
      m_requiredSafetyAddressReader(m_parameterReader), m_manuallyAcknowledgedInvertedUdidReader(m_tesseraDatChk),
      m_automaticallyAcknowledgedUdidReader(m_autoCnfBin),
      m_automaticallyAcknowledgedInvertedUdidReader(m_automaticallyAcknowledgedUdidReader),
      m_acknowledgedInvertedUdidReader(m_manuallyAcknowledgedInvertedUdidReader,
                                       m_automaticallyAcknowledgedInvertedUdidReader),
      m_acknowledgedInvertedUdidWriter(m_tesseraDatChk), m_requiredFirmwareVersionReader(m_parameterReader),
      m_requiredInvertedFirmwareVersionReader(m_requiredFirmwareVersionReader),
      m_acknowledgedInvertedMinorRevisionReader(m_fwRevCnfBinChk),
      m_acknowledgedInvertedMinorRevisionWriter(m_fwRevCnfBinChk), m_requiredParameterChecksumReader(m_parameterReader),
      m_requiredInvertedParameterChecksumReader(m_requiredParameterChecksumReader),
      m_applicationAdditionalParameterHeaderReader(m_parameterReader),
      m_applicationInvertedAdditionalParameterHeaderReader(m_applicationAdditionalParameterHeaderReader),
      m_machineOptionInvertedAdditionalParameterHeaderReader(),
      m_extendedMachineOptionInvertedAdditionalParameterHeaderReader(),
      m_loadableAdditionalParameterHeaderReader(m_parData1Bin),
      m_loadableInvertedAdditionalParameterHeaderReader(m_loadableAdditionalParameterHeaderReader),
      m_requiredInvertedAdditionalParameterHeaderReader(m_applicationInvertedAdditionalParameterHeaderReader,
                                                        m_machineOptionInvertedAdditionalParameterHeaderReader,
                                                        m_extendedMachineOptionInvertedAdditionalParameterHeaderReader,
                                                        m_loadableInvertedAdditionalParameterHeaderReader),
      m_commissioningFlagReader(m_parameterReader), m_invertedCommissioningFlagReader(m_commissioningFlagReader),
      m_wasEmpty(false), m_setupModeActive(false), m_tesseraSignatureAcknowledged(false), m_initialized(false),
      m_fileStorage(fileStorage)
{
}

bool CDefaultPersistence::TryInitialize()
{
    SCM_GUARD(!m_initialized);
    m_wasEmpty = (m_fileStorage.GetLength(TolParaSafName) == 0u);

    // Every step runs whatever the earlier ones found: each file is loaded or discarded on its own.
    bool initialized = TryInitializeTesseraUids();
    initialized = TryInitializeTesseraCpu() && initialized;
    initialized = TryInitializeTesseraDats() && initialized;
    initialized = TryInitializeTolParaSaf() && initialized;
    initialized = TryInitializeAutoCnfBin() && initialized;
    initialized = TryInitializeEmoData1Bin() && initialized;
    initialized = TryInitializeParData1Bin() && initialized;
    initialized = TryInitializeFwRevCnfBins() && initialized;

    CompareTesseraAndCpuSignatures();
    if (m_autoCnfBin.HasMachineOptionSection())
    {
        std::uint16_t sectionLength = 0u;
        const std::uint8_t* section = nullptr;
        m_autoCnfBin.GetRawMachineOptionSection(sectionLength, section);
        m_machineOptionInvertedAdditionalParameterHeaderReader.SetAdditionalParameter(
            MachineOptionSafetyAddress, ms_MachineOptionParameterNumber, m_autoCnfBin.GetTimestamp(), sectionLength,
            section);
    }
    DetermineAutomaticSetupMode();
    if (m_emoData1Bin.HasContent())
    {
        std::uint16_t contentLength = 0u;
        const std::uint8_t* content = nullptr;
        m_emoData1Bin.GetRawContent(contentLength, content);
        m_extendedMachineOptionInvertedAdditionalParameterHeaderReader.SetAdditionalParameter(
            MachineOptionSafetyAddress, ms_ExtendedMachineOptionParameterNumber, m_emoData1Bin.GetTimestamp(),
            contentLength, content);
    }

    m_initialized = true;
    return initialized;
}

bool CDefaultPersistence::TryInitializeTesseraUids()
{
    const std::uint32_t length = m_fileStorage.Read(TesseraUidName, sizeof(m_tesseraUidBuffer), m_tesseraUidBuffer);
    const std::uint32_t chkLength =
        m_fileStorage.Read(TesseraUidChkName, sizeof(m_tesseraUidChkBuffer), m_tesseraUidChkBuffer);
    try
    {
        m_tesseraUid.ReadContent(length);
        m_tesseraUidChk.ReadContent(chkLength);
        CheckSignatureConsistency();
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_fileStorage.Delete(TesseraUidName);
    m_fileStorage.Delete(TesseraUidChkName);
    m_tesseraUid.ReadContent(0u);
    m_tesseraUidChk.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeTesseraCpu()
{
    const std::int32_t result =
        ScmReadKelFlashFile(GetSafetyDomainNumber(), ms_TesseraCpuFlashFileNumber, FlashFileTimeoutUnlimited,
                            sizeof(m_tesseraCpuBuffer), m_tesseraCpuBuffer);
    if (result == FlashFileReadFailed)
    {
        m_tesseraCpu.ReadContent(0u);
        return false;
    }
    if (result == static_cast<std::int32_t>(sizeof(m_tesseraCpuBuffer)))
    {
        // A signature the controller holds in another format only costs the acknowledgement from start-up.
        try
        {
            m_tesseraCpu.ReadContent(sizeof(m_tesseraCpuBuffer));
        }
        catch (const Util::CException& exception)
        {
            Util::CException::LogWarning(exception);
            m_tesseraCpu.ReadContent(0u);
        }
        return true;
    }
    Util::CException::LogError(
        Util::CException(CPersistenceEventCode::KelSignatureReadFailed, 0u, static_cast<std::uint32_t>(result)));
    m_tesseraCpu.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeTesseraDats()
{
    const std::uint32_t length = m_fileStorage.Read(TesseraDatName, sizeof(m_tesseraDatBuffer), m_tesseraDatBuffer);
    const std::uint32_t chkLength =
        m_fileStorage.Read(TesseraDatChkName, sizeof(m_tesseraDatChkBuffer), m_tesseraDatChkBuffer);
    try
    {
        m_tesseraDat.ReadContent(length);
        m_tesseraDatChk.ReadContent(chkLength);
        CheckUdidConsistency();
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_fileStorage.Delete(TesseraDatName);
    m_fileStorage.Delete(TesseraDatChkName);
    m_tesseraDat.ReadContent(0u);
    m_tesseraDatChk.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeTolParaSaf()
{
    const std::uint32_t length = m_fileStorage.Read(TolParaSafName, sizeof(m_tolParaSafBuffer), m_tolParaSafBuffer);
    try
    {
        m_tolParaSaf.ReadContent(length);
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_tolParaSaf.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeAutoCnfBin()
{
    const std::uint32_t length = m_fileStorage.Read(AutoCnfBinName, sizeof(m_autoCnfBinBuffer), m_autoCnfBinBuffer);
    try
    {
        m_autoCnfBin.ReadContent(length);
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_autoCnfBin.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeEmoData1Bin()
{
    const std::uint32_t length = m_fileStorage.Read(EmoData1BinName, sizeof(m_emoData1BinBuffer), m_emoData1BinBuffer);
    try
    {
        m_emoData1Bin.ReadContent(length);
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_emoData1Bin.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeParData1Bin()
{
    const std::uint32_t length = m_fileStorage.Read(ParData1BinName, sizeof(m_parData1BinBuffer), m_parData1BinBuffer);
    try
    {
        m_parData1Bin.ReadContent(length);
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_parData1Bin.ReadContent(0u);
    return false;
}

bool CDefaultPersistence::TryInitializeFwRevCnfBins()
{
    const std::uint32_t length = m_fileStorage.Read(FwRevCnfBinName, sizeof(m_fwRevCnfBinBuffer), m_fwRevCnfBinBuffer);
    const std::uint32_t chkLength =
        m_fileStorage.Read(FwRevCnfBinChkName, sizeof(m_fwRevCnfBinChkBuffer), m_fwRevCnfBinChkBuffer);
    try
    {
        m_fwRevCnfBin.ReadContent(length);
        m_fwRevCnfBinChk.ReadContent(chkLength);
        CheckFirmwareConsistency();
        CheckAuthentificationConsistency();
        return true;
    }
    catch (const Util::CException& exception)
    {
        Util::CException::LogError(exception);
    }
    m_fileStorage.Delete(FwRevCnfBinName);
    m_fileStorage.Delete(FwRevCnfBinChkName);
    m_fwRevCnfBin.ReadContent(0u);
    m_fwRevCnfBinChk.ReadContent(0u);
    return false;
}

void CDefaultPersistence::CompareTesseraAndCpuSignatures()
{
    // Two absent signatures are no match: without a signature in the checker's copy there is nothing that the
    // controller could confirm.
    if ((m_tesseraCpu.GetContentLength() == 0u) || (m_tesseraUidChk.GetContentLength() == 0u))
    {
        return;
    }
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    Util::GetInvertedUdid(m_tesseraCpu.GetKelUdid(), invertedKelUdid);
    if (Util::CUdid::AreEqual(invertedKelUdid, m_tesseraUidChk.GetInvertedKelUdid()) &&
        (Util::GetInvertedUInt64(m_tesseraCpu.GetTimestamp()) == m_tesseraUidChk.GetInvertedTimestamp()))
    {
        m_tesseraSignatureAcknowledged = true;
    }
}

void CDefaultPersistence::DetermineAutomaticSetupMode()
{
    if (m_fwRevCnfBinChk.IsSetupModeActive())
    {
        m_setupModeActive = true;
        return;
    }
    if ((m_fwRevCnfBinChk.GetContentLength() == 0u) || !m_fwRevCnfBinChk.WasTesseraEmpty())
    {
        return;
    }
    bool invertedSetupModeActive = true;
    bool invertedAcknowledgeTessera = true;
    bool invertedAcknowledgeMinorRevisions = true;
    m_invertedCommissioningFlagReader.Open();
    const bool configured = m_invertedCommissioningFlagReader.TryReadNext(
        invertedSetupModeActive, invertedAcknowledgeTessera, invertedAcknowledgeMinorRevisions);
    m_invertedCommissioningFlagReader.Close();
    if (!configured || invertedSetupModeActive)
    {
        return;
    }
    // Only the controller whose Kel UDID the checker stored may find the setup mode on by itself; a controller
    // that cannot tell its Kel UDID never matches, not even a copy that holds none.
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    if (TryGetInvertedKelUdid(invertedKelUdid) &&
        Util::CUdid::AreEqual(invertedKelUdid, m_fwRevCnfBinChk.GetInvertedKelUdid()))
    {
        m_setupModeActive = true;
    }
}

void CDefaultPersistence::SynchronizeInitialSignatures()
{
    // Without a completed start-up the copy in memory was never validated: writing from it could replace a
    // stored copy that merely failed to load.
    SCM_GUARD(m_initialized);
    if (m_tesseraUidChk.GetContentLength() != 0u)
    {
        return;
    }
    const std::uint32_t length = m_fileStorage.Read(TesseraUidName, sizeof(m_tesseraUidBuffer), m_tesseraUidBuffer);
    m_tesseraUid.ReadContent(length);
    // While the SCM has no signature either, an empty copy keeps the pair consistent for the next start.
    if (m_tesseraUid.GetContentLength() == 0u)
    {
        return;
    }
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    Util::GetInvertedUdid(m_tesseraUid.GetKelUdid(), invertedKelUdid);
    m_tesseraUidChk.ReadContent(0u);
    m_tesseraUidChk.SetInvertedKelUdid(invertedKelUdid);
    m_tesseraUidChk.SetInvertedTimestamp(Util::GetInvertedUInt64(m_tesseraUid.GetTimestamp()));
    m_tesseraUidChk.WriteContent();
    m_fileStorage.Write(TesseraUidChkName, m_tesseraUidChk.GetContentLength(), m_tesseraUidChkBuffer);
}

Param::CSafetyAddressReader& CDefaultPersistence::GetRequiredSafetyAddressReader()
{
    return m_requiredSafetyAddressReader;
}

Param::CInvertedUdidReader& CDefaultPersistence::GetAcknowledgedInvertedUdidReader()
{
    return m_acknowledgedInvertedUdidReader;
}

Param::CInvertedUdidWriter& CDefaultPersistence::GetAcknowledgedInvertedUdidWriter()
{
    return m_acknowledgedInvertedUdidWriter;
}

Param::CInvertedFirmwareVersionReader& CDefaultPersistence::GetRequiredInvertedFirmwareVersionReader()
{
    return m_requiredInvertedFirmwareVersionReader;
}

Param::CInvertedMinorRevisionReader& CDefaultPersistence::GetAcknowledgedInvertedMinorRevisionReader()
{
    return m_acknowledgedInvertedMinorRevisionReader;
}

Param::CInvertedMinorRevisionWriter& CDefaultPersistence::GetAcknowledgedInvertedMinorRevisionWriter()
{
    return m_acknowledgedInvertedMinorRevisionWriter;
}

Param::CInvertedParameterChecksumReader& CDefaultPersistence::GetRequiredInvertedParameterChecksumReader()
{
    return m_requiredInvertedParameterChecksumReader;
}

Param::CInvertedAdditionalParameterHeaderReader&
CDefaultPersistence::GetRequiredInvertedAdditionalParameterHeaderReader()
{
    return m_requiredInvertedAdditionalParameterHeaderReader;
}

Param::CInvertedCommissioningFlagReader& CDefaultPersistence::GetInvertedCommissioningFlagReader()
{
    return m_invertedCommissioningFlagReader;
}

void CDefaultPersistence::Acknowledge()
{
    SCM_GUARD(m_initialized);
    RewriteFwRevCnfBinChk(m_setupModeActive);
    m_tesseraSignatureAcknowledged = true;
}

bool CDefaultPersistence::IsAcknowledged() const
{
    return m_tesseraSignatureAcknowledged;
}

bool CDefaultPersistence::IsSetupModeActive() const
{
    SCM_GUARD(m_initialized);
    return m_setupModeActive;
}

void CDefaultPersistence::SetSetupModeActive(bool active)
{
    SCM_GUARD(m_initialized);
    RewriteFwRevCnfBinChk(active);
    m_setupModeActive = active;
}

bool CDefaultPersistence::HasPassword()
{
    SCM_GUARD(m_initialized);
    return m_fwRevCnfBinChk.HasPassword();
}

bool CDefaultPersistence::IsValidInvertedPassword(const std::uint8_t* invertedPassword)
{
    SCM_GUARD(m_initialized);
    SCM_GUARD(invertedPassword != nullptr);
    if (!m_fwRevCnfBinChk.HasPassword())
    {
        return true;
    }
    return Util::AreEqualPasswords(invertedPassword, m_fwRevCnfBinChk.GetInvertedPassword());
}

void CDefaultPersistence::SetInvertedPassword(const std::uint8_t* invertedPassword)
{
    // Guarded like every other change: a copy that never loaded must not be stored over the one on file.
    SCM_GUARD(m_initialized);
    SCM_GUARD(invertedPassword != nullptr);
    std::uint8_t cpuId[Util::CpuIdLength] = {};
    Util::SetLittleEndianUInt32(cpuId, 0u, ScmGetCpuProductCode());
    Util::SetLittleEndianUInt32(cpuId, 4u, ScmGetCpuSerialNumber());
    std::uint8_t invertedCpuId[Util::CpuIdLength] = {};
    Util::GetInvertedCpuId(cpuId, invertedCpuId);
    // A controller that cannot tell its Kel UDID leaves the complement of zero, as for an absent one.
    std::uint8_t invertedKelUdid[Util::UdidLength] = {};
    Util::ClearInvertedUdid(invertedKelUdid);
    (void)TryGetInvertedKelUdid(invertedKelUdid);

    m_fwRevCnfBinChk.SetInvertedCpuId(invertedCpuId);
    m_fwRevCnfBinChk.SetInvertedKelUdid(invertedKelUdid);
    m_fwRevCnfBinChk.SetInvertedPassword(invertedPassword);
    RewriteFwRevCnfBinChk(m_setupModeActive);
}

void CDefaultPersistence::WriteAcknowledgedInvertedUdids()
{
    SCM_GUARD(m_initialized);
    m_tesseraDatChk.WriteContent();
    m_fileStorage.Write(TesseraDatChkName, m_tesseraDatChk.GetContentLength(), m_tesseraDatChkBuffer);
}

void CDefaultPersistence::WriteAcknowledgedInvertedMinorRevisions()
{
    SCM_GUARD(m_initialized);
    RewriteFwRevCnfBinChk(m_setupModeActive);
}

void CDefaultPersistence::RewriteFwRevCnfBinChk(bool setupModeActive)
{
    m_fwRevCnfBinChk.SetSetupModeActive(setupModeActive);
    m_fwRevCnfBinChk.SetTesseraEmpty(m_wasEmpty);
    m_fwRevCnfBinChk.WriteContent();
    m_fileStorage.Write(FwRevCnfBinChkName, m_fwRevCnfBinChk.GetContentLength(), m_fwRevCnfBinChkBuffer);
}
} // namespace Main
