/* Every event code of the SCM checker; each owning class names its own codes in a nested structure. */
#ifndef SCM_SCMCHECKEREVENTCODE_H
#define SCM_SCMCHECKEREVENTCODE_H

#ifdef __cplusplus
extern "C"
{
#endif

    typedef enum ScmCheckerEventCode
    {
        ScmInternalConsistency = 0xE200,

        ScmStartExecutableCorrupted = 0xE202,
        ScmStartScmRevisionMismatch = 0xE203,
        ScmStartStartTaskFailed = 0xE204,
        ScmStartExcessiveDelay = 0xE205,
        ScmStartSemaphoreFailed = 0xE206,

        ScmSessionTimeoutStartTaskFailed = 0xE209,
        ScmSessionCurrentTimestampFailed = 0xE20A,
        ScmSessionFrameCopiesInconsistent = 0xE20B,
        ScmSessionLockResetFailed = 0xE20C,
        ScmSessionUnlockResetFailed = 0xE20D,
        ScmSessionUnlockTimeoutExceeded = 0xE20E,

        ScmPersistenceScmHasNoSignature = 0xE212,
        ScmPersistenceCheckerHasNoSignature = 0xE213,
        ScmPersistenceSignatureMismatch = 0xE214,
        ScmPersistenceTimestampMismatch = 0xE215,
        ScmPersistenceKelSignatureReadFailed = 0xE216,
        ScmPersistenceScmHasMoreUdids = 0xE217,
        ScmPersistenceCheckerHasMoreUdids = 0xE218,
        ScmPersistenceUdidSafetyAddressMismatch = 0xE219,
        ScmPersistenceUdidMismatch = 0xE21A,
        ScmPersistenceScmHasMoreMinorRevisions = 0xE21B,
        ScmPersistenceCheckerHasMoreMinorRevisions = 0xE21C,
        ScmPersistenceMinorRevisionSafetyAddressMismatch = 0xE21D,
        ScmPersistenceMinorRevisionMismatch = 0xE21E,
        ScmPersistenceScmHasNoCpuUdid = 0xE21F,
        ScmPersistenceCheckerHasNoCpuUdid = 0xE220,
        ScmPersistenceCpuUdidMismatch = 0xE221,
        ScmPersistenceScmHasNoKelUdid = 0xE222,
        ScmPersistenceCheckerHasNoKelUdid = 0xE223,
        ScmPersistenceKelUdidMismatch = 0xE224,
        ScmPersistenceScmHasNoPassword = 0xE225,
        ScmPersistenceCheckerHasNoPassword = 0xE226,
        ScmPersistencePasswordMismatch = 0xE227,
        ScmPersistenceSetupModeMismatch = 0xE228,

        ScmFileStorageBufferTooShort = 0xE230,
        ScmFileStorageOpenFailed = 0xE231,
        ScmFileStorageGetLengthFailed = 0xE232,
        ScmFileStorageReadFailed = 0xE233,
        ScmFileStorageWriteFailed = 0xE234,
        ScmFileStorageCloseFailed = 0xE235,

        /* Reserved, raised nowhere. */
        ScmReserved0xE238 = 0xE238,
        ScmReserved0xE239 = 0xE239,
        ScmReserved0xE23A = 0xE23A,
        ScmReserved0xE23B = 0xE23B,
        ScmReserved0xE23C = 0xE23C,
        ScmReserved0xE23D = 0xE23D,
        ScmReserved0xE23E = 0xE23E,

        ScmMessagingOpenFailed = 0xE242,
        ScmMessagingInformationFailed = 0xE243,
        ScmMessagingReceiveFailed = 0xE244,
        ScmMessagingSendFailed = 0xE245,
        ScmMessagingQueueFull = 0xE246,

        ScmInspectorTesseraNotAcknowledged = 0xE249,

        ScmProcessImageBlockCrcMismatch = 0xE24D,

        ScmTesseraUidBufferTooShort = 0xE24F,
        ScmTesseraUidInvalidVersion = 0xE250,

        ScmTolParaSafBufferTooShort = 0xE253,
        ScmTolParaSafInvalidHeaderLength = 0xE254,
        ScmTolParaSafInvalidVersion = 0xE255,
        ScmTolParaSafInvalidTotalLength = 0xE256,
        ScmTolParaSafInvalidScmSectionVersion = 0xE257,
        ScmTolParaSafInvalidHeaderCrc = 0xE258,
        ScmTolParaSafInvalidScmSectionOffset = 0xE259,
        ScmTolParaSafInvalidScmSectionLength = 0xE25A,
        ScmTolParaSafInvalidScmCrcOffset = 0xE25B,
        ScmTolParaSafInvalidScmCrcCount = 0xE25C,
        ScmTolParaSafInvalidScmCrcLength = 0xE25D,
        ScmTolParaSafInvalidScmCrc = 0xE25E,

        ScmTesseraDatBufferTooShort = 0xE263,
        ScmTesseraDatInvalidContentLength = 0xE264,
        ScmTesseraDatInvalidHeaderLength = 0xE265,
        ScmTesseraDatInvalidVersion = 0xE266,
        ScmTesseraDatInvalidTotalLength = 0xE267,
        ScmTesseraDatInvalidHeaderCrc = 0xE268,
        ScmTesseraDatInvalidUdidSectionOffset = 0xE269,
        ScmTesseraDatInvalidUdidSectionLength = 0xE26A,
        ScmTesseraDatInvalidUdidCrcOffset = 0xE26B,
        ScmTesseraDatInvalidUdidCrcCount = 0xE26C,
        ScmTesseraDatInvalidUdidCrcLength = 0xE26D,
        ScmTesseraDatInvalidUdidCrc = 0xE26E,

        ScmFwRevCnfBinBufferTooShort = 0xE273,
        ScmFwRevCnfBinInvalidEntries = 0xE274,
        ScmFwRevCnfBinInvalidAuthentification = 0xE275,
        ScmFwRevCnfBinInvalidModuleCount = 0xE276,
        ScmFwRevCnfBinInvalidEntryLength = 0xE277,
        ScmFwRevCnfBinInvalidVersion = 0xE278,
        ScmFwRevCnfBinInvalidEntryOffset = 0xE279,
        ScmFwRevCnfBinInvalidModuleCrc = 0xE27A,
        ScmFwRevCnfBinInvalidAuthentificationSectionLength = 0xE27B,
        ScmFwRevCnfBinInvalidAuthentificationDataOffset = 0xE27C,
        ScmFwRevCnfBinInvalidFeatureFlags = 0xE27D,
        ScmFwRevCnfBinInvalidAuthentificationCrc = 0xE27E,

        ScmAutoCnfBinBufferTooShort = 0xE283,
        ScmAutoCnfBinInvalidContentLength = 0xE284,
        ScmAutoCnfBinInvalidSectionCount = 0xE285,
        ScmAutoCnfBinInvalidHeaderLength = 0xE286,
        ScmAutoCnfBinInvalidVersion = 0xE287,
        ScmAutoCnfBinInvalidUdidInformationSectionOffset = 0xE288,
        ScmAutoCnfBinInvalidUdids = 0xE289,
        ScmAutoCnfBinInvalidUdidSectionOffset = 0xE28A,
        ScmAutoCnfBinInvalidMachineOptions = 0xE28B,
        ScmAutoCnfBinInvalidMachineOptionSectionLength = 0xE28C,
        ScmAutoCnfBinInvalidMachineOptionSectionOffset = 0xE28D,
        ScmAutoCnfBinInvalidModuleFlags = 0xE28E,
        ScmAutoCnfBinInvalidModuleFlagSectionLength = 0xE28F,
        ScmAutoCnfBinInvalidModuleFlagSectionOffset = 0xE290,
        ScmAutoCnfBinInvalidHeaderCrc = 0xE291,
        ScmAutoCnfBinModuleBufferTooShort = 0xE29E,
        ScmAutoCnfBinInvalidModuleCount = 0xE29F,
        ScmAutoCnfBinInvalidEntries = 0xE2A0,
        ScmAutoCnfBinInvalidEntryLength = 0xE2A1,
        ScmAutoCnfBinInvalidModuleVersion = 0xE2A2,
        ScmAutoCnfBinInvalidEntryOffset = 0xE2A3,
        ScmAutoCnfBinInvalidModuleCrc = 0xE2A4,
        ScmAutoCnfBinInvalidFileCrc = 0xE2A5,

        ScmParData1BinOtherReason = 0xE2A8,
        ScmEmoData1BinOtherReason = 0xE2A9,

        ScmByteArrayReaderIncompleteDescription = 0xE2AA,
        ScmByteArrayReaderIncompleteParameter = 0xE2AC,
        ScmByteArrayReaderInvalidSafetyAddress = 0xE2AE,
        ScmByteArrayWriterBufferTooShort = 0xE2B1,
        ScmByteArrayWriterInvalidSafetyAddress = 0xE2B2,
        ScmParameterReaderInvalidLength = 0xE2B4,
        ScmParameterReaderWrongOrder = 0xE2B5,
        ScmParameterReaderInvalidSafetyAddress = 0xE2B6,
        ScmParameterWriterInvalidSafetyAddress = 0xE2B8,
        ScmAdditionalParameterReaderInvalidLength = 0xE2B9,
        ScmAdditionalParameterReaderInvalidSafetyAddress = 0xE2BA,
        ScmAdditionalParameterReaderInvalidParameterNumber = 0xE2BB,
        ScmAdditionalParameterReaderOtherReason = 0xE2BC,

        ScmFrameDecoderFrameTooShort = 0xE2BE,
        ScmFrameDecoderInvalidLength = 0xE2BF,
        ScmFrameDecoderInvalidCrc = 0xE2C0,
        ScmFrameDecoderInconsistentPayload = 0xE2C1,
        ScmFrameDecoderSpdoNotAllowed = 0xE2C2,
        ScmFrameDecoderInvalidFrameType = 0xE2C3,

        ScmCommandDecoderCommandTooShort = 0xE2C6,
        ScmEventDecoderEventTooShort = 0xE2C8,
        ScmResponseDecoderResponseTooShort = 0xE2CA,

        /* Reserved, raised nowhere. */
        ScmReserved0xE2CD = 0xE2CD,
        ScmReserved0xE2CE = 0xE2CE,
        ScmReserved0xE2D1 = 0xE2D1,

        ScmUdidCheckInvalidSafetyAddress = 0xE2D4,
        ScmUdidCheckNoModuleForEncoder = 0xE2D5,
        ScmUdidCheckInvalidUdid = 0xE2D6,
        ScmUdidCheckDuplicateUdid = 0xE2D7,
        ScmUdidCheckInvalidState = 0xE2D8,

        ScmFirmwareCheckInvalidSafetyAddress = 0xE2DC,
        ScmFirmwareCheckInvalidParameterLength = 0xE2DD,
        ScmFirmwareCheckInvalidVersion = 0xE2DE,
        ScmFirmwareCheckInvalidState = 0xE2DF,

        ScmParameterCheckInvalidSafetyAddress = 0xE2E3,
        ScmParameterCheckInvalidParameterLength = 0xE2E4,
        ScmParameterCheckInvalidChecksum = 0xE2E5,
        ScmParameterCheckInvalidState = 0xE2E6,

        ScmAdditionalParameterCheckInvalidSafetyAddress = 0xE2EA,
        ScmAdditionalParameterCheckInvalidAdditionalParameterNumber = 0xE2EB,
        ScmAdditionalParameterCheckUnknownAdditionalParameter = 0xE2EC,
        ScmAdditionalParameterCheckInvalidAdditionalParameter = 0xE2ED
    } ScmCheckerEventCode;

    /**
     * The enumerator name of an event code without its owner prefix (for example "InvalidCrc" for 0xE2C0), or
     * NULL for a value that is not an event code. For tools that print events.
     */
    const char* ScmGetEventCodeName(unsigned eventCode);

    /** The owning structure of an event code (for example "Epls::CFrameDecoderEventCode"), or NULL. */
    const char* ScmGetEventCodeOwner(unsigned eventCode);

#ifdef __cplusplus
}
#endif

#endif
