#include "engine/ring_tables.h"

#include <cmath>

RingTable baseTable;
RingTable waveTable;

void BuildBaseTable(std::int32_t cycle) {
  // The dialog offers 1..20; a hand-edited file can hold anything. The product is formed in 64 bits
  // so that large values cannot overflow (for every value whose 32-bit product fits, the result is
  // the same), and a negative `cycle`, which has no real root, is taken as 0: a flat table.
  const std::int64_t factor = cycle < 0 ? 0 : cycle;
  for (int i = 0; i < kRingTableRows; ++i) {
    const std::int64_t a = kRingCentreRow - i;
    for (int j = 0; j < kRingTableColumns; ++j) {
      const std::int64_t b = kRingCentreColumn - j;
      const std::int64_t p = (a * a + b * b) * factor;
      // At most sqrt(40000 * 2^31) * 5, about 4.6e7: the truncation always fits in 32 bits.
      const auto value = static_cast<std::int32_t>(std::sqrt(static_cast<double>(p)) * 5.0);
      baseTable[i * kRingTableColumns + j] = static_cast<std::uint8_t>(value & 0xFF);
    }
  }
}

void BuildWaveTable() {
  for (int i = 0; i < kRingTableRows; ++i) {
    const int a = kRingCentreRow - i;
    for (int j = 0; j < kRingTableColumns; ++j) {
      const int b = kRingCentreColumn - j;
      const double s = std::sqrt(a * a + 16.0 + b * b) - 16.0;
      const double v = 90.0 * (std::sin(s * 0.10526315789473684) + 1.0);
      waveTable[i * kRingTableColumns + j] = static_cast<std::uint8_t>(static_cast<int>(v));
    }
  }
}
