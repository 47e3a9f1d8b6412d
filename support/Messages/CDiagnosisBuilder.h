// Assembles the SCM's object-read response that carries diagnosis objects.
#ifndef SUPPORT_MESSAGES_CDIAGNOSISBUILDER_H
#define SUPPORT_MESSAGES_CDIAGNOSISBUILDER_H

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Messages/Bytes.h"

namespace Support
{
/// Fluent builder: selector 7, Command 0x8400, Size, Version 1, Number, State, Data 1, NumberOfObjects (offsets
/// 4 to 18), then from offset 22 one 8-byte record per object (Index, Subindex, Error, Data). The response is
/// 22 + 8 bytes per object long.
class CDiagnosisBuilder
{
public:
    struct CObject
    {
        std::uint16_t m_index;
        std::uint8_t m_subIndex;
        std::uint8_t m_error;
        std::uint32_t m_data;
    };

    static constexpr std::size_t ms_ObjectsOffset = 22u;
    static constexpr std::size_t ms_ObjectLength = 8u;

    CDiagnosisBuilder();

    CDiagnosisBuilder& Selector(std::uint32_t selector);
    CDiagnosisBuilder& Command(std::uint16_t command);
    CDiagnosisBuilder& Size(std::uint16_t size);
    CDiagnosisBuilder& Version(std::uint16_t version);
    CDiagnosisBuilder& Number(std::uint16_t number);
    CDiagnosisBuilder& State(std::uint16_t state);
    CDiagnosisBuilder& Data(std::uint16_t data);
    /// Appends one object record.
    CDiagnosisBuilder& Object(std::uint16_t index, std::uint8_t subIndex, std::uint8_t error = 0u,
                              std::uint32_t data = 0u);
    /// The NumberOfObjects field, when it is to differ from the number of appended objects.
    CDiagnosisBuilder& NumberOfObjects(std::uint16_t numberOfObjects);

    Bytes Build() const;

private:
    std::uint32_t m_selector;
    std::uint16_t m_command;
    std::uint16_t m_size;
    std::uint16_t m_version;
    std::uint16_t m_number;
    std::uint16_t m_state;
    std::uint16_t m_data;
    std::vector<CObject> m_objects;
    std::optional<std::uint16_t> m_numberOfObjects;
};
} // namespace Support

#endif
