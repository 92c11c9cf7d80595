// The kernel area of the fake: the named mutex, the last error, global memory (real blocks, so
// that the program can write into them and a test can see what is still allocated) and sleep.
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "fake_win32/fake_calls.h"
#include "fake_win32/fake_gdi.h"
#include "fake_win32/fake_ledger.h"

namespace {

struct State {
  std::set<void*> blocks;
};

State& S() {
  static State state;
  return state;
}

const bool registered = RegisterFakeReset([] {
  for (void* block : S().blocks) std::free(block);
  S() = State{};
});

// What GlobalAlloc puts into memory that was not asked to be zeroed.
constexpr int kUninitialisedByte = 0xCD;

}  // namespace

std::size_t FakeLiveGlobalBlocks() {
  return S().blocks.size();
}

HANDLE CreateMutexA(SECURITY_ATTRIBUTES* attributes, BOOL initialOwner, LPCSTR name) {
  RecordCall("CreateMutexA", {FakeHex(attributes), std::to_string(initialOwner), FakeText(name)});
  return reinterpret_cast<HANDLE>(0x4D0);
}

// 183 (ERROR_ALREADY_EXISTS) when scripted; 0 otherwise.
DWORD GetLastError() {
  RecordCall("GetLastError");
  std::int64_t result = 0;
  TakeScriptedResult("GetLastError", &result);
  return static_cast<DWORD>(result);
}

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
  RecordCall("GlobalAlloc", {FakeHex(flags), std::to_string(bytes)});
  std::int64_t result = 1;
  if (TakeScriptedResult("GlobalAlloc", &result) && result == 0) return nullptr;
  void* block = std::malloc(bytes > 0 ? bytes : 1);
  std::memset(block, (flags & GMEM_ZEROINIT) ? 0 : kUninitialisedByte, bytes);
  S().blocks.insert(block);
  FakeHandOut("global memory", FakeKey(block));
  return block;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  RecordCall("GlobalFree", {FakeHex(memory)});
  // Freeing a block twice, or one never allocated, fails and hands the block back.
  FakeTakeBack("global memory", FakeKey(memory));
  if (S().blocks.erase(memory) == 0) return memory;
  std::free(memory);
  return nullptr;
}

void Sleep(DWORD milliseconds) {
  RecordCall("Sleep", {std::to_string(milliseconds)});
}
