// `dbftool dump` of a results table to CSV beside its peers, each a program of its own run
// on the same table file with its standard output going to /dev/null: shapelib's dump
// (bench/peers/shapelib_dump.c, built when the machine has shapelib) and a plain C dump
// of one pread per record (bench/peers/pread_dump.c). Each iteration is one whole run
// of the program, timed by the processor time (user and system) the run used: on a
// machine that other work shares, the time a run waits for a processor says nothing of
// the dump. The summary gives dbftool's rate against both peers.
//
// Own options, taken out before Google Benchmark reads the rest:
//   --records=200000   record count of the table
//   --dbftool=PATH     another dbftool to measure (an earlier build, say) instead of this one
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "BenchTables.h"
#include "SummaryReporter.h"
#include "TempFolder.h"

extern char** environ;

namespace {

struct TDumper {
  const char* variant;
  std::vector<std::string> command;  // the table's path is added at the end
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

// Runs `arguments` with standard output to /dev/null; true when it exits with status 0.
// `seconds` receives the processor time the run used.
bool RunQuietly(const std::vector<std::string>& arguments, double& seconds) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  pid_t waited;
  do {
    waited = ::wait4(child, &status, 0, &usage);
  } while (waited < 0 && errno == EINTR);
  seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Dump(benchmark::State& state, const TDumper& dumper, const std::string& table, int32_t records) {
  std::vector<std::string> command = dumper.command;
  command.push_back(table);
  for (auto _ : state) {
    double seconds = 0;
    if (!RunQuietly(command, seconds)) {
      state.SkipWithError(("the dump failed: " + command.front()).c_str());
      break;
    }
    state.SetIterationTime(seconds);
  }
  state.counters[bench::kRecordsCounter] =
      benchmark::Counter(static_cast<double>(state.iterations()) * records, benchmark::Counter::kIsRate);
}

struct TOptions {
  int32_t records = 200000;
  std::string dbftool = DBFTOOL_PATH;
};

std::vector<TDumper> Dumpers(const TOptions& options) {
  std::vector<TDumper> dumpers = {{bench::kDatasetVariant, {options.dbftool, "dump"}},
                                  {bench::kRawVariant, {PREAD_DUMP_PATH}}};
#ifdef SHAPELIB_DUMP_PATH
  dumpers.push_back({bench::kShapelibVariant, {SHAPELIB_DUMP_PATH}});
#endif
  return dumpers;
}

TOptions TakeOwnOptions(int& argc, char** argv) {
  TOptions options;
  bench::TakeOwnOptions(
      argc, argv,
      {{"--records=", [&](const std::string& value) { options.records = static_cast<int32_t>(std::stol(value)); }},
       {"--dbftool=", [&](const std::string& value) { options.dbftool = value; }}});
  return options;
}

int RunBenchmarks(int argc, char** argv) {
  const TOptions options = TakeOwnOptions(argc, argv);
  const int32_t records = options.records;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const dbf::testsupport::TTempFolder folder(dbf::testsupport::SystemTempFolder(), "dbf_bench_");
  const std::string table = folder / "RESULTS.DBF";
  std::fprintf(stderr, "making a table of %d records\n", records);
  bench::MakeResultsTable(table, records);
  for (const TDumper& dumper : Dumpers(options)) {
    const std::string name = std::string("dump/") + dumper.variant + "/" + std::to_string(records);
    benchmark::RegisterBenchmark(name.c_str(), Dump, dumper, table, records)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  bench::RunWithSummary();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::RunReportingErrors("dump_bench", [&] { return RunBenchmarks(argc, argv); });
}
