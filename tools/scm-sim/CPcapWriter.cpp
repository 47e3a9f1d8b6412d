// Writes frames as an openSAFETY-over-UDP capture.
#include "tools/scm-sim/CPcapWriter.h"

#include <stdexcept>

namespace ScmSim
{
namespace
{
using Support::Bytes;

void Put(Bytes& bytes, std::uint64_t value, std::size_t length, bool bigEndian)
{
    for (std::size_t i = 0u; i < length; ++i)
    {
        const std::size_t shift = 8u * (bigEndian ? (length - 1u - i) : i);
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint16_t Ipv4HeaderChecksum(const Bytes& header)
{
    std::uint32_t sum = 0u;
    for (std::size_t i = 0u; i + 1u < header.size(); i += 2u)
    {
        sum += static_cast<std::uint32_t>((header[i] << 8u) | header[i + 1u]);
    }
    while ((sum >> 16u) != 0u)
    {
        sum = (sum & 0xFFFFu) + (sum >> 16u);
    }
    return static_cast<std::uint16_t>(~sum);
}
} // namespace

CPcapWriter::CPcapWriter(const std::string& path) : m_file(path, std::ios::binary | std::ios::trunc)
{
    if (!m_file)
    {
        throw std::runtime_error("cannot write " + path);
    }
    Bytes header;
    Put(header, 0xA1B2C3D4u, 4u, false);
    Put(header, 2u, 2u, false);
    Put(header, 4u, 2u, false);
    Put(header, 0u, 4u, false);
    Put(header, 0u, 4u, false);
    Put(header, 65535u, 4u, false);
    Put(header, 1u, 4u, false); // Ethernet
    m_file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
}

void CPcapWriter::Write(const Bytes& frame, bool toNetwork)
{
    const std::uint8_t scmHost = 1u;
    const std::uint8_t nodeHost = 2u;
    const std::uint8_t source = toNetwork ? scmHost : nodeHost;
    const std::uint8_t destination = toNetwork ? nodeHost : scmHost;

    Bytes packet;
    // Ethernet: locally administered addresses ending in the host number, IPv4.
    for (std::uint8_t host : {destination, source})
    {
        packet.insert(packet.end(), {0x02u, 0x00u, 0x00u, 0x00u, 0x00u, host});
    }
    Put(packet, 0x0800u, 2u, true);
    Bytes ip;
    Put(ip, 0x45u, 1u, true);
    Put(ip, 0u, 1u, true);
    Put(ip, 20u + 8u + frame.size(), 2u, true);
    Put(ip, m_count & 0xFFFFu, 2u, true);
    Put(ip, 0x4000u, 2u, true);
    Put(ip, 64u, 1u, true);
    Put(ip, 17u, 1u, true);
    Put(ip, 0u, 2u, true);
    ip.insert(ip.end(), {127u, 0u, 0u, source, 127u, 0u, 0u, destination});
    const std::uint16_t checksum = Ipv4HeaderChecksum(ip);
    ip[10] = static_cast<std::uint8_t>(checksum >> 8u);
    ip[11] = static_cast<std::uint8_t>(checksum);
    packet.insert(packet.end(), ip.begin(), ip.end());
    Put(packet, ms_Port, 2u, true);
    Put(packet, ms_Port, 2u, true);
    Put(packet, 8u + frame.size(), 2u, true);
    Put(packet, 0u, 2u, true); // no UDP checksum
    packet.insert(packet.end(), frame.begin(), frame.end());

    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    Bytes record;
    Put(record, static_cast<std::uint64_t>(micros / 1000000), 4u, false);
    Put(record, static_cast<std::uint64_t>(micros % 1000000), 4u, false);
    Put(record, packet.size(), 4u, false);
    Put(record, packet.size(), 4u, false);
    record.insert(record.end(), packet.begin(), packet.end());
    m_file.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    m_file.flush();
    ++m_count;
}
} // namespace ScmSim
