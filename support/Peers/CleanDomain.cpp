// A domain as it is before its first configuration: every mandatory storage present and empty, the safety
// controller's identities and its key-medium signature provisioned.
#include "support/Peers/CleanDomain.h"

#include "support/Files/CTesseraUidBuilder.h"

namespace Support
{
const std::vector<std::string>& GetMandatoryStorageNames()
{
    static const std::vector<std::string> names = {"tessera.uid",     "tessera.uid.chk", "tessera.dat",
                                                   "tessera.dat.chk", "tol_para.saf",    "autocnf.bin",
                                                   "fwrevcnf.bin",    "fwrevcnf.bin.chk"};
    return names;
}

const std::vector<std::string>& GetOptionalStorageNames()
{
    static const std::vector<std::string> names = {"pardata1.bin", "emodata1.bin"};
    return names;
}

Bytes BuildKelSignature(const CControllerIdentity& controller)
{
    CTesseraUidBuilder signature;
    signature.m_kelUdid = controller.m_kelUdid;
    signature.m_timestamp = controller.m_signatureTimestamp;
    return signature.Build();
}

CpuId GetCpuId(const CControllerIdentity& controller)
{
    Bytes bytes;
    PutUInt32(bytes, 0u, controller.m_cpuProductCode);
    PutUInt32(bytes, 4u, controller.m_cpuSerialNumber);
    CpuId cpuId{};
    std::copy(bytes.begin(), bytes.end(), cpuId.begin());
    return cpuId;
}

CDomainProvision MakeCleanDomainProvision(const CControllerIdentity& controller)
{
    CDomainProvision provision;
    provision.m_cpuProductCode = controller.m_cpuProductCode;
    provision.m_cpuSerialNumber = controller.m_cpuSerialNumber;
    provision.m_kelUdid = controller.m_kelUdid;
    provision.m_flashFile16 = BuildKelSignature(controller);
    for (const std::string& name : GetMandatoryStorageNames())
    {
        provision.m_storages[name] = Bytes();
    }
    return provision;
}
} // namespace Support
