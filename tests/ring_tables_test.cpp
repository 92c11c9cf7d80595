#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/ring_tables.h"

namespace {

int At(const RingTable& table, int row, int column) {
  return table[row * kRingTableColumns + column];
}

struct Cell {
  int cycle;
  int row;
  int column;
  int value;
};

TEST(RingTables, BaseTableCells) {
  const Cell cells[] = {
      {1, 120, 160, 0}, {1, 120, 161, 5},   {1, 121, 160, 5},  {1, 0, 0, 232},     {1, 120, 0, 32},
      {1, 0, 160, 88},  {1, 239, 319, 225}, {20, 120, 160, 0}, {20, 120, 161, 22}, {20, 0, 0, 120},
  };
  for (const Cell& cell : cells) {
    BuildBaseTable(cell.cycle);
    EXPECT_EQ(At(baseTable, cell.row, cell.column), cell.value)
        << "cycle " << cell.cycle << " at " << cell.row << "," << cell.column;
  }
}

TEST(RingTables, EveryByteValueOccursForDialogCycles) {
  for (int cycle = 1; cycle <= 20; ++cycle) {
    BuildBaseTable(cycle);
    bool seen[256] = {};
    for (std::uint8_t value : baseTable) seen[value] = true;
    EXPECT_EQ(std::count(seen, seen + 256, true), 256) << "cycle " << cycle;
  }
}

TEST(RingTables, FlatOrDefinedOutsideTheDialogRange) {
  // 0 and negative values give a flat table; large ones are computed without overflow and agree
  // with the 32-bit product wherever that product fits (53687 is the last such value).
  for (int cycle : {0, -1, -2147483647 - 1}) {
    BuildBaseTable(cycle);
    EXPECT_TRUE(std::all_of(baseTable.begin(), baseTable.end(), [](int v) { return v == 0; }))
        << "cycle " << cycle;
  }
  BuildBaseTable(53687);
  EXPECT_EQ(At(baseTable, 0, 0), static_cast<int>(std::sqrt(40000.0 * 53687) * 5.0) & 0xFF);
  BuildBaseTable(2147483647);
  EXPECT_EQ(At(baseTable, 120, 160), 0);
  EXPECT_EQ(At(baseTable, 0, 0), static_cast<int>(std::sqrt(40000.0 * 2147483647.0) * 5.0) & 0xFF);
}

TEST(RingTables, WaveTableCells) {
  BuildWaveTable();
  const Cell cells[] = {{0, 120, 160, 4}, {0, 119, 160, 4}, {0, 121, 160, 4},
                        {0, 120, 159, 4}, {0, 120, 161, 4}, {0, 0, 0, 134},
                        {0, 120, 0, 136}, {0, 0, 160, 0},   {0, 239, 319, 123}};
  for (const Cell& cell : cells)
    EXPECT_EQ(At(waveTable, cell.row, cell.column), cell.value) << cell.row << "," << cell.column;
  EXPECT_EQ(*std::max_element(waveTable.begin(), waveTable.end()), 179);
  EXPECT_EQ(std::count(waveTable.begin(), waveTable.end(), 0), 3645);
}

}  // namespace
