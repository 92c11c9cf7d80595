// The heart of the test fake of the Win32 subset: every faked platform call is recorded here with
// its arguments as text, and may take its result from a per-function script. Each area of the
// fake (windows and GDI, DirectDraw, dialog) lives in a file of its own and uses this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FakeCall {
  std::string name;               // the platform function, e.g. "CreateWindowExA"
  std::vector<std::string> args;  // its arguments as text, in order
};

// The calls made since the last ResetFake, in order.
const std::vector<FakeCall>& FakeCalls();
void RecordCall(const std::string& name, std::vector<std::string> args = {});
// Only the names, in order; handy for order checks.
std::vector<std::string> FakeCallNames();
// Names of calls whose name is one of `names`, in order.
std::vector<std::string> FakeCallNamesAmong(const std::vector<std::string>& names);
int CountCalls(const std::string& name);

// Queues a result for the next call of `name` (results are used first in, first out); a function
// with no queued result uses its own ordinary result.
void ScriptResult(const std::string& name, std::int64_t result);
bool TakeScriptedResult(const std::string& name, std::int64_t* result);

// Clears the log and the scripts and runs every reset registered by the fake's areas.
void ResetFake();
// For the fake's areas: registers state to clear on ResetFake. Returns true (for static use).
bool RegisterFakeReset(std::function<void()> reset);

// How the log writes arguments, and a whole call ("Name(arg, arg)"); every area and test uses
// these.
std::string FakeText(const char* text);  // "null" for a null pointer, else the text
std::string FakeHex(std::uintptr_t value);
std::string FakeHex(const void* pointer);  // handles and pointers
std::string FakeNum(long long value);
std::string FakeCallText(const FakeCall& call);
