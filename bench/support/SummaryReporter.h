// The console report of the table benchmarks. Benchmarks are named
// "<operation>/<variant>/<records>", the variant being "tdbf" (through the dataset, or
// dbftool) or "raw" (one pread or pwrite per record; for the in-memory operations
// "memscan" and "memdump" a plain loop over the same bytes); rates are in the counter
// "records". Every dataset result gets the ratio of its rate to the latest raw result of
// the same operation and table size, and the end of the run prints a summary table with
// the targets. Appends also run as "tdbf_held" (a run of appends holding the append lock,
// as dbftool import does) and "shapelib" (shapelib's attribute writers on the same
// table), the dump as "shapelib" (shapelib's dump), each listed with its ratios after the
// summary. A benchmark that times single operations one by one (the post with its sync)
// gives their median and worst time in the counters "median_us" and "worst_us", listed
// in a section of their own. With repetitions, the medians stand for the benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

inline constexpr const char* kRecordsCounter = "records";
inline constexpr const char* kDatasetVariant = "tdbf";
inline constexpr const char* kRawVariant = "raw";
inline constexpr const char* kHeldLockVariant = "tdbf_held";
inline constexpr const char* kShapelibVariant = "shapelib";
inline constexpr const char* kMedianCounter = "median_us";
inline constexpr const char* kWorstCounter = "worst_us";

class TSummaryReporter : public benchmark::ConsoleReporter {
 public:
  explicit TSummaryReporter(OutputOptions options) : benchmark::ConsoleReporter(options) {}

  // Peak resident memory of a full scan, per table size, measured in separate processes.
  void SetPeakRss(std::vector<std::pair<int32_t, int64_t>> peak_rss_kb) { peak_rss_kb_ = std::move(peak_rss_kb); }

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  // Rows come in the order of the operations' targets, then by table size.
  struct TKey {
    int rank;
    std::string operation;
    int32_t records;
    auto operator<=>(const TKey&) const = default;
  };
  // What one variant measured: records per second, or microseconds per operation.
  struct TFigure {
    double rate = 0;
    double micros = 0;
    double median_micros = 0;  // of single operations timed one by one; 0 when not
    double worst_micros = 0;
  };
  struct TRow {
    std::map<std::string, TFigure> variants;

    // The variant's records per second; 0 when it was not run or counts no records.
    double RateOf(const std::string& variant) const;
    bool HasRate() const { return RateOf(kDatasetVariant) > 0 || RateOf(kRawVariant) > 0; }
  };

  static bool KeyOf(const Run& run, TKey& key, std::string& variant);
  void Remember(const Run& run);
  void AddRatio(Run& run) const;
  void PrintSummary(std::ostream& out) const;
  void PrintRateRow(std::ostream& out, const TKey& key, const TRow& row) const;
  void PrintTimeRow(std::ostream& out, const TKey& key, const TRow& row) const;
  void PrintPeakRss(std::ostream& out) const;
  void PrintLatencies(std::ostream& out) const;
  // An operation measured beside peer programs or libraries (SummaryReporter.cpp).
  struct TPeerSection;
  static const std::vector<TPeerSection>& PeerSections();
  void PrintPeers(std::ostream& out) const;
  static void PrintPeerRow(std::ostream& out, const TPeerSection& section, const TRow& row, const std::string& variant,
                           const char* caption);

  std::map<TKey, TRow> rows_;
  std::vector<std::pair<int32_t, int64_t>> peak_rss_kb_;
};

// Runs every registered benchmark, reporting to standard output (in colour on a terminal)
// with the summary at the end, then shuts Google Benchmark down. `peak_rss_kb` as for
// TSummaryReporter::SetPeakRss.
void RunWithSummary(std::vector<std::pair<int32_t, int64_t>> peak_rss_kb = {});

}  // namespace bench
