// The persistence manager: loads, validates and cross-checks the domain's files and keeps the checker's copies.
#ifndef MAIN_CDEFAULTPERSISTENCE_H
#define MAIN_CDEFAULTPERSISTENCE_H

#include <cstdint>

#include "Check/CPersistentFirmwareCheckerCallback.h"
#include "Check/CPersistentUdidCheckerCallback.h"
#include "Main/CAuthentification.h"
#include "Main/CTessera.h"
#include "Param/CAppendingInvertedAdditionalParameterHeaderReader.h"
#include "Param/CAutoCnfBin.h"
#include "Param/CAutoCnfBinUdidSectionUdidReader.h"
#include "Param/CComputedInvertedAdditionalParameterHeaderReader.h"
#include "Param/CEmoData1Bin.h"
#include "Param/CFwRevCnfBin.h"
#include "Param/CFwRevCnfBinChk.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionReader.h"
#include "Param/CFwRevCnfBinChkInvertedMinorRevisionWriter.h"
#include "Param/CInvertingAdditionalParameterHeaderReader.h"
#include "Param/CInvertingCommissioningFlagReader.h"
#include "Param/CInvertingFirmwareVersionReader.h"
#include "Param/CInvertingParameterChecksumReader.h"
#include "Param/CInvertingUdidReader.h"
#include "Param/CMergingInvertedUdidReader.h"
#include "Param/CParData1Bin.h"
#include "Param/CParData1BinAdditionalParameterHeaderReader.h"
#include "Param/CParameterAdditionalParameterHeaderReader.h"
#include "Param/CParameterCommissioningFlagReader.h"
#include "Param/CParameterFirmwareVersionReader.h"
#include "Param/CParameterParameterChecksumReader.h"
#include "Param/CParameterSafetyAddressReader.h"
#include "Param/CTesseraDat.h"
#include "Param/CTesseraDatChk.h"
#include "Param/CTesseraDatChkInvertedUdidReader.h"
#include "Param/CTesseraDatChkInvertedUdidWriter.h"
#include "Param/CTesseraUid.h"
#include "Param/CTesseraUidChk.h"
#include "Param/CTolParaSaf.h"
#include "Param/CTolParaSafScmSectionParameterReader.h"

namespace Main
{
class CFileStorage;

/// Owns every file of the safety domain for the life of the process, each in a member buffer (about 704 KiB in
/// all: one static instance, never on a stack; nothing is allocated). At start-up it validates the files, compares
/// each file of the SCM with the complemented copy the checker keeps beside it and discards a pair that disagrees;
/// it hands the record readers and writers over the loaded files to the checks and stores their acknowledgements,
/// the key-medium state and the password in the checker's own ".chk" files at once. It never writes a plain file.
/// Used by the start-up and then by the check task only.
///
/// Storage errors (Main::CFileStorageEventCode) are never caught here: they leave every operation.
class CDefaultPersistence : public CTessera,
                            public CAuthentification,
                            public Check::CPersistentUdidCheckerCallback,
                            public Check::CPersistentFirmwareCheckerCallback
{
public:
    static constexpr std::uint8_t ms_MachineOptionParameterNumber = 2u;
    static constexpr std::uint8_t ms_ExtendedMachineOptionParameterNumber = 3u;

    static constexpr std::uint32_t ms_TesseraUidBufferLength = 256u;
    static constexpr std::uint32_t ms_TesseraCpuBufferLength = 18u;
    static constexpr std::uint32_t ms_TesseraDatBufferLength = 65536u;
    static constexpr std::uint32_t ms_TolParaSafBufferLength = 262144u;
    static constexpr std::uint32_t ms_AutoCnfBinBufferLength = 65536u;
    static constexpr std::uint32_t ms_EmoData1BinBufferLength = 65536u;
    static constexpr std::uint32_t ms_ParData1BinBufferLength = 65536u;
    static constexpr std::uint32_t ms_FwRevCnfBinBufferLength = 65536u;

    /// Flash file of the safety controller that holds the key-medium signature it has taken over.
    static constexpr std::uint32_t ms_TesseraCpuFlashFileNumber = 16u;

    /// Zeroes the buffers and wires the file objects, readers and writers; reads nothing. The storage is kept by
    /// reference and must outlive this object.
    explicit CDefaultPersistence(CFileStorage& fileStorage);
    CDefaultPersistence(const CDefaultPersistence&) = delete;
    CDefaultPersistence& operator=(const CDefaultPersistence&) = delete;
    ~CDefaultPersistence() override = default;

    /// Loads and validates every file, compares the three pairs, takes over the controller's key-medium signature
    /// and decides the setup mode. A file that fails validation is logged as an error event and taken as empty; a
    /// pair that disagrees (CPersistenceEventCode, or a refusal of its file classes) is logged, both its storages
    /// are emptied and both taken as empty. Returns false when anything was discarded or the controller's
    /// signature could not be read. Raises the storage's codes (a missing storage: 0xE231 with information1 114)
    /// and then leaves the object uninitialised; a second call raises 0xE200. A malformed commissioning record of
    /// "tol_para.saf", met while deciding the setup mode, raises its reader's code.
    bool TryInitialize();

    /// Once after the start-up handshake with the SCM: when the checker's "tessera.uid.chk" is empty and the
    /// SCM's "tessera.uid" now holds a signature, stores its complemented copy. While "tessera.uid" is still empty
    /// the copy stays empty. Raises 0xE200 unless initialised, the codes of CTesseraUidEventCode for a malformed
    /// "tessera.uid" (nothing is written) and the storage's codes.
    void SynchronizeInitialSignatures();

    // The streams handed to the checks; references to members, usable in any state.
    Param::CSafetyAddressReader& GetRequiredSafetyAddressReader();
    /// The manually acknowledged UDIDs of "tessera.dat.chk" merged with the automatically acknowledged ones of
    /// "autocnf.bin".
    Param::CInvertedUdidReader& GetAcknowledgedInvertedUdidReader();
    Param::CInvertedUdidWriter& GetAcknowledgedInvertedUdidWriter();
    Param::CInvertedFirmwareVersionReader& GetRequiredInvertedFirmwareVersionReader();
    Param::CInvertedMinorRevisionReader& GetAcknowledgedInvertedMinorRevisionReader();
    Param::CInvertedMinorRevisionWriter& GetAcknowledgedInvertedMinorRevisionWriter();
    Param::CInvertedParameterChecksumReader& GetRequiredInvertedParameterChecksumReader();
    /// The application's headers of "tol_para.saf", then machine options (address 1, number 2), extended machine
    /// options (address 1, number 3) and the loadable headers of "pardata1.bin".
    Param::CInvertedAdditionalParameterHeaderReader& GetRequiredInvertedAdditionalParameterHeaderReader();
    Param::CInvertedCommissioningFlagReader& GetInvertedCommissioningFlagReader();

    // Each operation below raises 0xE200 unless initialised. Those that store raise the storage's codes; the
    // state they change is then left as it was.

    /// Marks the key medium acknowledged after storing "fwrevcnf.bin.chk" anew.
    void Acknowledge() override;
    /// Acknowledged since start-up by a matching signature in the safety controller, or by Acknowledge(). Works in
    /// any state.
    bool IsAcknowledged() const override;
    bool IsSetupModeActive() const override;
    /// Stores "fwrevcnf.bin.chk" with the new setup-mode flag, then takes it over.
    void SetSetupModeActive(bool active) override;

    /// Whether "fwrevcnf.bin.chk" holds a password.
    bool HasPassword() override;
    /// Null raises 0xE200. True while no password is stored.
    bool IsValidInvertedPassword(const std::uint8_t* invertedPassword) override;
    /// Null raises 0xE200. Stores the 16 complemented bytes with this controller's CPU id and Kel UDID in
    /// "fwrevcnf.bin.chk".
    void SetInvertedPassword(const std::uint8_t* invertedPassword) override;

    /// Stores "tessera.dat.chk" as the acknowledged-UDID writer has left it.
    void WriteAcknowledgedInvertedUdids() override;
    /// Stores "fwrevcnf.bin.chk" as the minor-revision writer has left it.
    void WriteAcknowledgedInvertedMinorRevisions() override;

private:
    // Start-up steps; each reads its storages outside its guarded validation.
    bool TryInitializeTesseraUids();
    bool TryInitializeTesseraCpu();
    bool TryInitializeTesseraDats();
    bool TryInitializeTolParaSaf();
    bool TryInitializeAutoCnfBin();
    bool TryInitializeEmoData1Bin();
    bool TryInitializeParData1Bin();
    bool TryInitializeFwRevCnfBins();
    void CompareTesseraAndCpuSignatures();
    void DetermineAutomaticSetupMode();

    // Pair comparisons (CDefaultPersistenceConsistency.cpp); each raises its CPersistenceEventCode.
    void CheckSignatureConsistency() const;
    void CheckUdidConsistency();
    void CheckFirmwareConsistency();
    void CheckAuthentificationConsistency() const;
    void CheckCpuUdidConsistency() const;
    void CheckKelUdidConsistency() const;
    void CheckPasswordConsistency() const;
    void CheckSetupModeConsistency() const;

    /// Stores "fwrevcnf.bin.chk" with the given setup-mode flag and the key-medium-empty flag of the start-up.
    void RewriteFwRevCnfBinChk(bool setupModeActive);

    std::uint8_t m_tesseraUidBuffer[ms_TesseraUidBufferLength];
    std::uint8_t m_tesseraUidChkBuffer[ms_TesseraUidBufferLength];
    std::uint8_t m_tesseraCpuBuffer[ms_TesseraCpuBufferLength];
    std::uint8_t m_tesseraDatBuffer[ms_TesseraDatBufferLength];
    std::uint8_t m_tesseraDatChkBuffer[ms_TesseraDatBufferLength];
    std::uint8_t m_tolParaSafBuffer[ms_TolParaSafBufferLength];
    std::uint8_t m_autoCnfBinBuffer[ms_AutoCnfBinBufferLength];
    std::uint8_t m_emoData1BinBuffer[ms_EmoData1BinBufferLength];
    std::uint8_t m_parData1BinBuffer[ms_ParData1BinBufferLength];
    std::uint8_t m_fwRevCnfBinBuffer[ms_FwRevCnfBinBufferLength];
    std::uint8_t m_fwRevCnfBinChkBuffer[ms_FwRevCnfBinBufferLength];

    Param::CTesseraUid m_tesseraUid;
    Param::CTesseraUidChk m_tesseraUidChk;
    Param::CTesseraUid m_tesseraCpu;
    Param::CTesseraDat m_tesseraDat;
    Param::CTesseraDatChk m_tesseraDatChk;
    Param::CTolParaSaf m_tolParaSaf;
    Param::CAutoCnfBin m_autoCnfBin;
    Param::CEmoData1Bin m_emoData1Bin;
    Param::CParData1Bin m_parData1Bin;
    Param::CFwRevCnfBin m_fwRevCnfBin;
    Param::CFwRevCnfBinChk m_fwRevCnfBinChk;

    Param::CTolParaSafScmSectionParameterReader m_parameterReader;
    Param::CParameterSafetyAddressReader m_requiredSafetyAddressReader;
    Param::CTesseraDatChkInvertedUdidReader m_manuallyAcknowledgedInvertedUdidReader;
    Param::CAutoCnfBinUdidSectionUdidReader m_automaticallyAcknowledgedUdidReader;
    Param::CInvertingUdidReader m_automaticallyAcknowledgedInvertedUdidReader;
    Param::CMergingInvertedUdidReader m_acknowledgedInvertedUdidReader;
    Param::CTesseraDatChkInvertedUdidWriter m_acknowledgedInvertedUdidWriter;
    Param::CParameterFirmwareVersionReader m_requiredFirmwareVersionReader;
    Param::CInvertingFirmwareVersionReader m_requiredInvertedFirmwareVersionReader;
    Param::CFwRevCnfBinChkInvertedMinorRevisionReader m_acknowledgedInvertedMinorRevisionReader;
    Param::CFwRevCnfBinChkInvertedMinorRevisionWriter m_acknowledgedInvertedMinorRevisionWriter;
    Param::CParameterParameterChecksumReader m_requiredParameterChecksumReader;
    Param::CInvertingParameterChecksumReader m_requiredInvertedParameterChecksumReader;
    Param::CParameterAdditionalParameterHeaderReader m_applicationAdditionalParameterHeaderReader;
    Param::CInvertingAdditionalParameterHeaderReader m_applicationInvertedAdditionalParameterHeaderReader;
    Param::CComputedInvertedAdditionalParameterHeaderReader m_machineOptionInvertedAdditionalParameterHeaderReader;
    Param::CComputedInvertedAdditionalParameterHeaderReader
        m_extendedMachineOptionInvertedAdditionalParameterHeaderReader;
    Param::CParData1BinAdditionalParameterHeaderReader m_loadableAdditionalParameterHeaderReader;
    Param::CInvertingAdditionalParameterHeaderReader m_loadableInvertedAdditionalParameterHeaderReader;
    Param::CAppendingInvertedAdditionalParameterHeaderReader m_requiredInvertedAdditionalParameterHeaderReader;
    Param::CParameterCommissioningFlagReader m_commissioningFlagReader;
    Param::CInvertingCommissioningFlagReader m_invertedCommissioningFlagReader;

    /// "tol_para.saf" was empty at start-up; stored in "fwrevcnf.bin.chk" as the key-medium-empty flag.
    bool m_wasEmpty;
    bool m_setupModeActive;
    bool m_tesseraSignatureAcknowledged;
    bool m_initialized;
    CFileStorage& m_fileStorage;
};
} // namespace Main

#endif
