// Cost of decoding a safety frame against the floor of its two CRCs over the same bytes.
#include <benchmark/benchmark.h>

#include "Epls/CFrameDecoder.h"
#include "Scm/QdriffCrc.h"
#include "support/Messages/CFrameBuilder.h"

namespace
{
using Support::Bytes;
using Support::CFrameBuilder;

const Support::Udid ScmUdid{0x00u, 0x60u, 0x65u, 0xA1u, 0xB2u, 0xC3u};

Bytes BasicLe8()
{
    return CFrameBuilder::SsdoDownloadInitiateExpedited(5u, 0x101Au, 0u, {1u, 2u, 3u, 4u}).ScmUdid(ScmUdid).Build();
}

Bytes BasicLe254()
{
    return CFrameBuilder::SsdoUploadInitiateExpeditedResponse(5u, 0x1018u, 6u, Bytes(250u, 0x5Au))
        .ScmUdid(ScmUdid)
        .Build();
}

Bytes SlimLe12()
{
    return CFrameBuilder::SsdoDownloadSegment(5u, false, true, Bytes(11u, 0x5Au), false, true).ScmUdid(ScmUdid).Build();
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

// The two CRCs the decoder must compute: sub-frame 1 up to its CRC, sub-frame 2 up to its CRC.
void Crcs(benchmark::State& state, const Bytes& frame, bool isSlim)
{
    const std::uint32_t le = frame[2];
    const std::uint32_t crcLength = (le < 9u) ? 1u : 2u;
    const std::uint32_t subFrame1Length = 4u + le;
    const std::uint32_t subFrame2Length = isSlim ? 5u : 5u + le;
    const std::uint8_t* subFrame2 = frame.data() + subFrame1Length + crcLength;
    for (auto _ : state)
    {
        std::uint32_t crc1 = 0u;
        std::uint32_t crc2 = 0u;
        if (crcLength == 1u)
        {
            crc1 = GetCrc8_0x12F(subFrame1Length, frame.data());
            crc2 = GetCrc8_0x12F(subFrame2Length, subFrame2);
        }
        else if (isSlim)
        {
            crc1 = GetCrc16_0x15935(subFrame1Length, frame.data());
            crc2 = GetCrc16_0x15935(subFrame2Length, subFrame2);
        }
        else
        {
            crc1 = GetCrc16_0x1755B(subFrame1Length, frame.data());
            crc2 = GetCrc16_0x1755B(subFrame2Length, subFrame2);
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
void CrcBasicLe8(benchmark::State& state)
{
    Crcs(state, BasicLe8(), false);
}
void DecodeBasicLe254(benchmark::State& state)
{
    Decode(state, BasicLe254());
}
void CrcBasicLe254(benchmark::State& state)
{
    Crcs(state, BasicLe254(), false);
}
void DecodeSlimLe12(benchmark::State& state)
{
    Decode(state, SlimLe12());
}
void CrcSlimLe12(benchmark::State& state)
{
    Crcs(state, SlimLe12(), true);
}
} // namespace

BENCHMARK(DecodeBasicLe8);
BENCHMARK(CrcBasicLe8);
BENCHMARK(DecodeBasicLe254);
BENCHMARK(CrcBasicLe254);
BENCHMARK(DecodeSlimLe12);
BENCHMARK(CrcSlimLe12);

BENCHMARK_MAIN();
