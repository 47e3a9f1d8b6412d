// Assembly of event records.
#include "support/Messages/CEventBuilder.h"

namespace Support
{
CEventBuilder::CEventBuilder() : m_level(0u), m_code(0u), m_information0(0u), m_information1(0u) {}

CEventBuilder& CEventBuilder::Level(std::uint8_t level)
{
    m_level = level;
    return *this;
}

CEventBuilder& CEventBuilder::Code(std::uint32_t code)
{
    m_code = code;
    return *this;
}

CEventBuilder& CEventBuilder::Information0(std::uint16_t information0)
{
    m_information0 = information0;
    return *this;
}

CEventBuilder& CEventBuilder::Information1(std::uint32_t information1)
{
    m_information1 = information1;
    return *this;
}

Bytes CEventBuilder::Build() const
{
    Bytes event{m_level};
    AppendLittleEndian(event, m_code, 4u);
    AppendLittleEndian(event, m_information0, 2u);
    AppendLittleEndian(event, m_information1, 4u);
    return event;
}

CEventBuilder CEventBuilder::Acknowledged(Acknowledgement acknowledgement, std::uint16_t information0)
{
    CEventBuilder builder;
    builder.Level(ms_AcknowledgedLevel)
        .Code((acknowledgement == Acknowledgement::SetupMode) ? ms_ScmSetupModeCode : ms_ScmAutomaticCode)
        .Information0(information0);
    return builder;
}

CEventBuilder CEventBuilder::TesseraAcknowledged(Acknowledgement acknowledgement)
{
    return Acknowledged(acknowledgement, 7u);
}

CEventBuilder CEventBuilder::ModulesAcknowledged(Acknowledgement acknowledgement, std::uint16_t moduleCount)
{
    return Acknowledged(acknowledgement, 8u).Information1(moduleCount);
}

CEventBuilder CEventBuilder::FirmwareAcknowledged(Acknowledgement acknowledgement)
{
    return Acknowledged(acknowledgement, 9u);
}
} // namespace Support
