// The played SCM's application.
#include "tools/scm-sim/CScmApplication.h"

#include <algorithm>

#include "support/Messages/CEventBuilder.h"
#include "support/Messages/CStatusBuilder.h"

namespace ScmSim
{
namespace
{
constexpr std::uint16_t SetCommand = 0x0100u;
constexpr std::uint16_t AcknowledgeFirmwareData = 0x0100u;
constexpr std::uint16_t AcknowledgeTesseraData = 0x0200u;
constexpr std::size_t PasswordOffset = 10u;
constexpr std::size_t MaxRequestsPerSlot = 16u;

std::uint16_t ReadUInt16(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1u] << 8u));
}
} // namespace

CScmApplication::CScmApplication(const std::vector<CScmNodeView>& nodes, const CScmSettings& settings)
    : m_settings(settings), m_keyMediumAcknowledged(settings.m_keyMediumAcknowledged)
{
    m_slots.reserve(nodes.size());
    for (const CScmNodeView& node : nodes)
    {
        m_slotBySadr[node.m_sadr] = m_slots.size();
        m_slots.emplace_back(node, settings.m_scmUdid, settings.m_timing);
    }
}

CNodeCommissioning* CScmApplication::FindSlot(std::uint16_t sadr)
{
    const auto found = m_slotBySadr.find(sadr);
    return (found == m_slotBySadr.end()) ? nullptr : &m_slots[found->second];
}

std::vector<Bytes> CScmApplication::TakeRequests(std::uint64_t cycle, std::size_t budget)
{
    std::vector<Bytes> requests;
    const bool keyMedium = m_keyMediumAcknowledged && (cycle >= m_keyMediumAcknowledgedAt);
    for (std::size_t visited = 0u; (visited < m_slots.size()) && (requests.size() < budget); ++visited)
    {
        CNodeCommissioning& slot = m_slots[m_next];
        m_next = (m_next + 1u) % m_slots.size();
        // A slot may send an unanswered acknowledgement and its next request in one cycle, and a preloaded
        // download as many segments as the node queues.
        for (std::size_t i = 0u; (i < MaxRequestsPerSlot) && (requests.size() < budget); ++i)
        {
            std::optional<Bytes> request = slot.Poll(cycle, keyMedium);
            if (!request.has_value())
            {
                break;
            }
            requests.push_back(std::move(*request));
        }
    }
    return requests;
}

std::uint16_t CScmApplication::TakeResponse(const Bytes& frame, std::uint64_t cycle)
{
    const std::optional<Support::CFrameFields> response = Support::ParseFrame(frame, m_settings.m_scmUdid);
    if (!response.has_value())
    {
        return 0u;
    }
    CNodeCommissioning* slot = FindSlot(response->m_tadr);
    if (slot == nullptr)
    {
        return 0u;
    }
    slot->Take(*response, cycle);
    return response->m_tadr;
}

CPendingAcknowledgements CScmApplication::GetPendingAcknowledgements() const
{
    CPendingAcknowledgements pending;
    pending.m_ready = true;
    for (const CNodeCommissioning& slot : m_slots)
    {
        if (!slot.IsDone() && !slot.IsWaitingForAcknowledgement())
        {
            pending.m_ready = false;
        }
        if (slot.IsWaitingForAcknowledgement())
        {
            pending.m_modules += slot.NeedsUdidAcknowledgement() ? 1u : 0u;
            pending.m_firmware = pending.m_firmware || slot.NeedsFirmwareAcknowledgement();
        }
    }
    pending.m_keyMedium = !m_keyMediumAcknowledged;
    return pending;
}

bool CScmApplication::IsFinished() const
{
    return std::all_of(m_slots.begin(), m_slots.end(), [](const CNodeCommissioning& slot) { return slot.IsDone(); });
}

std::vector<Bytes> CScmApplication::TakeEvents(std::uint64_t cycle)
{
    std::vector<Bytes> events;
    const CPendingAcknowledgements pending = GetPendingAcknowledgements();
    if (!m_settings.m_setupMode || !pending.m_ready || !pending.Any())
    {
        return events;
    }
    using Support::CEventBuilder;
    const auto kind = CEventBuilder::Acknowledgement::SetupMode;
    if (pending.m_keyMedium)
    {
        events.push_back(CEventBuilder::TesseraAcknowledged(kind).Build());
        m_keyMediumAcknowledged = true;
        m_keyMediumAcknowledgedAt = cycle + 1u;
    }
    if (pending.m_modules > 0u)
    {
        events.push_back(CEventBuilder::ModulesAcknowledged(kind, static_cast<std::uint16_t>(pending.m_modules)).Build());
        AcknowledgeModules(cycle + 1u);
    }
    if (pending.m_firmware)
    {
        events.push_back(CEventBuilder::FirmwareAcknowledged(kind).Build());
        AcknowledgeFirmware(cycle + 1u);
    }
    ++m_acknowledgements;
    return events;
}

void CScmApplication::AcknowledgeModules(std::uint64_t cycle)
{
    for (CNodeCommissioning& slot : m_slots)
    {
        if (slot.IsWaitingForAcknowledgement() && slot.NeedsUdidAcknowledgement())
        {
            slot.AcknowledgeUdid(cycle);
        }
    }
}

void CScmApplication::AcknowledgeFirmware(std::uint64_t cycle)
{
    for (CNodeCommissioning& slot : m_slots)
    {
        if (slot.NeedsFirmwareAcknowledgement())
        {
            slot.AcknowledgeFirmware(cycle);
        }
    }
}

Bytes CScmApplication::AnswerCommand(const Bytes& command, std::uint64_t cycle)
{
    if ((command.size() >= PasswordOffset + 16u) && (ReadUInt16(command, 4u) == SetCommand))
    {
        const std::uint16_t data = ReadUInt16(command, 8u);
        bool acknowledged = true;
        if (data == AcknowledgeTesseraData)
        {
            m_keyMediumAcknowledged = true;
            m_keyMediumAcknowledgedAt = cycle + 1u;
        }
        else if (data == AcknowledgeFirmwareData)
        {
            AcknowledgeFirmware(cycle + 1u);
        }
        else if ((data >= 0x0020u) && (data <= 0x0060u) && ((data & 0x000Fu) == 0u))
        {
            AcknowledgeModules(cycle + 1u);
        }
        else
        {
            acknowledged = false;
        }
        if (acknowledged)
        {
            // The operator's password of an accepted acknowledgement becomes the domain's password.
            Support::Password password{};
            std::copy(command.begin() + PasswordOffset, command.begin() + PasswordOffset + 16, password.begin());
            m_password = password;
            ++m_acknowledgements;
        }
    }
    return Support::CStatusBuilder().Build();
}
} // namespace ScmSim
