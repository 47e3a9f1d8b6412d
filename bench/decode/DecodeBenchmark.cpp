// Cost of decoding a safety frame next to the two CRCs over the same bytes: per byte through one table (the floor a
// frame deserialiser with table-driven CRCs cannot go below) and with the checker's slice-by-8 routines.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "Epls/CFrameDecoder.h"
#include "Scm/QdriffCrc.h"
#include "bench/common/CRatioReporter.h"
#include "support/Messages/CFrameBuilder.h"
#include "tests/Scm/CrcReference.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};

// 27 bytes: one-byte CRCs over 12 and 13 bytes.
Bytes BasicLe8()
{
    return CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, {1u, 2u, 3u, 4u}).ScmUdid(ScmUdid).Build();
}

// 521 bytes, the longest frame: two-byte CRCs (0x755B) over 258 and 259 bytes.
Bytes BasicLe254()
{
    return CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 6u, Bytes(250u, 0x5Au))
        .ScmUdid(ScmUdid)
        .Build();
}

// 25 bytes: two-byte CRCs (0x5935) over 16 and 5 bytes.
Bytes SlimLe12()
{
    return CFrameBuilder::SsdoDownloadSegment(5u, false, true, Bytes(11u, 0x5Au), false, true).ScmUdid(ScmUdid).Build();
}

// 267 bytes: two-byte CRCs (0x5935) over 258 and 5 bytes.
Bytes SlimLe254()
{
    return CFrameBuilder::SsdoDownloadSegment(5u, false, true, Bytes(253u, 0x5Au), false, true)
        .ScmUdid(ScmUdid)
        .Build();
}

void Decode(benchmark::State& state, const Bytes& frame)
{
    Epls::CFrameDecoder decoder;
    const auto length = static_cast<std::uint16_t>(frame.size());
    for (auto _ : state)
    {
        const Epls::CDecodedFrame& decoded = decoder.GetDecodedFrame(length, frame.data(), ScmUdid.data());
        benchmark::DoNotOptimize(&decoded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(frame.size()));
}

// The ranges the two CRCs cover: sub-frame 1 up to its CRC, sub-frame 2 up to its CRC.
struct CCrcRanges
{
    explicit CCrcRanges(const Bytes& frame)
    {
        const std::uint32_t le = frame[2];
        const bool slim = ((frame[1] >> 2u) & 0x3Eu) == 0x3Au;
        m_crcLength = (le < 9u) ? 1u : 2u;
        m_table = (m_crcLength == 1u) ? 8u : (slim ? 0x5935u : 0x755Bu);
        m_subFrame1Length = 4u + le;
        m_subFrame2Length = slim ? 5u : 5u + le;
        m_subFrame2 = frame.data() + m_subFrame1Length + m_crcLength;
    }

    std::uint32_t m_crcLength;
    std::uint32_t m_table;
    std::uint32_t m_subFrame1Length;
    std::uint32_t m_subFrame2Length;
    const std::uint8_t* m_subFrame2;
};

void BytewiseCrcs(benchmark::State& state, const Bytes& frame)
{
    const CCrcRanges ranges(frame);
    const auto& table = (ranges.m_table == 0x5935u) ? CrcReference::Crc16_5935Table : CrcReference::Crc16_755BTable;
    for (auto _ : state)
    {
        std::uint32_t crc1 = 0u;
        std::uint32_t crc2 = 0u;
        if (ranges.m_crcLength == 1u)
        {
            crc1 = CrcReference::BytewiseCrc8(0u, ranges.m_subFrame1Length, frame.data());
            crc2 = CrcReference::BytewiseCrc8(0u, ranges.m_subFrame2Length, ranges.m_subFrame2);
        }
        else
        {
            crc1 = CrcReference::BytewiseCrc16(table, 0u, ranges.m_subFrame1Length, frame.data());
            crc2 = CrcReference::BytewiseCrc16(table, 0u, ranges.m_subFrame2Length, ranges.m_subFrame2);
        }
        benchmark::DoNotOptimize(crc1);
        benchmark::DoNotOptimize(crc2);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(frame.size()));
}

void Crcs(benchmark::State& state, const Bytes& frame)
{
    const CCrcRanges ranges(frame);
    for (auto _ : state)
    {
        std::uint32_t crc1 = 0u;
        std::uint32_t crc2 = 0u;
        if (ranges.m_crcLength == 1u)
        {
            crc1 = GetCrc8_0x12F(ranges.m_subFrame1Length, frame.data());
            crc2 = GetCrc8_0x12F(ranges.m_subFrame2Length, ranges.m_subFrame2);
        }
        else if (ranges.m_table == 0x5935u)
        {
            crc1 = GetCrc16_0x15935(ranges.m_subFrame1Length, frame.data());
            crc2 = GetCrc16_0x15935(ranges.m_subFrame2Length, ranges.m_subFrame2);
        }
        else
        {
            crc1 = GetCrc16_0x1755B(ranges.m_subFrame1Length, frame.data());
            crc2 = GetCrc16_0x1755B(ranges.m_subFrame2Length, ranges.m_subFrame2);
        }
        benchmark::DoNotOptimize(crc1);
        benchmark::DoNotOptimize(crc2);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(frame.size()));
}

void DecodeBasicLe8(benchmark::State& state)
{
    Decode(state, BasicLe8());
}
void BytewiseCrcBasicLe8(benchmark::State& state)
{
    BytewiseCrcs(state, BasicLe8());
}
void CrcBasicLe8(benchmark::State& state)
{
    Crcs(state, BasicLe8());
}
void DecodeBasicLe254(benchmark::State& state)
{
    Decode(state, BasicLe254());
}
void BytewiseCrcBasicLe254(benchmark::State& state)
{
    BytewiseCrcs(state, BasicLe254());
}
void CrcBasicLe254(benchmark::State& state)
{
    Crcs(state, BasicLe254());
}
void DecodeSlimLe12(benchmark::State& state)
{
    Decode(state, SlimLe12());
}
void BytewiseCrcSlimLe12(benchmark::State& state)
{
    BytewiseCrcs(state, SlimLe12());
}
void CrcSlimLe12(benchmark::State& state)
{
    Crcs(state, SlimLe12());
}
void DecodeSlimLe254(benchmark::State& state)
{
    Decode(state, SlimLe254());
}
void BytewiseCrcSlimLe254(benchmark::State& state)
{
    BytewiseCrcs(state, SlimLe254());
}
void CrcSlimLe254(benchmark::State& state)
{
    Crcs(state, SlimLe254());
}
} // namespace

BENCHMARK(DecodeBasicLe8);
BENCHMARK(BytewiseCrcBasicLe8);
BENCHMARK(CrcBasicLe8);
BENCHMARK(DecodeBasicLe254);
BENCHMARK(BytewiseCrcBasicLe254);
BENCHMARK(CrcBasicLe254);
BENCHMARK(DecodeSlimLe12);
BENCHMARK(BytewiseCrcSlimLe12);
BENCHMARK(CrcSlimLe12);
BENCHMARK(DecodeSlimLe254);
BENCHMARK(BytewiseCrcSlimLe254);
BENCHMARK(CrcSlimLe254);

int main(int argc, char** argv)
{
    std::vector<Bench::CRatio> ratios;
    for (const char* frame : {"BasicLe8", "BasicLe254", "SlimLe12", "SlimLe254"})
    {
        const std::string name = frame;
        ratios.push_back({Bench::ToKey("Decode" + name) + "_per_bytewise_crcs", "Decode" + name, "BytewiseCrc" + name});
        ratios.push_back({Bench::ToKey("Crc" + name) + "_per_bytewise_crcs", "Crc" + name, "BytewiseCrc" + name});
    }
    return Bench::RunWithRatios(argc, argv, ratios);
}
