// Names of the event codes, for tools that print events.
#include "Scm/ScmCheckerEventCode.h"

#include <cstddef>

namespace
{
struct CEventCodeName
{
    unsigned m_code;
    const char* m_owner;
    const char* m_name;
};

constexpr CEventCodeName EventCodeNames[] = {
    {0xE200u, "Util::CException", "InternalConsistency"},
    {0xE202u, "Main::CStartEventCode", "ExecutableCorrupted"},
    {0xE203u, "Main::CStartEventCode", "ScmRevisionMismatch"},
    {0xE204u, "Main::CStartEventCode", "StartTaskFailed"},
    {0xE205u, "Main::CStartEventCode", "ExcessiveDelay"},
    {0xE206u, "Main::CStartEventCode", "SemaphoreFailed"},
    {0xE209u, "Main::CSessionEventCode", "TimeoutStartTaskFailed"},
    {0xE20Au, "Main::CSessionEventCode", "CurrentTimestampFailed"},
    {0xE20Bu, "Main::CSessionEventCode", "FrameCopiesInconsistent"},
    {0xE20Cu, "Main::CSessionEventCode", "LockResetFailed"},
    {0xE20Du, "Main::CSessionEventCode", "UnlockResetFailed"},
    {0xE20Eu, "Main::CSessionEventCode", "UnlockTimeoutExceeded"},
    {0xE212u, "Main::CPersistenceEventCode", "ScmHasNoSignature"},
    {0xE213u, "Main::CPersistenceEventCode", "CheckerHasNoSignature"},
    {0xE214u, "Main::CPersistenceEventCode", "SignatureMismatch"},
    {0xE215u, "Main::CPersistenceEventCode", "TimestampMismatch"},
    {0xE216u, "Main::CPersistenceEventCode", "KelSignatureReadFailed"},
    {0xE217u, "Main::CPersistenceEventCode", "ScmHasMoreUdids"},
    {0xE218u, "Main::CPersistenceEventCode", "CheckerHasMoreUdids"},
    {0xE219u, "Main::CPersistenceEventCode", "UdidSafetyAddressMismatch"},
    {0xE21Au, "Main::CPersistenceEventCode", "UdidMismatch"},
    {0xE21Bu, "Main::CPersistenceEventCode", "ScmHasMoreMinorRevisions"},
    {0xE21Cu, "Main::CPersistenceEventCode", "CheckerHasMoreMinorRevisions"},
    {0xE21Du, "Main::CPersistenceEventCode", "MinorRevisionSafetyAddressMismatch"},
    {0xE21Eu, "Main::CPersistenceEventCode", "MinorRevisionMismatch"},
    {0xE21Fu, "Main::CPersistenceEventCode", "ScmHasNoCpuUdid"},
    {0xE220u, "Main::CPersistenceEventCode", "CheckerHasNoCpuUdid"},
    {0xE221u, "Main::CPersistenceEventCode", "CpuUdidMismatch"},
    {0xE222u, "Main::CPersistenceEventCode", "ScmHasNoKelUdid"},
    {0xE223u, "Main::CPersistenceEventCode", "CheckerHasNoKelUdid"},
    {0xE224u, "Main::CPersistenceEventCode", "KelUdidMismatch"},
    {0xE225u, "Main::CPersistenceEventCode", "ScmHasNoPassword"},
    {0xE226u, "Main::CPersistenceEventCode", "CheckerHasNoPassword"},
    {0xE227u, "Main::CPersistenceEventCode", "PasswordMismatch"},
    {0xE228u, "Main::CPersistenceEventCode", "SetupModeMismatch"},
    {0xE230u, "Main::CFileStorageEventCode", "BufferTooShort"},
    {0xE231u, "Main::CFileStorageEventCode", "OpenFailed"},
    {0xE232u, "Main::CFileStorageEventCode", "GetLengthFailed"},
    {0xE233u, "Main::CFileStorageEventCode", "ReadFailed"},
    {0xE234u, "Main::CFileStorageEventCode", "WriteFailed"},
    {0xE235u, "Main::CFileStorageEventCode", "CloseFailed"},
    {0xE238u, "ScmCheckerEventCode", "Reserved"},
    {0xE239u, "ScmCheckerEventCode", "Reserved"},
    {0xE23Au, "ScmCheckerEventCode", "Reserved"},
    {0xE23Bu, "ScmCheckerEventCode", "Reserved"},
    {0xE23Cu, "ScmCheckerEventCode", "Reserved"},
    {0xE23Du, "ScmCheckerEventCode", "Reserved"},
    {0xE23Eu, "ScmCheckerEventCode", "Reserved"},
    {0xE242u, "Main::CMessagingEventCode", "OpenFailed"},
    {0xE243u, "Main::CMessagingEventCode", "InformationFailed"},
    {0xE244u, "Main::CMessagingEventCode", "ReceiveFailed"},
    {0xE245u, "Main::CMessagingEventCode", "SendFailed"},
    {0xE246u, "Main::CMessagingEventCode", "QueueFull"},
    {0xE249u, "Main::CInspectorEventCode", "TesseraNotAcknowledged"},
    {0xE24Du, "Util::CProcessImageEventCode", "BlockCrcMismatch"},
    {0xE24Fu, "Param::CTesseraUidEventCode", "BufferTooShort"},
    {0xE250u, "Param::CTesseraUidEventCode", "InvalidVersion"},
    {0xE253u, "Param::CTolParaSafEventCode", "BufferTooShort"},
    {0xE254u, "Param::CTolParaSafEventCode", "InvalidHeaderLength"},
    {0xE255u, "Param::CTolParaSafEventCode", "InvalidVersion"},
    {0xE256u, "Param::CTolParaSafEventCode", "InvalidTotalLength"},
    {0xE257u, "Param::CTolParaSafEventCode", "InvalidScmSectionVersion"},
    {0xE258u, "Param::CTolParaSafEventCode", "InvalidHeaderCrc"},
    {0xE259u, "Param::CTolParaSafEventCode", "InvalidScmSectionOffset"},
    {0xE25Au, "Param::CTolParaSafEventCode", "InvalidScmSectionLength"},
    {0xE25Bu, "Param::CTolParaSafEventCode", "InvalidScmCrcOffset"},
    {0xE25Cu, "Param::CTolParaSafEventCode", "InvalidScmCrcCount"},
    {0xE25Du, "Param::CTolParaSafEventCode", "InvalidScmCrcLength"},
    {0xE25Eu, "Param::CTolParaSafEventCode", "InvalidScmCrc"},
    {0xE263u, "Param::CTesseraDatEventCode", "BufferTooShort"},
    {0xE264u, "Param::CTesseraDatEventCode", "InvalidContentLength"},
    {0xE265u, "Param::CTesseraDatEventCode", "InvalidHeaderLength"},
    {0xE266u, "Param::CTesseraDatEventCode", "InvalidVersion"},
    {0xE267u, "Param::CTesseraDatEventCode", "InvalidTotalLength"},
    {0xE268u, "Param::CTesseraDatEventCode", "InvalidHeaderCrc"},
    {0xE269u, "Param::CTesseraDatEventCode", "InvalidUdidSectionOffset"},
    {0xE26Au, "Param::CTesseraDatEventCode", "InvalidUdidSectionLength"},
    {0xE26Bu, "Param::CTesseraDatEventCode", "InvalidUdidCrcOffset"},
    {0xE26Cu, "Param::CTesseraDatEventCode", "InvalidUdidCrcCount"},
    {0xE26Du, "Param::CTesseraDatEventCode", "InvalidUdidCrcLength"},
    {0xE26Eu, "Param::CTesseraDatEventCode", "InvalidUdidCrc"},
    {0xE273u, "Param::CFwRevCnfBinEventCode", "BufferTooShort"},
    {0xE274u, "Param::CFwRevCnfBinEventCode", "InvalidEntries"},
    {0xE275u, "Param::CFwRevCnfBinEventCode", "InvalidAuthentification"},
    {0xE276u, "Param::CFwRevCnfBinEventCode", "InvalidModuleCount"},
    {0xE277u, "Param::CFwRevCnfBinEventCode", "InvalidEntryLength"},
    {0xE278u, "Param::CFwRevCnfBinEventCode", "InvalidVersion"},
    {0xE279u, "Param::CFwRevCnfBinEventCode", "InvalidEntryOffset"},
    {0xE27Au, "Param::CFwRevCnfBinEventCode", "InvalidModuleCrc"},
    {0xE27Bu, "Param::CFwRevCnfBinEventCode", "InvalidAuthentificationSectionLength"},
    {0xE27Cu, "Param::CFwRevCnfBinEventCode", "InvalidAuthentificationDataOffset"},
    {0xE27Du, "Param::CFwRevCnfBinEventCode", "InvalidFeatureFlags"},
    {0xE27Eu, "Param::CFwRevCnfBinEventCode", "InvalidAuthentificationCrc"},
    {0xE283u, "Param::CAutoCnfBinEventCode", "BufferTooShort"},
    {0xE284u, "Param::CAutoCnfBinEventCode", "InvalidContentLength"},
    {0xE285u, "Param::CAutoCnfBinEventCode", "InvalidSectionCount"},
    {0xE286u, "Param::CAutoCnfBinEventCode", "InvalidHeaderLength"},
    {0xE287u, "Param::CAutoCnfBinEventCode", "InvalidVersion"},
    {0xE288u, "Param::CAutoCnfBinEventCode", "InvalidUdidInformationSectionOffset"},
    {0xE289u, "Param::CAutoCnfBinEventCode", "InvalidUdids"},
    {0xE28Au, "Param::CAutoCnfBinEventCode", "InvalidUdidSectionOffset"},
    {0xE28Bu, "Param::CAutoCnfBinEventCode", "InvalidMachineOptions"},
    {0xE28Cu, "Param::CAutoCnfBinEventCode", "InvalidMachineOptionSectionLength"},
    {0xE28Du, "Param::CAutoCnfBinEventCode", "InvalidMachineOptionSectionOffset"},
    {0xE28Eu, "Param::CAutoCnfBinEventCode", "InvalidModuleFlags"},
    {0xE28Fu, "Param::CAutoCnfBinEventCode", "InvalidModuleFlagSectionLength"},
    {0xE290u, "Param::CAutoCnfBinEventCode", "InvalidModuleFlagSectionOffset"},
    {0xE291u, "Param::CAutoCnfBinEventCode", "InvalidHeaderCrc"},
    {0xE29Eu, "Param::CAutoCnfBinEventCode", "ModuleBufferTooShort"},
    {0xE29Fu, "Param::CAutoCnfBinEventCode", "InvalidModuleCount"},
    {0xE2A0u, "Param::CAutoCnfBinEventCode", "InvalidEntries"},
    {0xE2A1u, "Param::CAutoCnfBinEventCode", "InvalidEntryLength"},
    {0xE2A2u, "Param::CAutoCnfBinEventCode", "InvalidModuleVersion"},
    {0xE2A3u, "Param::CAutoCnfBinEventCode", "InvalidEntryOffset"},
    {0xE2A4u, "Param::CAutoCnfBinEventCode", "InvalidModuleCrc"},
    {0xE2A5u, "Param::CAutoCnfBinEventCode", "InvalidFileCrc"},
    {0xE2A8u, "Param::CParData1BinEventCode", "OtherReason"},
    {0xE2A9u, "Param::CEmoData1BinEventCode", "OtherReason"},
    {0xE2AAu, "Param::CByteArrayReaderEventCode", "IncompleteDescription"},
    {0xE2ACu, "Param::CByteArrayReaderEventCode", "IncompleteParameter"},
    {0xE2AEu, "Param::CByteArrayReaderEventCode", "InvalidSafetyAddress"},
    {0xE2B1u, "Param::CByteArrayWriterEventCode", "BufferTooShort"},
    {0xE2B2u, "Param::CByteArrayWriterEventCode", "InvalidSafetyAddress"},
    {0xE2B4u, "Param::CParameterReaderEventCode", "InvalidLength"},
    {0xE2B5u, "Param::CParameterReaderEventCode", "WrongOrder"},
    {0xE2B6u, "Param::CParameterReaderEventCode", "InvalidSafetyAddress"},
    {0xE2B8u, "Param::CParameterWriterEventCode", "InvalidSafetyAddress"},
    {0xE2B9u, "Param::CAdditionalParameterReaderEventCode", "InvalidLength"},
    {0xE2BAu, "Param::CAdditionalParameterReaderEventCode", "InvalidSafetyAddress"},
    {0xE2BBu, "Param::CAdditionalParameterReaderEventCode", "InvalidParameterNumber"},
    {0xE2BCu, "Param::CAdditionalParameterReaderEventCode", "OtherReason"},
    {0xE2BEu, "Epls::CFrameDecoderEventCode", "FrameTooShort"},
    {0xE2BFu, "Epls::CFrameDecoderEventCode", "InvalidLength"},
    {0xE2C0u, "Epls::CFrameDecoderEventCode", "InvalidCrc"},
    {0xE2C1u, "Epls::CFrameDecoderEventCode", "InconsistentPayload"},
    {0xE2C2u, "Epls::CFrameDecoderEventCode", "SpdoNotAllowed"},
    {0xE2C3u, "Epls::CFrameDecoderEventCode", "InvalidFrameType"},
    {0xE2C6u, "Hmi::CCommandDecoderEventCode", "CommandTooShort"},
    {0xE2C8u, "Event::CEventDecoderEventCode", "EventTooShort"},
    {0xE2CAu, "Hmi::CResponseDecoderEventCode", "ResponseTooShort"},
    {0xE2CDu, "ScmCheckerEventCode", "Reserved"},
    {0xE2CEu, "ScmCheckerEventCode", "Reserved"},
    {0xE2D1u, "ScmCheckerEventCode", "Reserved"},
    {0xE2D4u, "Check::CUdidCheckEventCode", "InvalidSafetyAddress"},
    {0xE2D5u, "Check::CUdidCheckEventCode", "NoModuleForEncoder"},
    {0xE2D6u, "Check::CUdidCheckEventCode", "InvalidUdid"},
    {0xE2D7u, "Check::CUdidCheckEventCode", "DuplicateUdid"},
    {0xE2D8u, "Check::CUdidCheckEventCode", "InvalidState"},
    {0xE2DCu, "Check::CFirmwareCheckEventCode", "InvalidSafetyAddress"},
    {0xE2DDu, "Check::CFirmwareCheckEventCode", "InvalidParameterLength"},
    {0xE2DEu, "Check::CFirmwareCheckEventCode", "InvalidVersion"},
    {0xE2DFu, "Check::CFirmwareCheckEventCode", "InvalidState"},
    {0xE2E3u, "Check::CParameterCheckEventCode", "InvalidSafetyAddress"},
    {0xE2E4u, "Check::CParameterCheckEventCode", "InvalidParameterLength"},
    {0xE2E5u, "Check::CParameterCheckEventCode", "InvalidChecksum"},
    {0xE2E6u, "Check::CParameterCheckEventCode", "InvalidState"},
    {0xE2EAu, "Check::CAdditionalParameterCheckEventCode", "InvalidSafetyAddress"},
    {0xE2EBu, "Check::CAdditionalParameterCheckEventCode", "InvalidAdditionalParameterNumber"},
    {0xE2ECu, "Check::CAdditionalParameterCheckEventCode", "UnknownAdditionalParameter"},
    {0xE2EDu, "Check::CAdditionalParameterCheckEventCode", "InvalidAdditionalParameter"},
};

const CEventCodeName* FindEventCode(unsigned eventCode)
{
    for (const CEventCodeName& entry : EventCodeNames)
    {
        if (entry.m_code == eventCode)
        {
            return &entry;
        }
    }
    return nullptr;
}
} // namespace

extern "C" const char* ScmGetEventCodeName(unsigned eventCode)
{
    const CEventCodeName* entry = FindEventCode(eventCode);
    return (entry != nullptr) ? entry->m_name : nullptr;
}

extern "C" const char* ScmGetEventCodeOwner(unsigned eventCode)
{
    const CEventCodeName* entry = FindEventCode(eventCode);
    return (entry != nullptr) ? entry->m_owner : nullptr;
}
