// The campaign's judge, written from the rules of the frames and the checks.
#include "COracle.h"

#include <algorithm>
#include <string>

#include "support/Files/CParameterStreamBuilder.h"

namespace Campaign
{
namespace
{
using Support::Bytes;

constexpr std::uint16_t AddressMin = 1u;
constexpr std::uint16_t AddressMax = 1023u;
constexpr std::size_t ChecksumMax = 256u;
constexpr std::size_t TotalLengthBytes = 4u;
constexpr std::size_t HeaderBytes = 16u;
constexpr std::size_t EntryHeaderBytes = 7u;

struct CObjection
{
    std::string m_reason;
};

[[noreturn]] void Object(const char* reason)
{
    throw CObjection{reason};
}

void RequireAddress(std::uint16_t address)
{
    if ((address < AddressMin) || (address > AddressMax))
    {
        Object("address");
    }
}

std::uint32_t ReadUInt32(const std::uint8_t* data)
{
    return static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8u) |
           (static_cast<std::uint32_t>(data[2]) << 16u) | (static_cast<std::uint32_t>(data[3]) << 24u);
}

// The kind and the payload it needs, from the identifier and the first payload byte.
std::pair<CFrameKind, std::size_t> Classify(std::uint8_t id, std::uint8_t first)
{
    switch (id)
    {
    case 0x29u:
        return {CFrameKind::ResponseUdid, 6u};
    case 0x2Au:
        return {CFrameKind::AssignSadr, 6u};
    case 0x2Bu:
        return {CFrameKind::SadrAssigned, 6u};
    case 0x2Cu:
        switch (first)
        {
        case 2u:
            return {CFrameKind::SetToOp, 1u};
        case 12u:
            return {CFrameKind::SnAck, 3u};
        case 14u:
            return {CFrameKind::AssignUdidScm, 7u};
        default:
            return {CFrameKind::Other, 1u};
        }
    case 0x2Du:
        return (first == 7u) ? std::make_pair(CFrameKind::SnFail, std::size_t{3u})
                             : std::make_pair(CFrameKind::Other, std::size_t{1u});
    case 0x38u:
    case 0x3Au:
        switch (first)
        {
        case 0x21u:
            return {CFrameKind::DownloadExpedited, 4u};
        case 0x29u:
        case 0x2Bu:
            return {CFrameKind::DownloadInitiate, 4u};
        case 0x09u:
        case 0x19u:
        case 0x0Bu:
        case 0x1Bu:
            return {CFrameKind::DownloadMiddle, 1u};
        case 0x49u:
        case 0x59u:
        case 0x4Bu:
        case 0x5Bu:
            return {CFrameKind::DownloadEnd, 1u};
        default:
            return {CFrameKind::Other, 1u};
        }
    case 0x39u:
    case 0x3Bu:
        switch (first)
        {
        case 0x20u:
            return {CFrameKind::UploadExpedited, 4u};
        case 0x28u:
        case 0x2Au:
            return {CFrameKind::UploadInitiate, 4u};
        case 0x08u:
        case 0x18u:
        case 0x0Au:
        case 0x1Au:
            return {CFrameKind::UploadMiddle, 1u};
        case 0x48u:
        case 0x58u:
        case 0x4Au:
        case 0x5Au:
            return {CFrameKind::UploadEnd, 1u};
        default:
            return {CFrameKind::Other, 1u};
        }
    default:
        // Other SNMT identifiers carry nothing the checks read; other SSDO identifiers still need their command.
        return {CFrameKind::Other, ((id & 0x38u) == 0x38u) ? 1u : 0u};
    }
}

std::uint16_t ReadCrc(const std::uint8_t* data, std::size_t width)
{
    return (width == 1u) ? data[0] : static_cast<std::uint16_t>(data[0] | (data[1] << 8u));
}

bool IsInitiate(CFrameKind kind)
{
    return (kind == CFrameKind::UploadExpedited) || (kind == CFrameKind::UploadInitiate) ||
           (kind == CFrameKind::DownloadExpedited) || (kind == CFrameKind::DownloadInitiate);
}

std::uint16_t GetIndex(const COracleFrame& frame)
{
    return static_cast<std::uint16_t>(frame.m_payload[1] | (frame.m_payload[2] << 8u));
}

std::uint8_t GetSubIndex(const COracleFrame& frame)
{
    return frame.m_payload[3];
}

// The parameter data of an SSDO frame: behind index and sub-index on initiate frames, behind the command on
// segments.
std::pair<const std::uint8_t*, std::size_t> GetData(const COracleFrame& frame)
{
    const std::size_t offset = IsInitiate(frame.m_kind) ? 4u : 1u;
    return {frame.m_payload.data() + offset, frame.m_payload.size() - offset};
}
} // namespace

std::uint16_t COracleFrame::GetSafetyAddress() const
{
    switch (m_kind)
    {
    case CFrameKind::ResponseUdid:
    case CFrameKind::SadrAssigned:
    case CFrameKind::SnFail:
    case CFrameKind::UploadExpedited:
    case CFrameKind::UploadInitiate:
    case CFrameKind::UploadMiddle:
    case CFrameKind::UploadEnd:
        return m_tadr;
    default:
        return m_adr;
    }
}

std::uint16_t BitwiseCrc(const std::uint8_t* data, std::size_t length, unsigned width, std::uint16_t polynomial)
{
    const std::uint32_t top = 1u << (width - 1u);
    const std::uint32_t mask = (1u << width) - 1u;
    std::uint32_t crc = 0u;
    for (std::size_t i = 0u; i < length; ++i)
    {
        crc ^= static_cast<std::uint32_t>(data[i]) << (width - 8u);
        for (int bit = 0; bit < 8; ++bit)
        {
            crc = ((crc & top) != 0u) ? ((crc << 1u) ^ polynomial) : (crc << 1u);
            crc &= mask;
        }
    }
    return static_cast<std::uint16_t>(crc);
}

bool PassesCrcs(const Bytes& frame, const Support::Udid& scmUdid)
{
    return ReadFrame(frame, scmUdid, false).has_value();
}

std::optional<COracleFrame> ReadFrame(const Bytes& frame, const Support::Udid& scmUdid)
{
    return ReadFrame(frame, scmUdid, true);
}

std::optional<COracleFrame> ReadFrame(const Bytes& frame, const Support::Udid& scmUdid, bool allRules)
{
    if (frame.size() < 11u)
    {
        return std::nullopt;
    }
    COracleFrame read;
    read.m_id = static_cast<std::uint8_t>(frame[1] >> 2u);
    const bool snmt = (read.m_id & 0x38u) == 0x28u;
    const bool ssdo = (read.m_id & 0x38u) == 0x38u;
    if (!snmt && !ssdo)
    {
        return std::nullopt;
    }
    const std::size_t le = frame[2];
    const bool slim = (read.m_id == 0x3Au) || (read.m_id == 0x3Bu);
    const std::size_t width = (le <= 8u) ? 1u : 2u;
    const std::size_t first = 4u + le + width;
    const std::size_t second = 5u + (slim ? 0u : le) + width;
    if (frame.size() != first + second)
    {
        return std::nullopt;
    }
    const auto crc = [&](const std::uint8_t* data, std::size_t length)
    {
        return (width == 1u) ? BitwiseCrc(data, length, 8u, 0x2Fu)
                             : BitwiseCrc(data, length, 16u, slim ? 0x5935u : 0x755Bu);
    };
    if (crc(frame.data(), 4u + le) != ReadCrc(frame.data() + 4u + le, width))
    {
        return std::nullopt;
    }
    Bytes copy(frame.begin() + static_cast<std::ptrdiff_t>(first), frame.end());
    if (ssdo)
    {
        for (std::size_t i = 0u; i < scmUdid.size(); ++i)
        {
            copy[i] ^= scmUdid[i];
        }
    }
    const std::size_t covered = copy.size() - width;
    if (crc(copy.data(), covered) != ReadCrc(copy.data() + covered, width))
    {
        return std::nullopt;
    }
    read.m_payload.assign(frame.begin() + 4, frame.begin() + 4 + static_cast<std::ptrdiff_t>(le));
    if (!allRules)
    {
        return read;
    }
    if (!slim && !std::equal(read.m_payload.begin(), read.m_payload.end(), copy.begin() + 5))
    {
        return std::nullopt;
    }
    const auto [kind, payloadMin] = Classify(read.m_id, frame[4]);
    if (le < payloadMin)
    {
        return std::nullopt;
    }
    read.m_kind = kind;
    read.m_adr = static_cast<std::uint16_t>(frame[0] | ((frame[1] & 0x03u) << 8u));
    read.m_ct = static_cast<std::uint16_t>(frame[3] | (copy[2] << 8u));
    read.m_tadr = static_cast<std::uint16_t>(copy[3] | ((copy[4] & 0x03u) << 8u));
    return read;
}

COracle::COracle(const Support::CDomainConfiguration& configuration) : m_configuration(configuration) {}

CVerdict COracle::JudgeFromScm(const Bytes& frame)
{
    if (m_failSafe)
    {
        return {false, false, "fail-safe"};
    }
    const std::optional<COracleFrame> read = ReadFrame(frame, m_scmUdid);
    if (!read.has_value())
    {
        m_failSafe = true;
        return {false, true, "decode"};
    }
    try
    {
        if ((read->m_kind == CFrameKind::SetToOp) && !m_configuration.m_tesseraAcknowledged)
        {
            Object("key-medium");
        }
        Apply(*read);
    }
    catch (const CObjection& objection)
    {
        m_failSafe = true;
        return {false, true, objection.m_reason};
    }
    if (read->m_kind == CFrameKind::AssignUdidScm)
    {
        std::copy(read->m_payload.begin() + 1, read->m_payload.begin() + 7, m_scmUdid.begin());
    }
    return {true, false, ""};
}

CVerdict COracle::JudgeFromRuntime(const Bytes& frame)
{
    if (m_failSafe)
    {
        return {false, false, "fail-safe"};
    }
    const std::optional<COracleFrame> read = ReadFrame(frame, m_scmUdid);
    if (!read.has_value())
    {
        return {false, false, "decode"};
    }
    try
    {
        Apply(*read);
    }
    catch (const CObjection& objection)
    {
        m_failSafe = true;
        return {false, true, objection.m_reason};
    }
    return {true, false, ""};
}

COracle::CModule& COracle::GetModule(std::uint16_t address)
{
    return m_modules[address];
}

// The four checks see every frame in the same order; the first objection ends the judgement (the state that the
// earlier ones changed no longer matters: the domain is fail-safe).
void COracle::Apply(const COracleFrame& frame)
{
    ApplyUdid(frame);
    ApplyFirmware(frame);
    ApplyParameter(frame);
    ApplyAdditional(frame);
}

void COracle::ApplyUdid(const COracleFrame& frame)
{
    const std::uint16_t address = frame.GetSafetyAddress();
    switch (frame.m_kind)
    {
    case CFrameKind::AssignSadr:
    {
        RequireAddress(address);
        CModule& module = GetModule(address);
        module.m_udidReceived = false;
        if (module.m_probablyRemoved)
        {
            module.m_probablyRemoved = false;
            module.m_reportedUdid.reset();
            module.m_discovered = false;
        }
        break;
    }
    case CFrameKind::SadrAssigned:
    case CFrameKind::ResponseUdid:
    {
        RequireAddress(address);
        Support::Udid udid{};
        std::copy(frame.m_payload.begin(), frame.m_payload.begin() + 6, udid.begin());
        ReportUdid(address, udid);
        break;
    }
    case CFrameKind::SnFail:
    case CFrameKind::SnAck:
        // Group 3, code 2: the module's encoder disagrees (SN FAIL) or agrees again (SN ACK).
        if ((frame.m_payload[1] == 3u) && (frame.m_payload[2] == 2u))
        {
            RequireAddress(address);
            CModule& module = GetModule(address);
            if (!module.m_discovered)
            {
                Object("udid");
            }
            module.m_encoderConsistent = (frame.m_kind == CFrameKind::SnAck);
        }
        break;
    case CFrameKind::SetToOp:
        RequireAddress(address);
        if (!GetModule(address).m_udidReceived || !IsUdidValid(address))
        {
            Object("udid");
        }
        break;
    default:
        break;
    }
}

void COracle::ReportUdid(std::uint16_t address, const Support::Udid& udid)
{
    // A UDID seen at another address: the module there moved, dropped at once or at that address's next
    // assignment.
    for (auto& [other, module] : m_modules)
    {
        if ((other != address) && module.m_reportedUdid.has_value() && (*module.m_reportedUdid == udid))
        {
            module.m_probablyRemoved = module.m_udidReceived;
            if (!module.m_udidReceived)
            {
                module.m_reportedUdid.reset();
                module.m_discovered = false;
            }
        }
    }
    CModule& module = GetModule(address);
    module.m_udidReceived = true;
    module.m_reportedUdid = udid;
    module.m_discovered = false;
    if (udid == Support::Udid{})
    {
        Object("udid");
    }
    module.m_discovered = true;
    module.m_discoveredUdid = udid;
    module.m_encoderConsistent = true;
}

bool COracle::IsUdidValid(std::uint16_t address) const
{
    const auto found = m_modules.find(address);
    if ((found == m_modules.end()) || !found->second.m_discovered || !found->second.m_encoderConsistent)
    {
        return false;
    }
    const Support::Udid& udid = found->second.m_discoveredUdid;
    const auto holders = std::count_if(m_modules.begin(), m_modules.end(), [&](const auto& entry)
                                       { return entry.second.m_discovered && (entry.second.m_discoveredUdid == udid); });
    if (holders != 1)
    {
        return false;
    }
    for (const Support::CPlayedModule& configured : m_configuration.m_modules)
    {
        if (configured.m_safetyAddress == address)
        {
            return configured.m_udidAcknowledged && (configured.m_udid == udid);
        }
    }
    return false;
}

void COracle::ApplyFirmware(const COracleFrame& frame)
{
    const std::uint16_t address = frame.GetSafetyAddress();
    switch (frame.m_kind)
    {
    case CFrameKind::UploadExpedited:
    {
        if (GetIndex(frame) != 0x1018u)
        {
            break;
        }
        RequireAddress(address);
        const std::uint8_t subIndex = GetSubIndex(frame);
        if ((subIndex < 1u) || (subIndex > 3u))
        {
            break;
        }
        const auto [data, length] = GetData(frame);
        if (length != 4u)
        {
            Object("firmware");
        }
        CModule& module = GetModule(address);
        module.m_vendorInformation[subIndex - 1u] = ReadUInt32(data);
        if (!std::all_of(module.m_vendorInformation.begin(), module.m_vendorInformation.end(),
                         [](const std::optional<std::uint32_t>& value) { return value.has_value(); }))
        {
            break;
        }
        module.m_revisionReceived = true;
        module.m_firmwareDiscovered = false;
        const std::uint32_t vendor = *module.m_vendorInformation[0];
        const std::uint32_t product = *module.m_vendorInformation[1];
        const std::uint32_t revision = *module.m_vendorInformation[2];
        module.m_vendorInformation = {};
        if ((vendor == 0u) || (product == 0u) || ((revision >> 16u) == 0u) || ((revision & 0xFFFFu) == 0u))
        {
            Object("firmware");
        }
        module.m_firmwareDiscovered = true;
        module.m_vendorId = vendor;
        module.m_productCode = product;
        module.m_revisionNumber = revision;
        break;
    }
    case CFrameKind::AssignSadr:
    {
        RequireAddress(address);
        // The address may now belong to another device: answers of an unfinished set do not count with its own.
        CModule& module = GetModule(address);
        module.m_revisionReceived = false;
        module.m_vendorInformation = {};
        break;
    }
    case CFrameKind::SetToOp:
        RequireAddress(address);
        if (!GetModule(address).m_revisionReceived || !IsFirmwareValid(address))
        {
            Object("firmware");
        }
        break;
    default:
        break;
    }
}

bool COracle::IsFirmwareValid(std::uint16_t address) const
{
    const CModule& module = m_modules.at(address);
    if (!module.m_firmwareDiscovered)
    {
        return false;
    }
    for (const Support::CPlayedModule& configured : m_configuration.m_modules)
    {
        if (configured.m_safetyAddress != address)
        {
            continue;
        }
        const std::uint16_t minor = static_cast<std::uint16_t>(module.m_revisionNumber & 0xFFFFu);
        const bool compatible = (module.m_vendorId == configured.m_vendorId) &&
                                (module.m_productCode == configured.m_productCode) &&
                                ((module.m_revisionNumber >> 16u) == configured.m_majorRevision) &&
                                (minor >= configured.m_minorRevision);
        return compatible && configured.m_acknowledgedMinorRevision.has_value() &&
               (*configured.m_acknowledgedMinorRevision == minor);
    }
    return false;
}

void COracle::PublishChecksum(CModule& module, const Bytes& checksum)
{
    module.m_checksumReceived = true;
    module.m_discoveredChecksum.reset();
    if ((checksum.size() > ChecksumMax) || ((checksum.size() % 4u) != 0u))
    {
        Object("parameter");
    }
    module.m_discoveredChecksum = checksum;
}

void COracle::ScanParameterSet(CModule& module, const std::uint8_t* data, std::size_t length)
{
    std::size_t offset = 0u;
    while (true)
    {
        const std::size_t headerTake = std::min(length - offset, EntryHeaderBytes - module.m_entryHeader.size());
        module.m_entryHeader.insert(module.m_entryHeader.end(), data + offset, data + offset + headerTake);
        offset += headerTake;
        if (module.m_entryHeader.size() < EntryHeaderBytes)
        {
            return;
        }
        const std::uint16_t index = static_cast<std::uint16_t>(module.m_entryHeader[0] | (module.m_entryHeader[1] << 8u));
        const bool isChecksum = (index == 0x1018u) && (module.m_entryHeader[2] == 6u);
        const std::uint32_t total = ReadUInt32(module.m_entryHeader.data() + 3u);
        if (isChecksum && (total > ChecksumMax))
        {
            Object("parameter");
        }
        const std::size_t take = std::min<std::size_t>(length - offset, total - module.m_entryConsumed);
        if (isChecksum)
        {
            module.m_entryChecksum.insert(module.m_entryChecksum.end(), data + offset, data + offset + take);
        }
        module.m_entryConsumed += static_cast<std::uint32_t>(take);
        offset += take;
        if (module.m_entryConsumed < total)
        {
            return;
        }
        if (isChecksum)
        {
            const Bytes checksum = module.m_entryChecksum;
            module.m_entryChecksum.clear();
            PublishChecksum(module, checksum);
        }
        module.m_entryHeader.clear();
        module.m_entryConsumed = 0u;
        if (offset == length)
        {
            return;
        }
    }
}

void COracle::ApplyParameter(const COracleFrame& frame)
{
    const CFrameKind kind = frame.m_kind;
    const std::uint16_t address = frame.GetSafetyAddress();
    const bool upload = (kind == CFrameKind::UploadExpedited) || (kind == CFrameKind::UploadInitiate) ||
                        (kind == CFrameKind::UploadMiddle) || (kind == CFrameKind::UploadEnd);
    const bool download = (kind == CFrameKind::DownloadExpedited) || (kind == CFrameKind::DownloadInitiate) ||
                          (kind == CFrameKind::DownloadMiddle) || (kind == CFrameKind::DownloadEnd);
    if (kind == CFrameKind::AssignSadr)
    {
        RequireAddress(address);
        CModule& module = GetModule(address);
        module.m_operational = false;
        module.m_checksumReceived = false;
        return;
    }
    if (kind == CFrameKind::SetToOp)
    {
        RequireAddress(address);
        CModule& module = GetModule(address);
        for (const Support::CPlayedModule& configured : m_configuration.m_modules)
        {
            if ((configured.m_safetyAddress == address) && module.m_checksumReceived &&
                module.m_discoveredChecksum.has_value() && !configured.m_parameterChecksum.empty() &&
                (*module.m_discoveredChecksum == configured.m_parameterChecksum))
            {
                module.m_operational = true;
                return;
            }
        }
        Object("parameter");
    }
    if (!upload && !download)
    {
        return;
    }
    if ((kind == CFrameKind::UploadExpedited) || (kind == CFrameKind::UploadInitiate))
    {
        if ((GetIndex(frame) != 0x1018u) || (GetSubIndex(frame) != 6u))
        {
            return;
        }
    }
    RequireAddress(address);
    CModule& module = GetModule(address);
    const auto [data, length] = GetData(frame);
    switch (kind)
    {
    case CFrameKind::UploadExpedited:
        module.m_running = false;
        PublishChecksum(module, Bytes(data, data + length));
        return;
    case CFrameKind::UploadInitiate:
        if (module.m_running && (frame.m_ct == module.m_previousCt))
        {
            return;
        }
        module.m_running = true;
        module.m_previousCt = frame.m_ct;
        if (length < TotalLengthBytes)
        {
            Object("parameter");
        }
        module.m_collectedChecksum.assign(data + TotalLengthBytes, data + length);
        return;
    case CFrameKind::UploadMiddle:
    case CFrameKind::UploadEnd:
        if (!module.m_running || (module.m_previousCt == frame.m_ct))
        {
            return;
        }
        module.m_previousCt = frame.m_ct;
        if (module.m_collectedChecksum.size() + length > ChecksumMax)
        {
            Object("parameter");
        }
        module.m_collectedChecksum.insert(module.m_collectedChecksum.end(), data, data + length);
        if (kind == CFrameKind::UploadEnd)
        {
            module.m_running = false;
            const Bytes checksum = module.m_collectedChecksum;
            module.m_collectedChecksum.clear();
            PublishChecksum(module, checksum);
        }
        return;
    default:
        break;
    }
    // A download of the parameter set, scanned for the checksum entry until the module is operational.
    if (module.m_operational)
    {
        return;
    }
    switch (kind)
    {
    case CFrameKind::DownloadExpedited:
        if ((GetIndex(frame) != 0x101Au) || (GetSubIndex(frame) != 0u))
        {
            return;
        }
        module.m_running = false;
        ScanParameterSet(module, data, length);
        return;
    case CFrameKind::DownloadInitiate:
        if ((GetIndex(frame) != 0x101Au) || (GetSubIndex(frame) != 0u) ||
            (module.m_running && (frame.m_ct == module.m_previousCt)))
        {
            return;
        }
        module.m_running = true;
        module.m_previousCt = frame.m_ct;
        if (length < TotalLengthBytes)
        {
            Object("parameter");
        }
        ScanParameterSet(module, data + TotalLengthBytes, length - TotalLengthBytes);
        return;
    default:
        if (!module.m_running || (module.m_previousCt == frame.m_ct))
        {
            return;
        }
        module.m_previousCt = frame.m_ct;
        module.m_running = kind != CFrameKind::DownloadEnd;
        ScanParameterSet(module, data, length);
        return;
    }
}

void COracle::CollectHeader(std::uint16_t address, const std::uint8_t* data, std::size_t length)
{
    CModule& module = GetModule(address);
    const std::size_t take = std::min(length, HeaderBytes - module.m_header.size());
    module.m_header.insert(module.m_header.end(), data, data + take);
    if ((module.m_header.size() < HeaderBytes) || module.m_headerChecked)
    {
        return;
    }
    const std::uint8_t number = module.m_header[0];
    if ((number == 0u) || (number > 16u))
    {
        Object("additional");
    }
    for (const Support::CPlayedModule& configured : m_configuration.m_modules)
    {
        if (configured.m_safetyAddress != address)
        {
            continue;
        }
        // A later record of the same number replaces an earlier one; a header whose number is 0 is none.
        std::optional<Bytes> expected;
        for (const Support::CAdditionalParameterRecord& record : configured.m_additionalParameters)
        {
            if (record.m_parameterNumber == number)
            {
                expected = Support::BuildAdditionalParameterHeader(record);
            }
        }
        if (expected.has_value() && (*expected == module.m_header))
        {
            module.m_headerChecked = true;
            return;
        }
    }
    Object("additional");
}

void COracle::ApplyAdditional(const COracleFrame& frame)
{
    const CFrameKind kind = frame.m_kind;
    const std::uint16_t address = frame.GetSafetyAddress();
    if (kind == CFrameKind::SnFail)
    {
        if (frame.m_payload[1] == 5u)
        {
            RequireAddress(address);
            GetModule(address).m_additionalMode = true;
        }
        return;
    }
    if (kind == CFrameKind::AssignSadr)
    {
        RequireAddress(address);
        GetModule(address).m_additionalMode = false;
        return;
    }
    if ((kind != CFrameKind::DownloadExpedited) && (kind != CFrameKind::DownloadInitiate) &&
        (kind != CFrameKind::DownloadMiddle) && (kind != CFrameKind::DownloadEnd))
    {
        return;
    }
    RequireAddress(address);
    CModule& module = GetModule(address);
    if (!module.m_additionalMode)
    {
        return;
    }
    const auto [data, length] = GetData(frame);
    switch (kind)
    {
    case CFrameKind::DownloadExpedited:
        if ((GetIndex(frame) != 0x101Au) || (GetSubIndex(frame) != 0u))
        {
            return;
        }
        module.m_header.clear();
        module.m_headerChecked = false;
        CollectHeader(address, data, length);
        return;
    case CFrameKind::DownloadInitiate:
        if ((GetIndex(frame) != 0x101Au) || (GetSubIndex(frame) != 0u) ||
            (module.m_additionalRunning && (frame.m_ct == module.m_additionalPreviousCt)))
        {
            return;
        }
        module.m_additionalRunning = true;
        module.m_additionalPreviousCt = frame.m_ct;
        module.m_header.clear();
        module.m_headerChecked = false;
        if (length < TotalLengthBytes)
        {
            Object("additional");
        }
        CollectHeader(address, data + TotalLengthBytes, length - TotalLengthBytes);
        return;
    default:
        if (!module.m_additionalRunning || (module.m_additionalPreviousCt == frame.m_ct))
        {
            return;
        }
        module.m_additionalPreviousCt = frame.m_ct;
        module.m_additionalRunning = kind != CFrameKind::DownloadEnd;
        CollectHeader(address, data, length);
        return;
    }
}
} // namespace Campaign
