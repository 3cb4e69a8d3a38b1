// Benchmark of the bound grid over large results tables. A grid of 20 visible rows, on
// the offscreen platform, is dragged by its scroll bar to positions spread over the whole
// table and then moved by Down presses; every step is timed together with the repaint it
// causes. Each table runs in a fresh process, which also reports its peak memory, so the
// figures of a million-record table stand beside those of a small one.
//
// Options:
//   --sizes=10000,1000000   record counts of the tables
//   --drags=100             scroll-bar drags per table
//   --downs=1000            Down presses per table
//   --grid-probe=PATH       (internal) runs the steps on one table and prints the figures
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "BenchTables.h"
#include "PeakMemory.h"
#include "TDBGrid.h"
#include "TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kVisibleRows = 20;
constexpr int kGridWidth = 800;
constexpr double kMedianGoalMs = 2.0;
constexpr double kWorstGoalMs = 16.0;  // one frame
constexpr int64_t kMemoryGoalKb = 2048;

constexpr const char* kProbeFlag = "--grid-probe=";
constexpr const char* kProbeFormat =
    "drag_median_ms %lf drag_worst_ms %lf down_median_ms %lf down_worst_ms %lf peak_rss_kb %lld";

struct TOptions {
  std::vector<int32_t> sizes = {10000, 1000000};
  int drags = 100;
  int downs = 1000;
  std::string probe_path;
};

// Every option is the program's own: whatever the shared taker leaves is a mistake.
TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  bench::TakeOwnOptions(argc, argv,
                        {{"--sizes=", [&](const std::string& value) { options.sizes = bench::ParseSizes(value); }},
                         {"--drags=", [&](const std::string& value) { options.drags = std::stoi(value); }},
                         {"--downs=", [&](const std::string& value) { options.downs = std::stoi(value); }},
                         {kProbeFlag, [&](const std::string& value) { options.probe_path = value; }}});
  if (argc > 1) throw std::runtime_error(std::string("unknown option ") + argv[1]);
  if (options.drags < 1 || options.downs < 1) throw std::runtime_error("--drags and --downs must be positive");
  return options;
}

struct TFigures {
  double drag_median_ms = 0;
  double drag_worst_ms = 0;
  double down_median_ms = 0;
  double down_worst_ms = 0;
  long long peak_rss_kb = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The time of `step` with the repaint it causes, in milliseconds.
double TimedStep(const std::function<void()>& step) {
  const Clock::time_point start = Clock::now();
  step();
  QCoreApplication::processEvents();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// `count` record numbers spread evenly over 1 to `records`, visited in a shuffled order
// so that every drag jumps far.
std::vector<int32_t> DragPositions(int32_t records, int count) {
  std::vector<int32_t> positions(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    positions[static_cast<size_t>(i)] = 1 + static_cast<int32_t>(int64_t{records - 1} * i / std::max(1, count - 1));
  }
  std::shuffle(positions.begin(), positions.end(), std::mt19937(20240601));
  return positions;
}

int RunGridProbe(const TOptions& options) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "grid_bench";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  std::unique_ptr<dbf::TDbf> table = bench::TableOn(options.probe_path);
  table->SetReadOnly(true);
  table->open();
  dbf::TDataSource source;
  source.SetDataSet(table.get());
  dbf::TDBGrid grid;
  grid.SetDataSource(&source);
  grid.resize(kGridWidth, grid.HeightForRows(kVisibleRows));
  grid.show();
  QCoreApplication::processEvents();
  if (grid.VisibleRowCount() != kVisibleRows) throw std::runtime_error("the grid does not show all its rows");

  QScrollBar& bar = *grid.VerticalScrollBar();
  std::vector<double> drags;
  for (const int32_t position : DragPositions(table->recordCount(), options.drags)) {
    drags.push_back(TimedStep([&] {
      bar.setSliderDown(true);
      bar.setSliderPosition(position);
      bar.setSliderDown(false);
    }));
    if (table->recordNumber() != position) throw std::runtime_error("a drag missed its record");
  }

  table->moveFirst();
  QCoreApplication::processEvents();
  std::vector<double> downs;
  for (int i = 0; i < options.downs; ++i) {
    downs.push_back(TimedStep([&] {
      QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
      QCoreApplication::sendEvent(grid.View(), &down);
    }));
  }
  if (table->recordNumber() != std::min(options.downs + 1, table->recordCount())) {
    throw std::runtime_error("the Down presses missed their record");
  }

  std::printf(kProbeFormat, Median(drags), *std::max_element(drags.begin(), drags.end()), Median(downs),
              *std::max_element(downs.begin(), downs.end()), static_cast<long long>(bench::PeakResidentKb()));
  std::printf("\n");
  return 0;
}

TFigures MeasureInChild(const std::string& path, const TOptions& options) {
  const std::string printed = bench::RunOwnProbe(
      {kProbeFlag + path, "--drags=" + std::to_string(options.drags), "--downs=" + std::to_string(options.downs)});
  TFigures figures;
  if (std::sscanf(printed.c_str(), kProbeFormat, &figures.drag_median_ms, &figures.drag_worst_ms,
                  &figures.down_median_ms, &figures.down_worst_ms, &figures.peak_rss_kb) != 5) {
    throw std::runtime_error("the grid probe printed no figures for " + path);
  }
  return figures;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

int RunBenchmark(const TOptions& options) {
  const dbf::testsupport::TTempFolder folder(dbf::testsupport::SystemTempFolder(), "dbf_bench_");
  std::vector<TFigures> results;
  for (const int32_t records : options.sizes) {
    const std::string path = folder / ("RESULTS_" + std::to_string(records) + ".DBF");
    std::fprintf(stderr, "making a table of %d records\n", records);
    bench::MakeResultsTable(path, records);
    results.push_back(MeasureInChild(path, options));
  }

  std::printf("Grid of %d rows: %d scroll-bar drags, then %d Down presses; each step with its repaint\n", kVisibleRows,
              options.drags, options.downs);
  std::printf("%10s %12s %12s %12s %12s %14s\n", "records", "drag median", "drag worst", "down median", "down worst",
              "peak memory");
  bool times_met = true;
  for (size_t i = 0; i < results.size(); ++i) {
    const TFigures& f = results[i];
    std::printf("%10d %9.3f ms %9.3f ms %9.3f ms %9.3f ms %11lld kB\n", options.sizes[i], f.drag_median_ms,
                f.drag_worst_ms, f.down_median_ms, f.down_worst_ms, f.peak_rss_kb);
    times_met = times_met && std::max(f.drag_median_ms, f.down_median_ms) < kMedianGoalMs &&
                std::max(f.drag_worst_ms, f.down_worst_ms) < kWorstGoalMs;
  }
  const long long growth_kb = results.back().peak_rss_kb - results.front().peak_rss_kb;
  std::printf(
      "Goals: median < %.0f ms and worst < %.0f ms per step: %s; peak memory of the largest table "
      "within %lld kB of the smallest (%+lld kB): %s\n",
      kMedianGoalMs, kWorstGoalMs, Verdict(times_met), static_cast<long long>(kMemoryGoalKb), growth_kb,
      Verdict(growth_kb <= kMemoryGoalKb));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const TOptions options = ParseOptions(argc, argv);
    if (!options.probe_path.empty()) return RunGridProbe(options);
    return RunBenchmark(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "grid_bench: %s\n", error.what());
    return 1;
  }
}
