// Measures ComputeChecksumText beside the plain strtol-per-pair version on
// records of 0, 44 and 32,767 code units (the largest text an edit field
// takes, made even by dropping its last unit), then prints a summary of
// nanoseconds per code unit and the speed-up.
//
// Run: build/linux/tests/checksum_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "core/checksum.h"
#include "tests/support/strtol_reference.h"

namespace {

// A record of random hexadecimal digits, the same for every run.
std::u16string MakeRecord(std::size_t length) {
  static const char16_t kDigits[] = u"0123456789ABCDEFabcdef";
  std::mt19937 random(12345);
  std::uniform_int_distribution<std::size_t> pick(0, 21);
  std::u16string record(length, u'0');
  for (auto& unit : record) unit = kDigits[pick(random)];
  return record;
}

template <std::string (*Checksum)(std::u16string_view)>
void BM_Checksum(benchmark::State& state) {
  const std::u16string record = MakeRecord(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(record.data());
    std::string text = Checksum(record);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

std::string Tessel(std::u16string_view record) { return ComputeChecksumText(record); }
std::string Strtol(std::u16string_view record) { return tessel_test::StrtolChecksumText(record); }

BENCHMARK(BM_Checksum<Tessel>)->Name("tessel")->Arg(0)->Arg(44)->Arg(32766);
BENCHMARK(BM_Checksum<Strtol>)->Name("strtol")->Arg(0)->Arg(44)->Arg(32766);

// Keeps each run's time per call, keyed by (version, length), for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::pair<std::string, long>, double> nsPerCall;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      const std::string name = run.benchmark_name();  // e.g. "tessel/44"
      const auto slash = name.find('/');
      if (slash == std::string::npos || run.run_type != Run::RT_Iteration) continue;
      const double ns =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1.0e9;
      nsPerCall[{name.substr(0, slash), std::stol(name.substr(slash + 1))}] = ns;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%8s %16s %16s %16s %16s %9s\n", "length", "tessel ns/call", "strtol ns/call",
              "tessel ns/unit", "strtol ns/unit", "speed-up");
  for (long length : {0L, 44L, 32766L}) {
    const auto tessel = reporter.nsPerCall.find({"tessel", length});
    const auto strtol = reporter.nsPerCall.find({"strtol", length});
    if (tessel == reporter.nsPerCall.end() || strtol == reporter.nsPerCall.end()) continue;
    if (length == 0) {
      std::printf("%8ld %16.2f %16.2f %16s %16s %8.1fx\n", length, tessel->second, strtol->second,
                  "-", "-", strtol->second / tessel->second);
    } else {
      std::printf("%8ld %16.2f %16.2f %16.3f %16.3f %8.1fx\n", length, tessel->second,
                  strtol->second, tessel->second / length, strtol->second / length,
                  strtol->second / tessel->second);
    }
  }
  benchmark::Shutdown();
  return 0;
}
