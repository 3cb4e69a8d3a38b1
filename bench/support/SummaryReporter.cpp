// Ratios and the summary table of the table benchmarks.
#include "SummaryReporter.h"

#include <unistd.h>

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <ostream>
#include <sstream>

namespace bench {

namespace {

// The share of the raw rate an operation through the dataset must reach, and below which
// it is a defect (0: no such line). A scan from disk is held to one pread per record; an
// in-memory scan, without the system call, to a plain loop that trims every field.
struct TRateTarget {
  const char* operation;
  double goal;
  double defect;
};
constexpr TRateTarget kRateTargets[] = {{"scan", 0.8, 0.5}, {"memscan", 0.5, 0}};

// A goal of a dataset variant: at least `ratio` times the rate of `peer`.
struct TPeerGoal {
  const char* peer;
  double ratio;
};

const TRateTarget* RateTargetOf(const std::string& operation) {
  for (const TRateTarget& target : kRateTargets) {
    if (operation == target.operation) return &target;
  }
  return nullptr;
}

// Opening a table and moving to its last record take less than this, whatever its size.
constexpr double kTimeTargetMicros = 1000;
// The peak memory of a full scan may exceed that of the smallest table by this much.
constexpr int64_t kPeakRssGrowthKb = 2048;

bool HasTimeTarget(const std::string& operation) { return operation == "open" || operation == "move_last"; }

// The operations in the order the summary lists them; others come last.
int OperationRank(const std::string& operation) {
  static const char* const kOrder[] = {"open", "close", "move_last", "scan", "memscan", "memdump", "random", "append"};
  const auto found = std::find(std::begin(kOrder), std::end(kOrder), operation);
  return static_cast<int>(found - std::begin(kOrder));
}

std::string Rate(double records_per_second) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << records_per_second / 1000 << "k/s";
  return text.str();
}

std::string Micros(double micros) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(micros < 10 ? 2 : 1) << micros << " us";
  return text.str();
}

std::string Millis(double micros) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(2) << micros / 1000 << " ms";
  return text.str();
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

double TSummaryReporter::TRow::RateOf(const std::string& variant) const {
  const auto figure = variants.find(variant);
  return figure == variants.end() ? 0 : figure->second.rate;
}

void TSummaryReporter::ReportRuns(const std::vector<Run>& runs) {
  std::vector<Run> reported = runs;
  for (Run& run : reported) {
    if (run.error_occurred) continue;
    Remember(run);
    AddRatio(run);
  }
  benchmark::ConsoleReporter::ReportRuns(reported);
}

// "scan/tdbf/10000" as its key and variant; false for a name of another shape.
bool TSummaryReporter::KeyOf(const Run& run, TKey& key, std::string& variant) {
  const std::string& name = run.run_name.function_name;
  const size_t first = name.find('/');
  const size_t second = name.find('/', first + 1);
  if (first == std::string::npos || second == std::string::npos) return false;
  key.operation = name.substr(0, first);
  key.rank = OperationRank(key.operation);
  variant = name.substr(first + 1, second - first - 1);
  key.records = static_cast<int32_t>(std::stol(name.substr(second + 1)));
  return true;
}

// With repetitions the median stands for the benchmark; otherwise its (last) run does.
void TSummaryReporter::Remember(const Run& run) {
  const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
  if (run.run_type == Run::RT_Aggregate && !median) return;
  TKey key;
  std::string variant;
  if (!KeyOf(run, key, variant)) return;
  TFigure& figure = rows_[key].variants[variant];
  const auto rate = run.counters.find(kRecordsCounter);
  figure.rate = rate == run.counters.end() ? 0 : rate->second.value;
  figure.micros = run.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
  const auto median_time = run.counters.find(kMedianCounter);
  const auto worst_time = run.counters.find(kWorstCounter);
  if (median_time != run.counters.end() && worst_time != run.counters.end()) {
    figure.median_micros = median_time->second.value;
    figure.worst_micros = worst_time->second.value;
  }
}

void TSummaryReporter::AddRatio(Run& run) const {
  TKey key;
  std::string variant;
  if (!KeyOf(run, key, variant) || variant != kDatasetVariant) return;
  const auto row = rows_.find(key);
  const auto rate = run.counters.find(kRecordsCounter);
  if (row == rows_.end() || rate == run.counters.end()) return;
  const auto raw = row->second.variants.find(kRawVariant);
  if (raw == row->second.variants.end() || raw->second.rate <= 0) return;
  run.counters["ratio"] = benchmark::Counter(rate->second.value / raw->second.rate);
}

void TSummaryReporter::Finalize() {
  benchmark::ConsoleReporter::Finalize();
  PrintSummary(GetOutputStream());
}

void TSummaryReporter::PrintSummary(std::ostream& out) const {
  out << "\nSummary (rates in records per second, times per operation)\n"
      << std::left << std::setw(11) << "operation" << std::right << std::setw(9) << "records" << std::setw(16) << "TDbf"
      << std::setw(16) << "raw" << std::setw(10) << "ratio"
      << "  target\n";
  for (const auto& [key, row] : rows_) {
    if (row.HasRate()) {
      PrintRateRow(out, key, row);
    } else if (row.variants.begin()->second.median_micros <= 0) {
      PrintTimeRow(out, key, row);
    }
  }
  PrintPeakRss(out);
  PrintPeers(out);
  PrintLatencies(out);
}

void TSummaryReporter::PrintLatencies(std::ostream& out) const {
  for (const auto& [key, row] : rows_) {
    for (const auto& [variant, figure] : row.variants) {
      if (figure.median_micros <= 0) continue;
      out << "\nSingle " << key.operation << " operations through " << variant << " on a " << key.records
          << "-record table, timed one by one\n"
          << "  median " << Millis(figure.median_micros) << ", worst " << Millis(figure.worst_micros) << '\n';
    }
  }
}

void TSummaryReporter::PrintRateRow(std::ostream& out, const TKey& key, const TRow& row) const {
  const double raw = row.RateOf(kRawVariant);
  const double rate = row.RateOf(kDatasetVariant);
  out << std::left << std::setw(11) << key.operation << std::right << std::setw(9) << key.records << std::setw(16)
      << Rate(rate) << std::setw(16) << Rate(raw);
  if (raw <= 0 || rate <= 0) {
    out << std::setw(10) << "-"
        << "  -\n";
    return;
  }
  const double ratio = rate / raw;
  out << std::setw(10) << std::fixed << std::setprecision(2) << ratio;
  if (const TRateTarget* target = RateTargetOf(key.operation)) {
    out << "  >= " << target->goal << ": " << Verdict(ratio >= target->goal);
    if (ratio < target->defect) out << " (below " << target->defect << ": defect)";
  } else {
    out << "  -";
  }
  out << '\n';
}

void TSummaryReporter::PrintTimeRow(std::ostream& out, const TKey& key, const TRow& row) const {
  const auto dataset = row.variants.find(kDatasetVariant);
  if (dataset == row.variants.end()) return;
  const double micros = dataset->second.micros;
  out << std::left << std::setw(11) << key.operation << std::right << std::setw(9) << key.records << std::setw(16)
      << Micros(micros) << std::setw(16) << "-" << std::setw(10) << "-";
  if (HasTimeTarget(key.operation)) {
    out << "  < 1 ms: " << Verdict(micros < kTimeTargetMicros);
  } else {
    out << "  -";
  }
  out << '\n';
}

void TSummaryReporter::PrintPeakRss(std::ostream& out) const {
  if (peak_rss_kb_.empty()) return;
  out << "\nPeak resident memory of a full scan through TDbf, each in a fresh process\n";
  const int64_t smallest = peak_rss_kb_.front().second;
  for (const auto& [records, peak_kb] : peak_rss_kb_) {
    const int64_t growth = peak_kb - smallest;
    out << std::setw(20) << records << " records: " << std::setw(8) << peak_kb << " kB  (" << std::showpos << growth
        << std::noshowpos << " kB)  within " << kPeakRssGrowthKb << " kB: " << Verdict(growth <= kPeakRssGrowthKb)
        << '\n';
  }
}

// Operations measured beside peer programs or libraries, each a section after the
// summary: every variant's rate and its ratios to shapelib and to the raw baseline, with
// the goals of the dataset's variants. An append writes the record and then the header's
// count, under the append lock, so it is held to shapelib's append instead of the
// one-write baseline.
struct TSummaryReporter::TPeerSection {
  const char* operation;
  const char* title;
  std::vector<std::pair<const char*, const char*>> variants;  // variant, caption
  std::vector<const char*> held_to_goals;
  std::vector<TPeerGoal> goals;
};

const std::vector<TSummaryReporter::TPeerSection>& TSummaryReporter::PeerSections() {
  static const std::vector<TPeerSection> sections = {
      {"append",
       "Append",
       {{kDatasetVariant, "TDbf, lock per record"},
        {kHeldLockVariant, "TDbf, lock held for the run"},
        {kShapelibVariant, "shapelib"},
        {kRawVariant, "raw, one pwrite per record"}},
       {kDatasetVariant, kHeldLockVariant},
       {{kShapelibVariant, 1.0}}},
      {"dump",
       "dbftool dump to CSV",
       {{kDatasetVariant, "dbftool dump (TDbf)"},
        {kShapelibVariant, "shapelib dump"},
        {kRawVariant, "C dump, one pread per record"}},
       {kDatasetVariant},
       {{kShapelibVariant, 1.0}, {kRawVariant, 0.8}}},
  };
  return sections;
}

void TSummaryReporter::PrintPeers(std::ostream& out) const {
  for (const TPeerSection& section : PeerSections()) {
    for (const auto& [key, row] : rows_) {
      if (key.operation != section.operation || row.RateOf(kShapelibVariant) + row.RateOf(kHeldLockVariant) <= 0) {
        continue;
      }
      out << "\n"
          << section.title << " of " << key.records
          << "-record tables beside its peers (ratios: rate / shapelib, rate / raw)\n";
      for (const auto& [variant, caption] : section.variants) PrintPeerRow(out, section, row, variant, caption);
    }
  }
}

void TSummaryReporter::PrintPeerRow(std::ostream& out, const TPeerSection& section, const TRow& row,
                                    const std::string& variant, const char* caption) {
  const double rate = row.RateOf(variant);
  if (rate <= 0) return;
  const auto ratio_to = [&](const char* peer) { return row.RateOf(peer) > 0 ? rate / row.RateOf(peer) : 0; };
  out << "  " << std::left << std::setw(30) << caption << std::right << std::setw(12) << Rate(rate) << std::fixed
      << std::setprecision(2) << std::setw(10) << ratio_to(kShapelibVariant) << std::setw(10) << ratio_to(kRawVariant);
  const bool held =
      std::find(section.held_to_goals.begin(), section.held_to_goals.end(), variant) != section.held_to_goals.end();
  for (const TPeerGoal& goal : section.goals) {
    if (held && row.RateOf(goal.peer) > 0) {
      out << "  >= " << goal.ratio << " x " << goal.peer << ": " << Verdict(ratio_to(goal.peer) >= goal.ratio);
    }
  }
  out << '\n';
}

void RunWithSummary(std::vector<std::pair<int32_t, int64_t>> peak_rss_kb) {
  TSummaryReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_Color
                                                  : benchmark::ConsoleReporter::OO_None);
  reporter.SetPeakRss(std::move(peak_rss_kb));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}

}  // namespace bench
