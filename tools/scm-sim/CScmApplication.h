// The played SCM's application: the commissioning of every node slot, the routing of the nodes' answers, the
// acknowledgements (operator commands, or events of its own in setup mode) and its answers to the operator.
#ifndef TOOLS_SCM_SIM_CSCMAPPLICATION_H
#define TOOLS_SCM_SIM_CSCMAPPLICATION_H

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tools/scm-sim/CNodeCommissioning.h"

namespace ScmSim
{
struct CScmSettings
{
    Udid m_scmUdid{0x00u, 0x60u, 0x65u, 0x5Cu, 0x3Du, 0x01u};
    /// The SCM acknowledges on its own (events) once every slot waits for it.
    bool m_setupMode = false;
    /// The key medium in the controller is the one the domain was configured with.
    bool m_keyMediumAcknowledged = true;
    CTiming m_timing;
};

/// What waits for an acknowledgement; m_ready once every slot is done or waits, so that the count the checker
/// expects is the count the SCM reports.
struct CPendingAcknowledgements
{
    bool m_ready = false;
    bool m_keyMedium = false;
    unsigned m_modules = 0u;
    bool m_firmware = false;

    bool Any() const
    {
        return m_keyMedium || (m_modules > 0u) || m_firmware;
    }
};

class CScmApplication
{
public:
    CScmApplication(const std::vector<CScmNodeView>& nodes, const CScmSettings& settings);

    /// Up to `budget` requests of this cycle, the slots visited round robin.
    std::vector<Bytes> TakeRequests(std::uint64_t cycle, std::size_t budget);
    /// A frame from the network; returns the SADR of the slot it answered (0: none, unreadable or unknown).
    std::uint16_t TakeResponse(const Bytes& frame, std::uint64_t cycle);
    /// In setup mode, once everything waits: the acknowledgement events, applied from the next cycle.
    std::vector<Bytes> TakeEvents(std::uint64_t cycle);
    /// The SCM's status response to an operator command; an accepted acknowledgement applies from the next cycle.
    Bytes AnswerCommand(const Bytes& command, std::uint64_t cycle);

    CPendingAcknowledgements GetPendingAcknowledgements() const;
    bool IsFinished() const;
    bool IsKeyMediumAcknowledged() const
    {
        return m_keyMediumAcknowledged;
    }
    /// Grows with every acknowledgement the SCM recorded (so that its files are written again).
    unsigned GetAcknowledgementCount() const
    {
        return m_acknowledgements;
    }
    const std::optional<Support::Password>& GetPassword() const
    {
        return m_password;
    }
    std::vector<CNodeCommissioning>& GetSlots()
    {
        return m_slots;
    }
    const std::vector<CNodeCommissioning>& GetSlots() const
    {
        return m_slots;
    }
    CNodeCommissioning* FindSlot(std::uint16_t sadr);

private:
    void AcknowledgeModules(std::uint64_t cycle);
    void AcknowledgeFirmware(std::uint64_t cycle);

    CScmSettings m_settings;
    std::vector<CNodeCommissioning> m_slots;
    std::map<std::uint16_t, std::size_t> m_slotBySadr;
    std::size_t m_next = 0u;
    bool m_keyMediumAcknowledged;
    std::uint64_t m_keyMediumAcknowledgedAt = 0u;
    unsigned m_acknowledgements = 0u;
    std::optional<Support::Password> m_password;
};
} // namespace ScmSim

#endif
