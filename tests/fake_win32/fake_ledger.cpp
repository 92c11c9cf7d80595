// The ledger of handed-out resources (see fake_ledger.h), cleared with the rest of the fake.
#include "fake_win32/fake_ledger.h"

#include <map>
#include <utility>

#include "fake_win32/fake_calls.h"

namespace {

struct Ledger {
  std::map<std::pair<std::string, std::uintptr_t>, int> held;
  std::map<std::string, int> handedOut;
  std::vector<std::string> badReleases;
};

Ledger& L() {
  static Ledger ledger;
  return ledger;
}

const bool registered = RegisterFakeReset([] { L() = Ledger{}; });

std::string Name(const std::string& kind, std::uintptr_t handle) {
  return kind + " " + FakeHex(handle);
}

}  // namespace

void FakeHandOut(const std::string& kind, std::uintptr_t handle) {
  if (handle == 0) return;
  ++L().held[{kind, handle}];
  ++L().handedOut[kind];
}

bool FakeTakeBack(const std::string& kind, std::uintptr_t handle) {
  if (handle == 0) return false;
  auto found = L().held.find({kind, handle});
  if (found == L().held.end()) {
    L().badReleases.push_back(Name(kind, handle));
    return false;
  }
  if (--found->second == 0) L().held.erase(found);
  return true;
}

std::vector<std::string> FakeLiveResources() {
  std::vector<std::string> live;
  for (const auto& entry : L().held)
    live.push_back(Name(entry.first.first, entry.first.second) + " (" +
                   std::to_string(entry.second) + " references)");
  return live;
}

std::vector<std::string> FakeBadReleases() {
  return L().badReleases;
}

int FakeHandedOut(const std::string& kind) {
  auto found = L().handedOut.find(kind);
  return found == L().handedOut.end() ? 0 : found->second;
}
