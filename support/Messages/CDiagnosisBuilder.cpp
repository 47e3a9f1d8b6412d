// Assembly of the diagnosis response.
#include "support/Messages/CDiagnosisBuilder.h"

namespace Support
{
CDiagnosisBuilder::CDiagnosisBuilder()
    : m_selector(7u), m_command(0x8400u), m_size(0u), m_version(1u), m_number(0u), m_state(0u), m_data(1u), m_objects(),
      m_numberOfObjects()
{
}

CDiagnosisBuilder& CDiagnosisBuilder::Selector(std::uint32_t selector)
{
    m_selector = selector;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Command(std::uint16_t command)
{
    m_command = command;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Size(std::uint16_t size)
{
    m_size = size;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Version(std::uint16_t version)
{
    m_version = version;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Number(std::uint16_t number)
{
    m_number = number;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::State(std::uint16_t state)
{
    m_state = state;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Data(std::uint16_t data)
{
    m_data = data;
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::Object(std::uint16_t index, std::uint8_t subIndex, std::uint8_t error,
                                             std::uint32_t data)
{
    m_objects.push_back({index, subIndex, error, data});
    return *this;
}

CDiagnosisBuilder& CDiagnosisBuilder::NumberOfObjects(std::uint16_t numberOfObjects)
{
    m_numberOfObjects = numberOfObjects;
    return *this;
}

Bytes CDiagnosisBuilder::Build() const
{
    Bytes response(ms_ObjectsOffset + (ms_ObjectLength * m_objects.size()), 0u);
    SetLittleEndian(response, 0u, m_selector, 4u);
    SetLittleEndian(response, 4u, m_command, 2u);
    SetLittleEndian(response, 6u, m_size, 2u);
    SetLittleEndian(response, 8u, m_version, 2u);
    SetLittleEndian(response, 12u, m_number, 2u);
    SetLittleEndian(response, 14u, m_state, 2u);
    SetLittleEndian(response, 16u, m_data, 2u);
    SetLittleEndian(response, 18u, m_numberOfObjects.value_or(static_cast<std::uint16_t>(m_objects.size())), 2u);
    std::size_t offset = ms_ObjectsOffset;
    for (const CObject& object : m_objects)
    {
        SetLittleEndian(response, offset, object.m_index, 2u);
        response[offset + 2u] = object.m_subIndex;
        response[offset + 3u] = object.m_error;
        SetLittleEndian(response, offset + 4u, object.m_data, 4u);
        offset += ms_ObjectLength;
    }
    return response;
}
} // namespace Support
