// The persistence manager's start-up (TryInitialize: read, validate and cross-check every file of the domain) over a
// domain whose files all have their largest valid size, against one CRC-32 pass over the same bytes in the same run,
// with the checker's routine and per byte. The storage reads alone, through the same kernel calls, show how much of
// the start-up is the emulated kernel's file I/O.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "Main/CDefaultPersistence.h"
#include "Main/CRuntimeFileStorage.h"
#include "Scm/QdriffCrc.h"
#include "Scm/ScmKernel.h"
#include "bench/common/CFullSizeDomain.h"
#include "bench/common/CRatioReporter.h"
#include "tests/Scm/CrcReference.h"

namespace
{
Bench::CFullSizeDomain& GetDomain()
{
    static Bench::CFullSizeDomain domain;
    return domain;
}

// The storages TryInitialize reads, and flash file 16 with the controller's signature.
std::uint64_t GetReadBytes(const Bench::CFullSizeDomain& domain)
{
    std::uint64_t length = 18u;
    for (const auto& storage : domain.GetStorages())
    {
        length += storage.second.size();
    }
    return length;
}

// The persistence manager lives in static storage in the checker (about 704 KiB); here in one aligned block that each
// iteration constructs and destroys outside the timed part.
std::aligned_storage_t<sizeof(Main::CDefaultPersistence), alignof(Main::CDefaultPersistence)> persistenceStorage;

void StartUpTryInitialize(benchmark::State& state)
{
    Bench::CFullSizeDomain& domain = GetDomain();
    Main::CRuntimeFileStorage fileStorage;
    bool allKept = true;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto* persistence = new (&persistenceStorage) Main::CDefaultPersistence(fileStorage);
        state.ResumeTiming();
        allKept = persistence->TryInitialize() && allKept;
        state.PauseTiming();
        persistence->~CDefaultPersistence();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(GetReadBytes(domain)));
    if (!allKept)
    {
        state.SkipWithError("the persistence manager discarded a file: the domain is not what is to be measured");
    }
}

// What TryInitialize asks of the kernel, without looking at the bytes: the length of the parameter file, every storage
// read whole, each into a buffer of its own as the persistence manager's are, and flash file 16.
void StartUpStorageReads(benchmark::State& state)
{
    Bench::CFullSizeDomain& domain = GetDomain();
    const Main::CRuntimeFileStorage fileStorage;
    std::vector<std::vector<std::uint8_t>> buffers;
    for (const auto& storage : domain.GetStorages())
    {
        buffers.emplace_back(storage.second.size() + 1u);
    }
    std::vector<std::uint8_t> flashBuffer(18u);
    std::uint64_t readBytes = 0u;
    bool failed = false;
    for (auto _ : state)
    {
        readBytes += fileStorage.GetLength("tol_para.saf");
        std::size_t index = 0u;
        for (const auto& storage : domain.GetStorages())
        {
            std::vector<std::uint8_t>& buffer = buffers[index++];
            readBytes += fileStorage.Read(storage.first.c_str(), static_cast<std::uint32_t>(buffer.size()),
                                          buffer.data());
            benchmark::DoNotOptimize(buffer.data());
        }
        failed = (ScmReadKelFlashFile(Bench::CFullSizeDomain::ms_Domain, 16u, 0u,
                                      static_cast<std::uint32_t>(flashBuffer.size()), flashBuffer.data()) < 0) ||
                 failed;
        benchmark::DoNotOptimize(flashBuffer.data());
    }
    benchmark::DoNotOptimize(readBytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(GetReadBytes(domain)));
    if (failed)
    {
        state.SkipWithError("the kernel refused flash file 16");
    }
}

void StartUpCrcPass(benchmark::State& state)
{
    const Bench::CFullSizeDomain& domain = GetDomain();
    for (auto _ : state)
    {
        std::uint32_t crc = 0u;
        for (const auto& storage : domain.GetStorages())
        {
            crc = GetCrc32_0x11EDC6F41(static_cast<std::uint32_t>(storage.second.size()), storage.second.data(), crc);
        }
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(GetReadBytes(domain)));
}

// The same pass per byte through one table, as the checker computed it before its CRCs took eight bytes per step.
void StartUpBytewiseCrcPass(benchmark::State& state)
{
    const Bench::CFullSizeDomain& domain = GetDomain();
    for (auto _ : state)
    {
        std::uint32_t crc = 0u;
        for (const auto& storage : domain.GetStorages())
        {
            crc = CrcReference::BytewiseCrc32(crc, storage.second.size(), storage.second.data());
        }
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(GetReadBytes(domain)));
}
} // namespace

BENCHMARK(StartUpTryInitialize)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartUpStorageReads)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartUpCrcPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartUpBytewiseCrcPass)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return Bench::RunWithRatios(
        argc, argv,
        {{"start_up_per_crc_pass", "StartUpTryInitialize", "StartUpCrcPass", 0.0},
         {"start_up_without_storage_reads_per_crc_pass", "StartUpTryInitialize", "StartUpCrcPass", 0.0,
          "StartUpStorageReads"},
         {"storage_reads_per_crc_pass", "StartUpStorageReads", "StartUpCrcPass", 0.0},
         {"start_up_per_bytewise_crc_pass", "StartUpTryInitialize", "StartUpBytewiseCrcPass", 0.0}});
}
