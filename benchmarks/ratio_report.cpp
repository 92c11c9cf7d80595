// The benchmark program's entry: runs the benchmarks and then prints each figure as a ratio to the
// memset of a frame measured in the same run, with the goals beside the figures that have one.
// --table_only hides Google Benchmark's own report and prints only the ratio table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

void RegisterFrameBenchmarks();

namespace {

struct Figure {
  std::int64_t order = 0;  // registration order
  std::string name;
  double cpuSeconds = 0;  // per iteration
  bool fromMinimum = false;
};

// Keeps one figure per benchmark: the smallest of the repetitions when there are several, else the
// single measurement. CPU time, so that time the shared machine gives to others does not count.
void Collect(std::vector<Figure>& figures, const benchmark::BenchmarkReporter::Run& run) {
  using Run = benchmark::BenchmarkReporter::Run;
  if (run.error_occurred) return;
  const bool minimum = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
  if (run.run_type == Run::RT_Aggregate && !minimum) return;
  const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
  const std::string name = run.run_name.function_name;
  for (Figure& f : figures) {
    if (f.name != name) continue;
    if (minimum || !f.fromMinimum) f = {run.family_index, name, seconds, minimum};
    return;
  }
  figures.push_back({run.family_index, name, seconds, minimum});
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(bool quiet) : quiet_(quiet) {}
  bool ReportContext(const Context& context) override {
    return quiet_ ? true : ConsoleReporter::ReportContext(context);
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) Collect(figures_, run);
    if (!quiet_) ConsoleReporter::ReportRuns(runs);
  }
  const std::vector<Figure>& figures() const { return figures_; }

 private:
  bool quiet_;
  std::vector<Figure> figures_;
};

// The goal of a figure, if it has one: a ratio to the memset or a time in seconds.
struct Goal {
  const char* prefix;
  double ratio;
  double seconds;
};
const Goal kGoals[] = {
    {"ComposeFrame 4 rings", 2.5, 0},
    {"palette step", 0, 10e-6},
    {"table build", 0, 2e-3},
};

std::string Time(double seconds) {
  char text[32];
  if (seconds >= 1e-3)
    std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
  else
    std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
  return text;
}

void PrintTable(std::vector<Figure> figures) {
  // Repetitions may run interleaved; the table keeps the order of registration.
  std::sort(figures.begin(), figures.end(),
            [](const Figure& a, const Figure& b) { return a.order < b.order; });
  if (figures.empty() || figures.front().name != "memset of a frame") {
    std::printf("no memset figure: no ratios\n");
    return;
  }
  const double floor = figures.front().cpuSeconds;
  std::printf("\n%-34s %12s %10s   %s\n", "figure", "time", "x memset", "goal");
  for (const Figure& f : figures) {
    std::string goal;
    for (const Goal& g : kGoals) {
      if (f.name.compare(0, std::strlen(g.prefix), g.prefix) != 0) continue;
      const bool met = g.ratio > 0 ? f.cpuSeconds / floor <= g.ratio : f.cpuSeconds <= g.seconds;
      char text[64];
      if (g.ratio > 0)
        std::snprintf(text, sizeof text, "<= %.1f x memset: %s", g.ratio, met ? "met" : "NOT MET");
      else
        std::snprintf(text, sizeof text, "<= %s: %s", Time(g.seconds).c_str(),
                      met ? "met" : "NOT MET");
      goal = text;
    }
    std::printf("%-34s %12s %10.2f   %s\n", f.name.c_str(), Time(f.cpuSeconds).c_str(),
                f.cpuSeconds / floor, goal.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool tableOnly = false;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--table_only") == 0)
      tableOnly = true;
    else
      args.push_back(argv[i]);
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  RegisterFrameBenchmarks();
  RatioReporter reporter(tableOnly);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintTable(reporter.figures());
  benchmark::Shutdown();
  return 0;
}
