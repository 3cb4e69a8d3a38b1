// Ratios and the summary table of the table benchmarks.
#include "SummaryReporter.h"

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <ostream>
#include <sstream>

namespace bench {

namespace {

// A scan through the dataset must reach this share of the raw rate; below half of it is
// a defect. An append writes the record and then the header's count, under the append
// lock, so it is measured against shapelib's append instead of the one-write baseline.
constexpr double kRateTarget = 0.8;
constexpr double kRateDefect = 0.5;
constexpr double kAppendGoalOverShapelib = 1.0;
// Opening a table and moving to its last record take less than this, whatever its size.
constexpr double kTimeTargetMicros = 1000;
// The peak memory of a full scan may exceed that of the smallest table by this much.
constexpr int64_t kPeakRssGrowthKb = 2048;

bool HasRateTarget(const std::string& operation) { return operation == "scan"; }
bool HasTimeTarget(const std::string& operation) { return operation == "open" || operation == "move_last"; }

// The operations in the order the summary lists them; others come last.
int OperationRank(const std::string& operation) {
  static const char* const kOrder[] = {"open", "close", "move_last", "scan", "random", "append"};
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
      << std::left << std::setw(11) << "operation" << std::right << std::setw(9) << "records" << std::setw(16)
      << "TDbf" << std::setw(16) << "raw" << std::setw(10) << "ratio" << "  target\n";
  for (const auto& [key, row] : rows_) {
    if (row.HasRate()) {
      PrintRateRow(out, key, row);
    } else {
      PrintTimeRow(out, key, row);
    }
  }
  PrintPeakRss(out);
  PrintAppendPeers(out);
}

void TSummaryReporter::PrintRateRow(std::ostream& out, const TKey& key, const TRow& row) const {
  const double raw = row.RateOf(kRawVariant);
  const double rate = row.RateOf(kDatasetVariant);
  out << std::left << std::setw(11) << key.operation << std::right << std::setw(9) << key.records << std::setw(16)
      << Rate(rate) << std::setw(16) << Rate(raw);
  if (raw <= 0 || rate <= 0) {
    out << std::setw(10) << "-" << "  -\n";
    return;
  }
  const double ratio = rate / raw;
  out << std::setw(10) << std::fixed << std::setprecision(2) << ratio;
  if (HasRateTarget(key.operation)) {
    out << "  >= " << kRateTarget << ": " << Verdict(ratio >= kRateTarget);
    if (ratio < kRateDefect) out << " (below half: defect)";
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
        << std::noshowpos << " kB)  within " << kPeakRssGrowthKb << " kB: " << Verdict(growth <= kPeakRssGrowthKb) << '\n';
  }
}

void TSummaryReporter::PrintAppendPeers(std::ostream& out) const {
  static const std::pair<const char*, const char*> kPeers[] = {
      {kDatasetVariant, "TDbf, lock per record"}, {kHeldLockVariant, "TDbf, lock held for the run"},
      {kShapelibVariant, "shapelib"}, {kRawVariant, "raw, one pwrite per record"}};
  for (const auto& [key, row] : rows_) {
    const double shapelib = row.RateOf(kShapelibVariant);
    const double raw = row.RateOf(kRawVariant);
    if (key.operation != "append" || (shapelib <= 0 && row.RateOf(kHeldLockVariant) <= 0)) continue;
    out << "\nAppend of " << key.records << "-record tables beside its peers (ratios: rate / shapelib, rate / raw)\n";
    for (const auto& [variant, caption] : kPeers) {
      const double rate = row.RateOf(variant);
      if (rate <= 0) continue;
      out << "  " << std::left << std::setw(30) << caption << std::right << std::setw(12) << Rate(rate)
          << std::fixed << std::setprecision(2) << std::setw(10)
          << (shapelib > 0 ? rate / shapelib : 0) << std::setw(10) << (raw > 0 ? rate / raw : 0);
      const bool through_dataset = std::string(variant) == kDatasetVariant || std::string(variant) == kHeldLockVariant;
      if (through_dataset && shapelib > 0) {
        out << "  >= " << kAppendGoalOverShapelib << " x shapelib: " << Verdict(rate / shapelib >= kAppendGoalOverShapelib);
      }
      out << '\n';
    }
  }
}

}  // namespace bench
