// Writes frames as an openSAFETY-over-UDP capture (classic pcap, Ethernet, IPv4, UDP port 9877) for Wireshark.
#ifndef TOOLS_SCM_SIM_CPCAPWRITER_H
#define TOOLS_SCM_SIM_CPCAPWRITER_H

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

#include "support/Messages/Bytes.h"

namespace ScmSim
{
/// Frames to the network go from 127.0.0.1 (the SCM's side) to 127.0.0.2 (the nodes' side), answers back.
/// Nothing is sent anywhere: the addresses only tell the directions apart in the capture.
class CPcapWriter
{
public:
    /// Throws std::runtime_error when the file cannot be written.
    explicit CPcapWriter(const std::string& path);

    void Write(const Support::Bytes& frame, bool toNetwork);

    std::size_t GetCount() const
    {
        return m_count;
    }

    /// The UDP port of openSAFETY over UDP.
    static constexpr std::uint16_t ms_Port = 9877u;

private:
    std::ofstream m_file;
    std::size_t m_count = 0u;
};
} // namespace ScmSim

#endif
