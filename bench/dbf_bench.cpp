// Benchmarks of the table dataset TDbf on results-schema tables of several sizes, each
// beside a raw baseline of one pread or pwrite per record: the most a design without a
// cache, with one positioned transfer per record access, can reach. Appends also run
// holding the append lock for the run, and through shapelib's attribute writers when the
// build found shapelib; a run of appends syncs at its end, as an import does, while a
// single post, which returns once its record is on the device, is timed post by post
// ("post": the median and the worst of 200 posts). The scan and dbftool's dump also run
// on the table held in memory behind the file seam ("memscan", "memdump"), which takes
// the system call out of the comparison: there the raw baseline is a plain loop that
// reads each record through the same seam and trims every field into a string kept
// across records (for the dump, and writes it as CSV), so the ratio is the dataset's own
// work on any machine. Being pure computation, they are timed by processor time, which a
// machine busy with other work changes less than the time on the clock.
//
// Own options, taken out before Google Benchmark reads the rest:
//   --sizes=10000,100000,1000000   record counts of the tables
//   --append-records=100000        records appended per append iteration
//   --peak-rss-scan=PATH           (internal) the scan probe run in a child process
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#ifdef DBF_BENCH_WITH_SHAPELIB
#include <shapefil.h>

#include "DbfCodePage.h"
#endif

#include "BenchOptions.h"
#include "BenchTables.h"
#include "DbfFileIO.h"
#include "DumpWriter.h"
#include "MemoryFiles.h"
#include "PeakMemory.h"
#include "SummaryReporter.h"
#include "TempFolder.h"
#include "UDbfFile.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TOptions {
  std::vector<int32_t> sizes = {10000, 100000, 1000000};
  int32_t append_records = 100000;
  std::string probe_path;
};

struct TTable {
  int32_t records;
  std::string path;
};

// The raw baselines use a descriptor opened as the dataset opens a table that is not
// read-only, so that the two differ only in the dataset's own work.
constexpr int kAsTheDatasetOpensIt = O_RDWR;

// Random record numbers are drawn once, so that drawing them costs neither variant.
constexpr size_t kRandomNumbers = 1 << 14;

// The posts whose latency one run of the post benchmark measures.
constexpr benchmark::IterationCount kTimedPosts = 200;

// Takes this program's own options out of argv, leaving Google Benchmark's.
TOptions TakeOwnOptions(int& argc, char** argv) {
  TOptions options;
  bench::TakeOwnOptions(
      argc, argv,
      {{"--sizes=", [&](const std::string& value) { options.sizes = bench::ParseSizes(value); }},
       {"--append-records=",
        [&](const std::string& value) { options.append_records = static_cast<int32_t>(std::stol(value)); }},
       {bench::kScanProbeFlag, [&](const std::string& value) { options.probe_path = value; }}});
  return options;
}

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

void CountRecords(benchmark::State& state, int64_t records) {
  state.counters[bench::kRecordsCounter] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}

std::vector<int32_t> RandomRecordNumbers(int32_t count) {
  std::mt19937 generator(20240601);
  std::uniform_int_distribution<int32_t> number(1, count);
  std::vector<int32_t> numbers(kRandomNumbers);
  for (int32_t& n : numbers) n = number(generator);
  return numbers;
}

// Open and close are timed apart: the manual time of an iteration is the one step.
void OpenOrClose(benchmark::State& state, const TTable& table, bool time_close) {
  for (auto _ : state) {
    std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
    const Clock::time_point start = Clock::now();
    dataset->open();
    const Clock::time_point opened = Clock::now();
    dataset->close();
    const Clock::time_point closed = Clock::now();
    state.SetIterationTime(Seconds(time_close ? closed - opened : opened - start));
  }
}

void MoveLast(benchmark::State& state, const TTable& table) {
  std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
  dataset->open();
  for (auto _ : state) dataset->moveLast();
  dataset->close();
}

void ScanRaw(benchmark::State& state, const TTable& table) {
  const bench::TTableLayout layout = bench::ReadTableLayout(table.path);
  const bench::TRawFile file(table.path, kAsTheDatasetOpensIt);
  std::vector<uint8_t> record(static_cast<size_t>(layout.record_length));
  int64_t records = 0;
  for (auto _ : state) {
    for (int32_t n = 1; n <= layout.record_count; ++n) {
      file.ReadAt(layout.RecordPosition(n), record.data(), record.size());
      benchmark::DoNotOptimize(record.data());
    }
    records += layout.record_count;
  }
  CountRecords(state, records);
}

void ScanDataset(benchmark::State& state, const TTable& table) {
  std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
  dataset->open();
  size_t sink = 0;
  int64_t records = 0;
  for (auto _ : state) records += bench::ScanAllFields(*dataset, sink);
  benchmark::DoNotOptimize(sink);
  dataset->close();
  CountRecords(state, records);
}

// The table held in memory while this lives: every file the library opens meanwhile is a
// memory file, the table among them under its path.
class TMemoryTable {
 public:
  explicit TMemoryTable(const TTable& table) : files_(kLargestMemoryFile), seam_(files_.Seam()) {
    std::ifstream file(table.path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    path_ = files_.Put("MEMORY.DBF", bytes.data(), bytes.size());
  }
  const std::string& Path() const { return path_; }
  const dbf::TFileSeam& Seam() const { return seam_; }
  // A dataset on the table, not yet opened, that reaches it through the memory files.
  std::unique_ptr<dbf::TDbf> Dataset() const {
    std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(path_);
    dataset->SetFileSeam(seam_);
    return dataset;
  }

 private:
  static constexpr int64_t kLargestMemoryFile = int64_t{1} << 31;
  dbf::fuzz::TMemoryFiles files_;
  dbf::TFileSeam seam_;
  std::string path_;
};

// What the plain loops know of the table: its figures and where each field lies.
struct TPlainTable {
  int64_t header_length;
  size_t record_length;
  int32_t record_count;
  std::vector<dbf::TFieldSpan> fields;
};

TPlainTable PlainTableOf(const TMemoryTable& memory) {
  const dbf::TDbfFile file(memory.Path(), {.read_only = true, .seam = memory.Seam()});
  TPlainTable table{file.HeaderSize(), static_cast<size_t>(file.RecordSize()), file.RecordCount(), {}};
  for (int i = 0; i < file.FieldDefs().Count(); ++i) table.fields.push_back(file.FieldSpan(i));
  return table;
}

std::string_view PlainTrim(const uint8_t* bytes, size_t length) {
  size_t begin = 0;
  while (begin < length && bytes[begin] <= ' ') ++begin;
  while (length > begin && bytes[length - 1] <= ' ') --length;
  return {reinterpret_cast<const char*>(bytes) + begin, length - begin};
}

// The plain loops' walk: one read per record through the file seam, deleted records
// skipped, `visit` given each field's trimmed bytes.
template <typename Visit>
bool ForEachPlainRecord(const TMemoryTable& memory, const TPlainTable& table, std::vector<uint8_t>& record,
                        Visit visit) {
  const std::unique_ptr<dbf::TFileIO> io = memory.Seam().Open(memory.Path(), dbf::TFileOpenMode::ReadOnly);
  for (int32_t n = 0; n < table.record_count; ++n) {
    const int64_t position = table.header_length + int64_t{n} * static_cast<int64_t>(table.record_length);
    if (io->ReadAt(position, record.data(), record.size()) != static_cast<int64_t>(record.size())) return false;
    if (record[0] != ' ') continue;
    for (size_t i = 0; i < table.fields.size(); ++i) {
      visit(i, PlainTrim(record.data() + table.fields[i].offset, table.fields[i].length));
    }
  }
  return true;
}

void MemoryScanPlain(benchmark::State& state, const TTable& table) {
  const TMemoryTable memory(table);
  const TPlainTable plain = PlainTableOf(memory);
  std::vector<uint8_t> record(plain.record_length);
  std::vector<std::string> texts(plain.fields.size());
  int64_t records = 0;
  for (auto _ : state) {
    const auto keep = [&](size_t i, std::string_view text) { texts[i].assign(text); };
    if (!ForEachPlainRecord(memory, plain, record, keep)) {
      state.SkipWithError("a short read");
      break;
    }
    benchmark::DoNotOptimize(texts.data());
    records += plain.record_count;
  }
  CountRecords(state, records);
}

void MemoryScanDataset(benchmark::State& state, const TTable& table) {
  const TMemoryTable memory(table);
  std::unique_ptr<dbf::TDbf> dataset = memory.Dataset();
  dataset->open();
  std::vector<std::string> texts;
  int64_t records = 0;
  for (auto _ : state) records += bench::ScanAllFieldsInto(*dataset, texts);
  benchmark::DoNotOptimize(texts.data());
  dataset->close();
  CountRecords(state, records);
}

// Where the in-memory dumps write: a stream buffer that takes every byte and keeps none.
class TDiscardingBuffer final : public std::streambuf {
 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    benchmark::DoNotOptimize(text);
    return count;
  }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// The plain CSV loop: every trimmed field written quoted when it holds a separator, a
// quote or a line end, records ended by CR LF, the text handed on in large pieces.
void MemoryDumpPlain(benchmark::State& state, const TTable& table) {
  const TMemoryTable memory(table);
  const TPlainTable plain = PlainTableOf(memory);
  std::vector<uint8_t> record(plain.record_length);
  TDiscardingBuffer out;
  std::string csv;
  const auto write_field = [&](size_t i, std::string_view text) {
    if (i > 0) csv += ',';
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
      csv += text;
    } else {
      csv += '"';
      for (const char c : text) csv.append(c == '"' ? 2 : 1, c);
      csv += '"';
    }
    if (i + 1 < plain.fields.size()) return;
    csv += "\r\n";
    if (csv.size() < 64 * 1024) return;
    out.sputn(csv.data(), static_cast<std::streamsize>(csv.size()));
    csv.clear();
  };
  int64_t records = 0;
  for (auto _ : state) {
    if (!ForEachPlainRecord(memory, plain, record, write_field)) {
      state.SkipWithError("a short read");
      break;
    }
    records += plain.record_count;
  }
  CountRecords(state, records);
}

void MemoryDumpDataset(benchmark::State& state, const TTable& table) {
  const TMemoryTable memory(table);
  std::unique_ptr<dbf::TDbf> dataset = memory.Dataset();
  dataset->SetReadOnly(true);
  dataset->open();
  TDiscardingBuffer out;
  int64_t records = 0;
  for (auto _ : state) {
    dbftool::WriteDump(*dataset, false, dbftool::TDumpFormat::Csv, out);
    records += dataset->recordCount();
  }
  dataset->close();
  CountRecords(state, records);
}

void RandomRaw(benchmark::State& state, const TTable& table) {
  const bench::TTableLayout layout = bench::ReadTableLayout(table.path);
  const bench::TRawFile file(table.path, kAsTheDatasetOpensIt);
  const std::vector<int32_t> numbers = RandomRecordNumbers(table.records);
  std::vector<uint8_t> record(static_cast<size_t>(layout.record_length));
  size_t next = 0;
  for (auto _ : state) {
    file.ReadAt(layout.RecordPosition(numbers[next++ % numbers.size()]), record.data(), record.size());
    benchmark::DoNotOptimize(record.data());
  }
  CountRecords(state, state.iterations());
}

void RandomDataset(benchmark::State& state, const TTable& table) {
  std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
  dataset->open();
  const std::vector<int32_t> numbers = RandomRecordNumbers(table.records);
  size_t next = 0;
  for (auto _ : state) dataset->setRecordNumber(numbers[next++ % numbers.size()]);
  dataset->close();
  CountRecords(state, state.iterations());
}

// Each iteration appends to the table as generated; the file is brought back between
// iterations, untimed.
void AppendRaw(benchmark::State& state, const TTable& table, int32_t append_records) {
  const bench::TTableSnapshot snapshot(table.path);
  const bench::TTableLayout layout = bench::ReadTableLayout(table.path);
  const std::vector<uint8_t> samples =
      bench::ReadRawRecords(table.path, static_cast<int32_t>(bench::SampleRecords().size()));
  const auto record_length = static_cast<size_t>(layout.record_length);
  const size_t sample_count = samples.size() / record_length;
  for (auto _ : state) {
    state.PauseTiming();
    auto file = std::make_unique<bench::TRawFile>(table.path, kAsTheDatasetOpensIt);
    state.ResumeTiming();
    for (int32_t i = 0; i < append_records; ++i) {
      const uint8_t* sample = samples.data() + static_cast<size_t>(i) % sample_count * record_length;
      const int64_t position = layout.RecordPosition(layout.record_count + i + 1);
      file->WriteAt(position, sample, record_length);
    }
    file.reset();
    state.PauseTiming();
    snapshot.Restore();
    state.ResumeTiming();
  }
  CountRecords(state, state.iterations() * append_records);
}

// Each post takes the append lock, finds the end of the table, writes the record with its
// end marker and then the header's count; holding the lock for the run saves the lock
// and the look at the file size. A run of appends syncs once, at its close, as dbftool
// import does (a post on its own syncs: PostLatency).
void AppendDataset(benchmark::State& state, const TTable& table, int32_t append_records, bool hold_lock) {
  const bench::TTableSnapshot snapshot(table.path);
  const std::vector<bench::TRecordTexts>& samples = bench::SampleRecords();
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
    dataset->SetSyncMode(dbf::TDbfSyncMode::smAtClose);
    dataset->open();
    if (hold_lock) dataset->lockAppends();
    state.ResumeTiming();
    for (int32_t i = 0; i < append_records; ++i) {
      dataset->startAppend();
      bench::WriteRecordTexts(*dataset, samples[static_cast<size_t>(i) % samples.size()]);
      dataset->post();
    }
    dataset->close();
    state.PauseTiming();
    snapshot.Restore();
    state.ResumeTiming();
  }
  CountRecords(state, state.iterations() * append_records);
}

// Each iteration is one post of a new record, which returns once the record and the
// header's count are on the device: what an examiner waits for after pressing the post
// button. The counters give the median and the worst post of the run.
void PostLatency(benchmark::State& state, const TTable& table) {
  const bench::TTableSnapshot snapshot(table.path);
  const std::vector<bench::TRecordTexts>& samples = bench::SampleRecords();
  std::unique_ptr<dbf::TDbf> dataset = bench::TableOn(table.path);
  dataset->open();
  std::vector<double> latencies;
  for (auto _ : state) {
    dataset->startAppend();
    bench::WriteRecordTexts(*dataset, samples[latencies.size() % samples.size()]);
    const Clock::time_point start = Clock::now();
    dataset->post();
    latencies.push_back(Seconds(Clock::now() - start));
    state.SetIterationTime(latencies.back());
  }
  dataset->close();
  snapshot.Restore();
  std::sort(latencies.begin(), latencies.end());
  state.counters[bench::kMedianCounter] = benchmark::Counter(latencies[latencies.size() / 2] * 1e6);
  state.counters[bench::kWorstCounter] = benchmark::Counter(latencies.back() * 1e6);
}

#ifdef DBF_BENCH_WITH_SHAPELIB
// A sample record as shapelib takes it: the numeric columns as integers, the texts in
// the table's code page, as the dataset stores them.
struct TShapelibValue {
  bool integer;
  int number;
  std::string text;
};

std::vector<std::vector<TShapelibValue>> ShapelibRecords(DBFHandle dbf) {
  std::vector<std::vector<TShapelibValue>> records;
  for (const bench::TRecordTexts& texts : bench::SampleRecords()) {
    std::vector<TShapelibValue> values;
    for (size_t field = 0; field < texts.size(); ++field) {
      const bool integer = DBFGetFieldInfo(dbf, static_cast<int>(field), nullptr, nullptr, nullptr) == FTInteger;
      values.push_back({integer, integer ? std::stoi(texts[field]) : 0, dbf::Utf8ToOem(texts[field])});
    }
    records.push_back(std::move(values));
  }
  return records;
}

// shapelib's append: one attribute writer call per field of the record after the last.
void AppendShapelib(benchmark::State& state, const TTable& table, int32_t append_records) {
  const bench::TTableSnapshot snapshot(table.path);
  for (auto _ : state) {
    state.PauseTiming();
    DBFHandle dbf = DBFOpen(table.path.c_str(), "rb+");
    if (dbf == nullptr) {
      state.SkipWithError("shapelib cannot open the table");
      break;
    }
    const std::vector<std::vector<TShapelibValue>> samples = ShapelibRecords(dbf);
    state.ResumeTiming();
    for (int32_t i = 0; i < append_records; ++i) {
      const int record = DBFGetRecordCount(dbf);
      const std::vector<TShapelibValue>& values = samples[static_cast<size_t>(i) % samples.size()];
      for (size_t field = 0; field < values.size(); ++field) {
        const TShapelibValue& value = values[field];
        if (value.integer) {
          DBFWriteIntegerAttribute(dbf, record, static_cast<int>(field), value.number);
        } else {
          DBFWriteStringAttribute(dbf, record, static_cast<int>(field), value.text.c_str());
        }
      }
    }
    DBFClose(dbf);
    state.PauseTiming();
    snapshot.Restore();
    state.ResumeTiming();
  }
  CountRecords(state, state.iterations() * append_records);
}
#endif

std::string BenchmarkName(const char* operation, const char* variant, const TTable& table) {
  return std::string(operation) + "/" + variant + "/" + std::to_string(table.records);
}

// Operations run one after the other over all sizes; at each size the raw baseline runs
// right before the dataset, so that their ratio compares the same moment of the machine.
// (run_bench.sh interleaves repetitions at random instead and compares medians.)
void RegisterBenchmarks(const std::vector<TTable>& tables, int32_t append_records) {
  for (const TTable& table : tables) {
    benchmark::RegisterBenchmark(BenchmarkName("open", bench::kDatasetVariant, table).c_str(), OpenOrClose, table,
                                 false)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(BenchmarkName("close", bench::kDatasetVariant, table).c_str(), OpenOrClose, table,
                                 true)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(BenchmarkName("move_last", bench::kDatasetVariant, table).c_str(), MoveLast, table)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
  }
  for (const TTable& table : tables) {
    benchmark::RegisterBenchmark(BenchmarkName("scan", bench::kRawVariant, table).c_str(), ScanRaw, table)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("scan", bench::kDatasetVariant, table).c_str(), ScanDataset, table)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  for (const TTable& table : tables) {
    benchmark::RegisterBenchmark(BenchmarkName("memscan", bench::kRawVariant, table).c_str(), MemoryScanPlain, table)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("memscan", bench::kDatasetVariant, table).c_str(), MemoryScanDataset,
                                 table)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("memdump", bench::kRawVariant, table).c_str(), MemoryDumpPlain, table)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("memdump", bench::kDatasetVariant, table).c_str(), MemoryDumpDataset,
                                 table)
        ->Unit(benchmark::kMillisecond);
  }
  for (const TTable& table : tables) {
    benchmark::RegisterBenchmark(BenchmarkName("random", bench::kRawVariant, table).c_str(), RandomRaw, table)
        ->UseRealTime();
    benchmark::RegisterBenchmark(BenchmarkName("random", bench::kDatasetVariant, table).c_str(), RandomDataset, table)
        ->UseRealTime();
  }
  for (const TTable& table : tables) {
    benchmark::RegisterBenchmark(BenchmarkName("append", bench::kRawVariant, table).c_str(), AppendRaw, table,
                                 append_records)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("append", bench::kDatasetVariant, table).c_str(), AppendDataset, table,
                                 append_records, false)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(BenchmarkName("append", bench::kHeldLockVariant, table).c_str(), AppendDataset, table,
                                 append_records, true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
#ifdef DBF_BENCH_WITH_SHAPELIB
    benchmark::RegisterBenchmark(BenchmarkName("append", bench::kShapelibVariant, table).c_str(), AppendShapelib, table,
                                 append_records)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
#endif
    benchmark::RegisterBenchmark(BenchmarkName("post", bench::kDatasetVariant, table).c_str(), PostLatency, table)
        ->Iterations(kTimedPosts)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
}

std::vector<TTable> MakeTables(const dbf::testsupport::TTempFolder& folder, const std::vector<int32_t>& sizes) {
  std::vector<TTable> tables;
  for (const int32_t records : sizes) {
    TTable table{records, folder / ("RESULTS_" + std::to_string(records) + ".DBF")};
    std::fprintf(stderr, "making a table of %d records\n", records);
    bench::MakeResultsTable(table.path, records);
    tables.push_back(table);
  }
  return tables;
}

std::vector<std::pair<int32_t, int64_t>> MeasurePeakRss(const std::vector<TTable>& tables) {
  std::vector<std::pair<int32_t, int64_t>> peaks;
  for (const TTable& table : tables) peaks.emplace_back(table.records, bench::PeakRssOfScan(table.path));
  return peaks;
}

int RunBenchmarks(int argc, char** argv, const TOptions& options) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const dbf::testsupport::TTempFolder folder(dbf::testsupport::SystemTempFolder(), "dbf_bench_");
  const std::vector<TTable> tables = MakeTables(folder, options.sizes);
  RegisterBenchmarks(tables, options.append_records);
  bench::RunWithSummary(MeasurePeakRss(tables));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::RunReportingErrors("dbf_bench", [&] {
    const TOptions options = TakeOwnOptions(argc, argv);
    if (!options.probe_path.empty()) return bench::RunScanProbe(options.probe_path);
    return RunBenchmarks(argc, argv, options);
  });
}
