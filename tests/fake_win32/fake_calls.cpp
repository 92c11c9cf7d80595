#include "fake_win32/fake_calls.h"

#include <cstdio>
#include <deque>
#include <map>

namespace {

std::vector<FakeCall>& Log() {
  static std::vector<FakeCall> log;
  return log;
}

std::map<std::string, std::deque<std::int64_t>>& Scripts() {
  static std::map<std::string, std::deque<std::int64_t>> scripts;
  return scripts;
}

std::vector<std::function<void()>>& Resets() {
  static std::vector<std::function<void()>> resets;
  return resets;
}

}  // namespace

const std::vector<FakeCall>& FakeCalls() {
  return Log();
}

void RecordCall(const std::string& name, std::vector<std::string> args) {
  Log().push_back({name, std::move(args)});
}

std::vector<std::string> FakeCallNames() {
  std::vector<std::string> names;
  for (const FakeCall& call : Log()) names.push_back(call.name);
  return names;
}

std::vector<std::string> FakeCallNamesAmong(const std::vector<std::string>& names) {
  std::vector<std::string> found;
  for (const FakeCall& call : Log())
    for (const std::string& name : names)
      if (call.name == name) found.push_back(call.name);
  return found;
}

int CountCalls(const std::string& name) {
  int count = 0;
  for (const FakeCall& call : Log()) count += call.name == name;
  return count;
}

void ScriptResult(const std::string& name, std::int64_t result) {
  Scripts()[name].push_back(result);
}

bool TakeScriptedResult(const std::string& name, std::int64_t* result) {
  auto found = Scripts().find(name);
  if (found == Scripts().end() || found->second.empty()) return false;
  *result = found->second.front();
  found->second.pop_front();
  return true;
}

void ResetFake() {
  Log().clear();
  Scripts().clear();
  for (const auto& reset : Resets()) reset();
}

bool RegisterFakeReset(std::function<void()> reset) {
  Resets().push_back(std::move(reset));
  return true;
}

std::string FakeText(const char* text) {
  return text ? std::string(text) : "null";
}

std::string FakeHex(std::uintptr_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

std::string FakeHex(const void* pointer) {
  return FakeHex(reinterpret_cast<std::uintptr_t>(pointer));
}

std::string FakeNum(long long value) {
  return std::to_string(value);
}

std::string FakeCallText(const FakeCall& call) {
  std::string text = call.name + "(";
  for (std::size_t i = 0; i < call.args.size(); ++i) text += (i ? ", " : "") + call.args[i];
  return text + ")";
}
