// ReadContent of a full 262144-byte "tol_para.saf" and of 65536-byte "pardata1.bin" and "emodata1.bin" (65535 bytes,
// its longest valid length), each against the bare CRC-32 over the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "Param/CEmoData1Bin.h"
#include "Param/CParData1Bin.h"
#include "Param/CTolParaSaf.h"
#include "Scm/QdriffCrc.h"
#include "support/Files/CEmoData1BinBuilder.h"
#include "support/Files/CParData1BinBuilder.h"
#include "support/Files/CParameterStreamBuilder.h"
#include "support/Files/CTolParaSafBuilder.h"

namespace
{
constexpr std::uint32_t TolParaSafLength = 262144u;
constexpr std::uint32_t FileLength = 65536u;

// The largest SCM section that fills the file: 64 + L + 4 * ceil(L / 16384) = 262144.
Support::Bytes BuildTolParaSaf()
{
    // Modules of 81 bytes each (SADR, vendor, product, revision, 32-byte checksum) up to the section length.
    constexpr std::uint32_t SectionLength = TolParaSafLength - 64u - 4u * 16u;
    Support::CParameterStreamBuilder stream;
    for (std::uint32_t module = 0u; module < SectionLength / 81u; ++module)
    {
        const auto sadr = static_cast<std::uint16_t>(module % 1023u + 1u);
        stream.AddModule({sadr, 0x1000u + sadr, 0x2000u + sadr, 1u, 2u, Support::Bytes(32u, 0x5A)});
    }
    Support::Bytes section = stream.Build();
    section.resize(SectionLength, 0u);
    Support::CTolParaSafBuilder builder;
    builder.m_scmSection = section;
    return builder.Build();
}

Support::Bytes BuildParData1Bin()
{
    Support::CAdditionalParameterRecord parameter;
    parameter.m_safetyAddress = 1u;
    parameter.m_parameterNumber = 1u;
    // 64 + (16 + n) + 4 * 4 = 65536
    parameter.m_data.assign(FileLength - 64u - 16u - 16u, 0xA5);
    Support::CParData1BinBuilder builder;
    builder.m_parameters = {parameter};
    return builder.Build();
}

Support::Bytes BuildEmoData1Bin()
{
    Support::CEmoData1BinBuilder builder;
    builder.PadTo(FileLength - 1u);
    return builder.Build();
}

template <typename File> void ReadContent(benchmark::State& state, const Support::Bytes& content)
{
    Support::Bytes buffer(content);
    File file(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    for (auto _ : state)
    {
        file.ReadContent(static_cast<std::uint32_t>(buffer.size()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(buffer.size()));
}

void Crc32(benchmark::State& state, const Support::Bytes& content)
{
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(GetCrc32_0x11EDC6F41(static_cast<std::uint32_t>(content.size()), content.data(), 0u));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(content.size()));
}

const Support::Bytes& TolParaSaf()
{
    static const Support::Bytes bytes = BuildTolParaSaf();
    return bytes;
}

const Support::Bytes& ParData1Bin()
{
    static const Support::Bytes bytes = BuildParData1Bin();
    return bytes;
}

const Support::Bytes& EmoData1Bin()
{
    static const Support::Bytes bytes = BuildEmoData1Bin();
    return bytes;
}

void TolParaSafReadContent(benchmark::State& state)
{
    ReadContent<Param::CTolParaSaf>(state, TolParaSaf());
}
void TolParaSafCrc32(benchmark::State& state)
{
    Crc32(state, TolParaSaf());
}
void ParData1BinReadContent(benchmark::State& state)
{
    ReadContent<Param::CParData1Bin>(state, ParData1Bin());
}
void ParData1BinCrc32(benchmark::State& state)
{
    Crc32(state, ParData1Bin());
}
void EmoData1BinReadContent(benchmark::State& state)
{
    ReadContent<Param::CEmoData1Bin>(state, EmoData1Bin());
}
void EmoData1BinCrc32(benchmark::State& state)
{
    Crc32(state, EmoData1Bin());
}
} // namespace

BENCHMARK(TolParaSafReadContent);
BENCHMARK(TolParaSafCrc32);
BENCHMARK(ParData1BinReadContent);
BENCHMARK(ParData1BinCrc32);
BENCHMARK(EmoData1BinReadContent);
BENCHMARK(EmoData1BinCrc32);
