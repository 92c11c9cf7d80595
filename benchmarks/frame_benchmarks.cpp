// The benchmarks: a memset of one frame as the floor, ComposeFrame for every ring count in both
// layouts, the plain reference, the tile sum and spread alone, the palette step and the table
// build.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/palette.h"
#include "engine/ring_tables.h"
#include "engine/tile_sum.h"
#include "settings/saver_settings.h"

namespace {

// Page-aligned like the pixel memory of a DIB section.
alignas(4096) std::uint8_t frame[kFrameBytes];
alignas(64) std::uint8_t tile[kTileHeight * kTileWidth];

const char* LayoutName(bool enlarged) {
  return enlarged ? "enlarged" : "tiled";
}

void PrepareTables() {
  saverSettings = SaverSettings{};
  StartEngine(nullptr);
}

void Memset(benchmark::State& state) {
  int value = 1;
  for (auto _ : state) {
    std::memset(frame, value, sizeof frame);
    value = value % 254 + 1;
    benchmark::ClobberMemory();
  }
}

void Compose(benchmark::State& state, int cir, bool enlarged) {
  saverSettings = SaverSettings{};
  saverSettings.cir = cir;
  saverSettings.one = enlarged ? 1 : 0;
  ResetComposition();
  framePixels = frame;
  framePitch = kFrameWidth;
  for (auto _ : state) {
    ComposeFrame();
    benchmark::ClobberMemory();
  }
}

// The plain versions of the four-ring frame, as ComposeFrame would call them.
void ComposeScalar(benchmark::State& state, bool enlarged) {
  std::uint8_t phase = 0;
  for (auto _ : state) {
    phase += 5;
    SumTile4Scalar(tile, 159, 58, 81, 119, 159, 58, 159, 59, phase);
    SpreadTileScalar(tile, enlarged, frame, kFrameWidth);
    benchmark::ClobberMemory();
  }
}

void SumTile4Only(benchmark::State& state) {
  std::uint8_t phase = 0;
  for (auto _ : state) {
    phase += 5;
    SumTile4(tile, 159, 58, 81, 119, 159, 58, 159, 59, phase);
    benchmark::ClobberMemory();
  }
}

void SpreadOnly(benchmark::State& state, bool enlarged) {
  for (auto _ : state) {
    SpreadTile(tile, enlarged, frame, kFrameWidth);
    benchmark::ClobberMemory();
  }
}

// One recomputing step (768 cosines) with the default speeds, as the saver runs it.
void PaletteStep(benchmark::State& state) {
  saverSettings = SaverSettings{};
  saverSettings.pal = PaletteAnimate;
  ResetEngine();
  PaletteEntries entries = {};
  StartEngine(entries);
  for (auto _ : state) {
    StepPaletteEntries(entries, EntryLayoutRgbQuad);
    benchmark::ClobberMemory();
  }
}

void TableBuild(benchmark::State& state) {
  for (auto _ : state) {
    BuildBaseTable(1);
    BuildWaveTable();
    benchmark::ClobberMemory();
  }
}

double Smallest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// Every benchmark also reports the smallest of its repetitions: on a machine shared with other
// work the fastest repetition is the one least disturbed.
template <typename... Args>
benchmark::internal::Benchmark* Register(const std::string& name, Args&&... args) {
  return benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)
      ->ComputeStatistics("min", Smallest);
}

}  // namespace

// Registered in the order of the ratio table; the memset comes first as the floor.
void RegisterFrameBenchmarks() {
  PrepareTables();
  Register("memset of a frame", Memset);
  for (bool enlarged : {true, false})
    for (int cir = 0; cir <= 3; ++cir) {
      const std::string name = "ComposeFrame " + std::to_string(4 - cir) + " ring" +
                               (cir == 3 ? " " : "s ") + LayoutName(enlarged);
      Register(name, Compose, cir, enlarged);
    }
  for (bool enlarged : {true, false}) {
    const std::string name = std::string("plain reference 4 rings ") + LayoutName(enlarged);
    Register(name, ComposeScalar, enlarged);
  }
  Register("tile sum 4 rings alone", SumTile4Only);
  for (bool enlarged : {true, false}) {
    const std::string name = std::string("spread alone ") + LayoutName(enlarged);
    Register(name, SpreadOnly, enlarged);
  }
  Register("palette step (768 cosines)", PaletteStep);
  Register("table build (both tables)", TableBuild)->Unit(benchmark::kMillisecond);
}
