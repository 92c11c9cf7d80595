// The fake's ledger of the platform resources it hands out: each device context, bitmap, global
// memory block, timer, paint and DirectDraw object is entered when it is made (or its count
// raised) and struck out when it is released, so that a scenario test can check that every one
// was released exactly once, on every path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Enters one reference to the resource `kind` with this handle (a null handle is no resource).
void FakeHandOut(const std::string& kind, std::uintptr_t handle);
// Strikes out one reference; one that is not held (released twice, or never handed out) is noted
// as a bad release. A null handle is no resource and is ignored. True when a reference was held.
bool FakeTakeBack(const std::string& kind, std::uintptr_t handle);

// What is still held, as "kind 0x1234 (n references)", and the bad releases, as "kind 0x1234".
std::vector<std::string> FakeLiveResources();
std::vector<std::string> FakeBadReleases();
// How many references of `kind` were handed out since the last reset.
int FakeHandedOut(const std::string& kind);

template <typename Handle>
std::uintptr_t FakeKey(Handle handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}
