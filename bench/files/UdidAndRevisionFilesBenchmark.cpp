// ReadContent of 65536-byte "tessera.dat" and "autocnf.bin" and of the longest valid "fwrevcnf.bin" (1023 modules,
// 4145 bytes), each against the bare CRC-32 over the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "Param/CAutoCnfBin.h"
#include "Param/CFwRevCnfBin.h"
#include "Param/CTesseraDat.h"
#include "Scm/QdriffCrc.h"
#include "support/Files/CAutoCnfBinBuilder.h"
#include "support/Files/CFwRevCnfBinBuilder.h"
#include "support/Files/CTesseraDatBuilder.h"

namespace
{
constexpr std::uint32_t FileLength = 65536u;

Support::Bytes BuildTesseraDat()
{
    // 64 + L + 4 * ceil(L / 16384) = 65536 for L = 65456: UDID records of 13 bytes and one filler record.
    constexpr std::uint32_t SectionLength = FileLength - 64u - 16u;
    Support::CTesseraDatBuilder builder;
    std::uint32_t length = 0u;
    for (std::uint32_t record = 0u; length + 13u + 7u <= SectionLength; ++record)
    {
        const auto sadr = static_cast<std::uint16_t>(record % 1023u + 1u);
        builder.AddUdid(sadr, {1, 2, 3, 4, static_cast<std::uint8_t>(sadr >> 8), static_cast<std::uint8_t>(sadr)});
        length += 13u;
    }
    builder.AddRecord(0x1000u, 1u, Support::Bytes(SectionLength - length - 7u, 0u));
    return builder.Build();
}

Support::Bytes BuildAutoCnfBin()
{
    // The UDID section may be longer than its entries: padding fills the file to 65536 bytes.
    Support::CAutoCnfBinBuilder builder;
    for (std::uint16_t sadr = 1u; sadr <= 101u; ++sadr)
    {
        builder.AddUdid(sadr, {9, 9, 9, 9, static_cast<std::uint8_t>(sadr >> 8), static_cast<std::uint8_t>(sadr)});
    }
    builder.m_machineOptions = Support::Bytes(76u, 0x11u);
    builder.m_moduleFlags = Support::Bytes(396u, 0x22u);
    builder.m_udidSectionPadding = Support::Bytes(FileLength - 64u - (8u + 8u * 101u + 4u) - 76u - 396u - 4u, 0u);
    return builder.Build();
}

Support::Bytes BuildFwRevCnfBin()
{
    Support::CFwRevCnfBinBuilder builder;
    for (std::uint16_t sadr = 1u; sadr <= 1023u; ++sadr)
    {
        builder.AddModule(sadr, sadr);
    }
    builder.m_hasPassword = true;
    return builder.Build();
}

template <typename File, typename Buffer> void ReadContent(benchmark::State& state, const Support::Bytes& content)
{
    Support::Bytes buffer(content);
    File file(static_cast<std::uint32_t>(buffer.size()), static_cast<Buffer*>(buffer.data()));
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

const Support::Bytes& TesseraDat()
{
    static const Support::Bytes bytes = BuildTesseraDat();
    return bytes;
}

const Support::Bytes& AutoCnfBin()
{
    static const Support::Bytes bytes = BuildAutoCnfBin();
    return bytes;
}

const Support::Bytes& FwRevCnfBin()
{
    static const Support::Bytes bytes = BuildFwRevCnfBin();
    return bytes;
}

void TesseraDatReadContent(benchmark::State& state)
{
    ReadContent<Param::CTesseraDat, std::uint8_t>(state, TesseraDat());
}
void TesseraDatCrc32(benchmark::State& state)
{
    Crc32(state, TesseraDat());
}
void AutoCnfBinReadContent(benchmark::State& state)
{
    ReadContent<Param::CAutoCnfBin, const std::uint8_t>(state, AutoCnfBin());
}
void AutoCnfBinCrc32(benchmark::State& state)
{
    Crc32(state, AutoCnfBin());
}
void FwRevCnfBinReadContent(benchmark::State& state)
{
    ReadContent<Param::CFwRevCnfBin, std::uint8_t>(state, FwRevCnfBin());
}
void FwRevCnfBinCrc32(benchmark::State& state)
{
    Crc32(state, FwRevCnfBin());
}
} // namespace

BENCHMARK(TesseraDatReadContent);
BENCHMARK(TesseraDatCrc32);
BENCHMARK(AutoCnfBinReadContent);
BENCHMARK(AutoCnfBinCrc32);
BENCHMARK(FwRevCnfBinReadContent);
BENCHMARK(FwRevCnfBinCrc32);
