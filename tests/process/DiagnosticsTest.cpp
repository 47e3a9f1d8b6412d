// Diagnostics that cannot be silenced: warnings caused from the network side use up the runtime's event queue's
// budget of four, but every event, the reason of a later fail-safe among them, stays in the domain's event log.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "eventLogLib.h"
#include "support/Messages/Bytes.h"
#include "support/Messages/CFrameBuilder.h"
#include "support/Peers/CPlayedDomain.h"
#include "support/Peers/CleanDomain.h"
#include "support/Provision/CDomainProvisioner.h"
#include "support/Provision/CPlatformIsolation.h"
#include "support/Test/CCheckerProcess.h"

namespace
{
using Support::Bytes;
using Support::CEventRecord;

constexpr std::uint16_t Domain = 11u;

std::string RunTool(const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((std::string(SCM_PROVISION_TOOL) + " " + arguments).c_str(), "r");
    if (pipe == nullptr)
    {
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
    {
        output += buffer;
    }
    (void)pclose(pipe);
    return output;
}

TEST(Diagnostics, EveryEventIsInTheEventLogAlsoPastTheQueuesBudget)
{
    Support::CPlatformIsolation isolation;
    Support::CDomainProvisioner provisioner(Domain);
    provisioner.Create(Support::MakeCleanDomainProvision());
    Support::CCheckerProcess checker({{"SafetyDomainNumber", std::to_string(Domain)}});
    Support::CPlayedDomain peers(Domain);
    (void)peers.Start();

    // Six frames from the network with a damaged CRC: six warnings, of which the queue carries four.
    Bytes frame = Support::CFrameBuilder::SnmtResponseUdid(5u, {0x00u, 0x60u, 0x65u, 1u, 2u, 3u}).Build();
    frame.back() ^= 0x01u;
    const std::vector<Bytes> frames(6u, frame);
    EXPECT_TRUE(peers.SendFramesFromRuntime(frames).empty());
    // Then a refusal that makes the domain fail-safe: its reason is past the budget, in the log only.
    const Bytes setToOp = Support::CFrameBuilder::SnmtSnSetToOp(5u).Build();
    EXPECT_TRUE(peers.SendFramesFromScm({setToOp}).empty());
    peers.Cycle();

    const std::vector<CEventRecord> queued = peers.GetRuntime().ReceiveEvents();
    ASSERT_EQ(4u, queued.size());
    std::vector<EVENT_LOG_ENTRY> entries(EVENT_LOG_CAPACITY);
    const int count = eventLogRead(Domain, entries.data(), entries.size());
    ASSERT_EQ(7, count);
    for (int i = 0; i < count; ++i)
    {
        const EVENT_LOG_ENTRY& entry = entries[static_cast<std::size_t>(i)];
        EXPECT_EQ(static_cast<std::uint64_t>(i) + 1u, entry.sequence);
        const std::optional<CEventRecord> record =
            CEventRecord::Parse(Bytes(entry.event, entry.event + EVENT_LOG_EVENT_LENGTH));
        ASSERT_TRUE(record.has_value());
        if (i < 4)
        {
            EXPECT_EQ(queued[static_cast<std::size_t>(i)], *record);
        }
        EXPECT_EQ((i < 6) ? 2u : 3u, record->m_level) << *record;
    }
    const CEventRecord refusal =
        *CEventRecord::Parse(Bytes(entries[6].event, entries[6].event + EVENT_LOG_EVENT_LENGTH));
    EXPECT_EQ(0xE249u, refusal.m_code);

    // The tool shows the same log, one line per event.
    const std::string shown = RunTool("events " + std::to_string(Domain) + " --log");
    std::istringstream lines(shown);
    std::string line;
    int lineCount = 0;
    while (std::getline(lines, line))
    {
        ++lineCount;
    }
    EXPECT_EQ(7, lineCount) << shown;
    EXPECT_NE(std::string::npos, shown.find("seq=7 ")) << shown;
    EXPECT_NE(std::string::npos, shown.find("code=0xE249")) << shown;
}
} // namespace
