// What a crash, a power cut or a refusing file system leaves of a results table. A posted
// record is in the file at once, so a process killed before closing loses nothing it
// posted; post, delete and close return once their bytes are on the device, so a power
// cut after any of them loses nothing either; an append or sync the file system refuses
// raises instead of passing for success, and every record posted before it survives. The
// child processes that crash or hit the limit report through pipes and exit codes;
// nothing waits on time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "DbfErrors.h"
#include "MemoryFiles.h"
#include "SharedTableTestSupport.h"
#include "dbf.h"

namespace dbf {
namespace {

using filetest::ReadFileBytes;
using filetest::TBytes;
using filetest::TNoticeCapture;
using namespace testing;

class DurabilityTest : public TResultsTableTest {
 protected:
  // Reopening a table whose writer never closed it: the header count is current, so
  // nothing is noticed, the `count` posted subjects read back, and closing the table,
  // only read, leaves it as it was.
  void ExpectRecovered(int count) {
    const TBytes left = ReadFileBytes(TablePath());
    TNoticeCapture notices;
    auto table = ResultsTable(folder_);
    table->open();
    EXPECT_EQ(notices.Notices(), std::vector<std::string>{});
    EXPECT_EQ(table->recordCount(), count);
    ExpectSubjects(StoredSubjects(*table), count);
    table->close();
    EXPECT_EQ(ReadFileBytes(TablePath()), left);
  }
};

// The child posts `count` subjects, starts one more that it never posts, tells the parent
// and waits; the parent kills it there, before anything is closed.
TEST_F(DurabilityTest, KilledProcessLosesNoPostedRecord) {
  constexpr int kPosted = 5;
  TPipe ready;
  TPipe never;
  const pid_t child = RunChild([&] {
    auto table = ResultsTable(folder_);
    table->open();
    for (int i = 0; i < kPosted; ++i) PostSubject(*table, i);
    table->startAppend();
    WriteSubject(*table, SubjectNumber(kPosted));
    if (!ready.Write("x")) return 123;
    never.AwaitByte();
    return 0;
  });
  ready.CloseWrite();
  const bool posted = ready.AwaitByte();
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  const int status = WaitFor(child);
  ASSERT_TRUE(posted && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

  const TBytes crashed = ReadFileBytes(TablePath());
  EXPECT_EQ(static_cast<int64_t>(crashed.size()), TableEnd(kPosted) + 1)
      << "every posted record is in the file, the unposted one is not";
  EXPECT_EQ(crashed.back(), kEndMarker) << "the end marker travels with each record";
  EXPECT_EQ(HeaderRecordCount(crashed), static_cast<uint32_t>(kPosted)) << "the header is current after each post";

  ExpectRecovered(kPosted);
}

// What the child saw when the file system refused an append.
struct TRefusal {
  int posted = 0;
  std::string error_class;
  std::string message;
  bool still_inserting = false;
  int32_t record_count = -1;
  std::string told;  // what the user is told: the message with the system's reason
};

// In a child whose file size limit is `file_size_limit`, opens the results table and
// posts subjects until a post raises, reports, and ends without closing anything, as a
// program stopped after the error would. Returns the child's report.
TRefusal PostUntilRefused(const TScratchFolder& folder, int64_t file_size_limit) {
  TPipe report;
  const pid_t child = RunChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const auto limit = static_cast<rlim_t>(file_size_limit);
    const rlimit file_size{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &file_size) != 0) return 122;
    auto table = ResultsTable(folder);
    table->open();
    int posted = 0;
    std::string error_class = "none";
    std::string message;
    std::string told;
    try {
      for (; posted < 100; ++posted) PostSubject(*table, posted);
    } catch (const EDbfFileError& error) {
      error_class = "EDbfFileError";
      message = error.what();
      told = ErrorText(error);
    } catch (const EDatabaseError& error) {
      error_class = "EDatabaseError";
      message = error.what();
    }
    const bool inserting = table->state() == TDataSetState::StateInsert;
    const bool reported =
        report.Write(std::to_string(posted) + "\n" + error_class + "\n" + message + "\n" + (inserting ? "1" : "0") +
                     "\n" + std::to_string(table->recordCount()) + "\n" + told + "\n");
    ::_exit(reported ? 0 : 123);
  });
  const std::string text = report.ReadAll();
  const int status = WaitFor(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  std::vector<std::string> lines;
  for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
    lines.push_back(text.substr(begin, end - begin));
  }
  if (lines.size() != 6) {
    ADD_FAILURE() << "child report: " << text;
    return {};
  }
  return {std::stoi(lines[0]), lines[1], lines[2], lines[3] == "1", std::stoi(lines[4]), lines[5]};
}

// A limit on a record boundary stores the last record that fits without its end marker
// and refuses the next record outright; one inside a record lets its write fall short, leaving part of it behind the
// last whole record. Either way the post raises, counts nothing, and the part is not taken for a record.
TEST_F(DurabilityTest, RefusedAppendRaisesAndKeepsEveryEarlierRecord) {
  constexpr int kFitting = 3;
  for (const int64_t part : {int64_t{0}, kRecordLength / 2}) {
    SCOPED_TRACE(std::to_string(part) + " bytes of the refused record fit");
    ResultsTable(folder_)->createTable();
    const TRefusal refusal = PostUntilRefused(folder_, TableEnd(kFitting) + part);
    EXPECT_EQ(refusal.posted, kFitting);
    EXPECT_EQ(refusal.error_class, "EDbfFileError");
    EXPECT_EQ(refusal.message, "Cannot write file " + TablePath());
    EXPECT_EQ(refusal.told, "Cannot write file " + TablePath() + ": file too large");
    EXPECT_TRUE(refusal.still_inserting) << "the entered record stays in the dataset";
    EXPECT_EQ(refusal.record_count, kFitting);
    EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(TablePath())), TableEnd(kFitting) + part);

    ExpectRecovered(kFitting);
  }
}

// The header count follows the record in a write of its own. When that write fails (as
// when a program dies between the two), the record stays posted, the user hears of the
// lagging count, and the next append brings it up to date.
TEST_F(DurabilityTest, HeaderCountThatCannotBeWrittenLagsUntilTheNextAppend) {
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  TNoticeCapture notices;
  auto table = ResultsTable(folder_);
  table->SetFileSeam(seam.Seam());
  table->open();
  PostSubject(*table, 0);
  faults.failing_write = faults.writes + 2;
  PostSubject(*table, 1);
  EXPECT_EQ(table->state(), TDataSetState::StateBrowse) << "the record is posted";
  EXPECT_EQ(table->recordCount(), 2);
  ASSERT_EQ(notices.Notices().size(), 1u);
  EXPECT_EQ(notices.Notices()[0], "Cannot write file " + TablePath() +
                                      ": the record count in the header stays behind until the next append or close");
  TBytes bytes = ReadFileBytes(TablePath());
  EXPECT_EQ(static_cast<int64_t>(bytes.size()), TableEnd(2) + 1);
  EXPECT_EQ(HeaderRecordCount(bytes), 1u);

  PostSubject(*table, 2);
  bytes = ReadFileBytes(TablePath());
  EXPECT_EQ(HeaderRecordCount(bytes), 3u);
  EXPECT_EQ(static_cast<int64_t>(bytes.size()), TableEnd(3) + 1);
  table->close();
  ExpectClosedTable(TablePath(), 3, TableEnd(3) + 1);
  ExpectRecovered(3);
}

// The power is cut after each step of an examiner's session in turn, on a table in
// memory that keeps only what was synced: the device holds every byte the step wrote,
// and the table opens again with every record and no header notice but the count's.
TEST_F(DurabilityTest, EveryStepOfASessionSurvivesAPowerCutRightAfterIt) {
  const std::vector<std::function<void(TDbf&)>> session = {[](TDbf& table) { table.open(); },
                                                           [](TDbf& table) { PostSubject(table, 0); },  // appended
                                                           [](TDbf& table) { PostSubject(table, 1); },  // inserted
                                                           [](TDbf& table) {
                                                             table.startEdit();
                                                             table.fieldNamed("JMENO").writeString("Eva");
                                                             table.post();
                                                           },
                                                           [](TDbf& table) {
                                                             table.startAppend();
                                                             WriteSubject(table,
                                                                          SubjectNumber(2));  // typed, not posted
                                                           },
                                                           [](TDbf& table) {
                                                             table.cancel();
                                                             table.moveFirst();
                                                             table.deleteRecord();
                                                           },
                                                           [](TDbf& table) { table.close(); },
                                                           [](TDbf& table) {
                                                             table.open();
                                                             PostSubject(table, 3);
                                                           },
                                                           [](TDbf& table) { table.close(); }};
  for (size_t cut_after = 0; cut_after < session.size(); ++cut_after) {
    SCOPED_TRACE("cut after step " + std::to_string(cut_after + 1));
    fuzz::TMemoryFiles files(int64_t{1} << 20);
    const std::string path = files.Put("TARNI.DBF", nullptr, 0);
    const auto table_at_path = [&] {
      auto table = ResultsTable(folder_);
      table->SetTableName(path);
      table->SetFileSeam(files.Seam());
      return table;
    };
    auto table = table_at_path();
    table->createTable();
    for (size_t step = 0; step <= cut_after; ++step) session[step](*table);
    const TBytes written = files.Contents(path);
    const int32_t records = HeaderRecordCount(written);

    files.CutPower();
    {
      const TNoticeCapture unheard;  // the dead program's close fails
      table.reset();
    }
    EXPECT_EQ(files.Contents(path), written);
    const TNoticeCapture notices;
    table = table_at_path();
    table->open();
    EXPECT_EQ(table->recordCount(), records);
    for (const std::string& notice : notices.Notices()) EXPECT_EQ(notice.rfind("Invalid Record Count", 0), 0u);
  }
}

// A post and a delete sync once each (the record with the header's count), a close once;
// posts that leave the sync to the close (an import's) do not. A sync or a close the
// system refuses raises: the post stays in insert state with its values, and posting
// again stores the record.
TEST_F(DurabilityTest, WritesSyncOnceEachAndARefusedSyncOrCloseRaises) {
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  auto table = ResultsTable(folder_);
  table->SetFileSeam(seam.Seam());
  table->open();
  PostSubject(*table, 0);
  PostSubject(*table, 1);
  table->startAppend();
  table->cancel();
  table->deleteRecord();
  EXPECT_EQ(faults.syncs, 3);
  table->SetSyncMode(TDbfSyncMode::smAtClose);
  PostSubject(*table, 2);
  EXPECT_EQ(faults.syncs, 3);

  table->SetSyncMode(TDbfSyncMode::smEachWrite);
  faults.failing_sync = faults.syncs + 1;
  table->startAppend();
  WriteSubject(*table, SubjectNumber(3));
  EXPECT_EQ(MessageOf([&] { table->post(); }), "Cannot write file " + TablePath());
  EXPECT_EQ(table->state(), TDataSetState::StateInsert);
  EXPECT_EQ(table->fieldNamed("PRIJMENI").readString(), SubjectNumber(3).surname);
  table->post();
  faults.failing_close = true;
  EXPECT_EQ(MessageOf([&] { table->close(); }), "Cannot close file " + TablePath());
  EXPECT_EQ(faults.syncs, 6) << "the refused sync, the post again and the close";
}

}  // namespace
}  // namespace dbf
