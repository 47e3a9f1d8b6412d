// Builds SOD parameter streams and additional-parameter headers.
#include "support/Files/CParameterStreamBuilder.h"

namespace
{
constexpr std::uint16_t CommissioningIndex = 0x210Bu;
constexpr std::uint16_t ConfigurationIndex = 0x2106u;

Support::Bytes UInt16Bytes(std::uint16_t value)
{
    Support::Bytes bytes;
    Support::AppendUInt16(bytes, value);
    return bytes;
}

Support::Bytes UInt32Bytes(std::uint32_t value)
{
    Support::Bytes bytes;
    Support::AppendUInt32(bytes, value);
    return bytes;
}
} // namespace

namespace Support
{
Bytes BuildAdditionalParameterHeader(const CAdditionalParameterRecord& parameter)
{
    Bytes header;
    header.push_back(parameter.m_parameterNumber);
    header.push_back(parameter.m_version);
    AppendUInt16(header, parameter.m_safetyAddress);
    AppendUInt32(header, parameter.m_declaredLength.value_or(static_cast<std::uint32_t>(parameter.m_data.size())));
    std::uint32_t crc = Crc32(parameter.m_data, 0u, parameter.m_data.size());
    if (parameter.m_spoilCrc)
    {
        crc ^= 0x00000100u;
    }
    AppendUInt32(header, crc);
    AppendUInt32(header, parameter.m_timestamp);
    return header;
}

Bytes BuildAdditionalParameter(const CAdditionalParameterRecord& parameter)
{
    Bytes bytes = BuildAdditionalParameterHeader(parameter);
    AppendBytes(bytes, parameter.m_data.data(), parameter.m_data.size());
    return bytes;
}

void CParameterStreamBuilder::AddRecord(std::uint16_t index, std::uint8_t subIndex, const Bytes& data)
{
    m_records.push_back({index, subIndex, data, std::nullopt});
}

void CParameterStreamBuilder::AddModule(const CModuleRecord& module, std::optional<std::uint16_t> index)
{
    const std::uint16_t moduleIndex =
        index.value_or(static_cast<std::uint16_t>(ms_ModuleIndexBase + module.m_safetyAddress));
    AddRecord(moduleIndex, 1u, UInt16Bytes(module.m_safetyAddress));
    AddRecord(moduleIndex, 2u, UInt32Bytes(module.m_vendorId));
    AddRecord(moduleIndex, 3u, UInt32Bytes(module.m_productCode));
    AddRecord(moduleIndex, 4u,
              UInt32Bytes(static_cast<std::uint32_t>(module.m_minorRevision) |
                          (static_cast<std::uint32_t>(module.m_majorRevision) << 16)));
    if (!module.m_parameterChecksum.empty())
    {
        AddRecord(moduleIndex, 14u, module.m_parameterChecksum);
    }
}

void CParameterStreamBuilder::AddUdid(std::uint16_t safetyAddress, const Udid& udid, std::uint8_t subIndex)
{
    AddRecord(static_cast<std::uint16_t>(ms_UdidIndexBase + safetyAddress), subIndex, Bytes(udid.begin(), udid.end()));
}

void CParameterStreamBuilder::AddAdditionalParameter(const CAdditionalParameterRecord& parameter,
                                                     std::optional<std::uint16_t> index,
                                                     std::optional<std::uint8_t> subIndex)
{
    AddRecord(index.value_or(static_cast<std::uint16_t>(ms_AdditionalIndexBase + parameter.m_safetyAddress)),
              subIndex.value_or(parameter.m_parameterNumber), BuildAdditionalParameter(parameter));
}

void CParameterStreamBuilder::AddCommissioningFlags(bool setupModeActive, bool acknowledgeMinorRevisions,
                                                    bool acknowledgeTessera)
{
    AddRecord(CommissioningIndex, 1u, {static_cast<std::uint8_t>(setupModeActive ? 1u : 0u)});
    AddRecord(CommissioningIndex, 2u, {static_cast<std::uint8_t>(acknowledgeMinorRevisions ? 1u : 0u)});
    AddRecord(CommissioningIndex, 3u, {static_cast<std::uint8_t>(acknowledgeTessera ? 1u : 0u)});
}

void CParameterStreamBuilder::AddConfigurationData(bool externalMachineOptionsActive)
{
    AddRecord(ConfigurationIndex, 4u, {static_cast<std::uint8_t>(externalMachineOptionsActive ? 1u : 0u)});
}

Bytes CParameterStreamBuilder::Build() const
{
    Bytes stream;
    for (const CRecord& record : m_records)
    {
        AppendUInt16(stream, record.m_index);
        stream.push_back(record.m_subIndex);
        AppendUInt32(stream, record.m_declaredLength.value_or(static_cast<std::uint32_t>(record.m_data.size())));
        AppendBytes(stream, record.m_data.data(), record.m_data.size());
    }
    AppendBytes(stream, m_tail.data(), m_tail.size());
    return stream;
}
} // namespace Support
