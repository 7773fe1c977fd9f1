// The bit buffer's cost for the demo stream's access pattern: small unaligned fields mixed with
// whole values, written and then read back.
#include <benchmark/benchmark.h>

#include "framework/util/Buffer.h"

namespace {

constexpr int kRecords = 4096;

void WriteRecords(Kit::Buffer& buffer) {
  for (int i = 0; i < kRecords; ++i) {
    buffer.WriteNumBits(static_cast<std::uint32_t>(i & 15), 4);
    buffer.WriteNumBits(1, 1);
    buffer.WriteNumBits(static_cast<std::uint32_t>(i & 31), 5);
    buffer.WriteNumBits(static_cast<std::uint32_t>(i * 7), 12);
    buffer.WriteByte(static_cast<std::uint8_t>(i));
    buffer.WriteLong(static_cast<std::int32_t>(static_cast<std::uint32_t>(i) * 1103515245u));
  }
}

void BM_BufferMixedUnalignedWrites(benchmark::State& state) {
  for (auto _ : state) {
    Kit::Buffer buffer;
    WriteRecords(buffer);
    benchmark::DoNotOptimize(buffer.GetDataPtr());
  }
  state.SetItemsProcessed(state.iterations() * kRecords * 6);
  state.SetBytesProcessed(state.iterations() * kRecords * 9);
}
BENCHMARK(BM_BufferMixedUnalignedWrites);

void BM_BufferMixedUnalignedReads(benchmark::State& state) {
  Kit::Buffer buffer;
  WriteRecords(buffer);
  for (auto _ : state) {
    buffer.SeekFront();
    std::uint32_t sum = 0;
    for (int i = 0; i < kRecords; ++i) {
      sum += buffer.ReadNumBits(4, false);
      sum += buffer.ReadNumBits(1, false);
      sum += buffer.ReadNumBits(5, true);
      sum += buffer.ReadNumBits(12, false);
      sum += buffer.ReadByte();
      sum += static_cast<std::uint32_t>(buffer.ReadLong());
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords * 6);
  state.SetBytesProcessed(state.iterations() * kRecords * 9);
}
BENCHMARK(BM_BufferMixedUnalignedReads);

void BM_BufferStringsRoundTrip(benchmark::State& state) {
  const std::string text = "Player One";
  for (auto _ : state) {
    Kit::Buffer buffer;
    buffer.WriteNumBits(1, 3);  // off byte alignment, as in the demo stream
    for (int i = 0; i < 256; ++i) buffer.WriteString(text);
    std::size_t total = 0;
    buffer.ReadNumBits(3, false);
    for (int i = 0; i < 256; ++i) total += buffer.ReadString().size();
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * 256 * 12 * 2);
}
BENCHMARK(BM_BufferStringsRoundTrip);

}  // namespace
