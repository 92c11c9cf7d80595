// The two ring tables that every frame samples: a sawtooth of the distance from the centre whose
// period depends on `cycle`, and fixed sine-shaped rings. Built once at start-up.
#pragma once

#include <array>
#include <cstdint>

constexpr int kRingTableRows = 240;
constexpr int kRingTableColumns = 320;
constexpr int kRingCentreRow = 120;
constexpr int kRingCentreColumn = 160;

using RingTable = std::array<std::uint8_t, kRingTableRows * kRingTableColumns>;

extern RingTable baseTable;
extern RingTable waveTable;

void BuildBaseTable(std::int32_t cycle);
void BuildWaveTable();
