// Several programs on one results table. Appends take the table's append lock, so
// processes posting together lose no record and repeat none; a program that opens or
// refreshes the table while another is in the middle of an append counts only whole
// records; a run of appends can hold the lock once; and a file system that refuses
// locks still takes a lone user's appends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "SharedTableTestSupport.h"

namespace dbf {
namespace {

using filetest::TNoticeCapture;
using namespace testing;

using SharedAppendsTest = TResultsTableTest;

// Each child posts its own subjects, appended and inserted by turns, once both are
// ready; the parent then finds every subject exactly once and a current header.
TEST_F(SharedAppendsTest, ProcessesPostingTogetherKeepEveryRecordOnce) {
  constexpr int kChildren = 2;
  constexpr int kEach = 2000;
  TPipe go;
  std::vector<pid_t> children;
  for (int c = 0; c < kChildren; ++c) {
    children.push_back(RunChild([&, c] {
      go.CloseWrite();
      auto table = ResultsTable(folder_);
      table->open();
      if (!go.AwaitByte()) return 123;
      for (int i = c * kEach; i < (c + 1) * kEach; ++i) PostSubject(*table, i);
      table->close();
      return 0;
    }));
  }
  ASSERT_TRUE(go.Write(std::string(kChildren, 'x')));
  for (const pid_t child : children) {
    const int status = WaitFor(child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }

  TNoticeCapture notices;
  auto table = ResultsTable(folder_);
  table->open();
  EXPECT_EQ(notices.Notices(), std::vector<std::string>{});
  std::multiset<std::string> surnames;
  for (const TSubject& subject : StoredSubjects(*table)) surnames.insert(subject.surname);
  std::multiset<std::string> expected;
  for (int i = 0; i < kChildren * kEach; ++i) expected.insert(SubjectNumber(i).surname);
  EXPECT_EQ(surnames, expected);
  table->close();
  ExpectClosedTable(TablePath(), kChildren * kEach, TableEnd(kChildren * kEach) + 1);
}

// The child holds the append lock and stops between a record and its header count, as a
// program in the middle of an append. Opening the table then counts only what the
// header vouches for, without a warning; once the child is gone, refresh counts the
// record from the file size, and the next close makes the header agree.
TEST_F(SharedAppendsTest, ReadersCountOnlyWholeRecordsWhileAnotherProgramAppends) {
  TPipe ready;
  TPipe finish;
  const pid_t child = RunChild([&] {
    ready.CloseRead();
    finish.CloseWrite();
    auto table = ResultsTable(folder_);
    table->open();
    table->lockAppends();
    PostSubject(*table, 0);
    PostSubject(*table, 1);
    // A second handle of the file would drop this process's lock when closed: it stays open.
    const int fd = ::open(TablePath().c_str(), O_WRONLY);
    const std::string record(static_cast<size_t>(kRecordLength), ' ');
    if (fd < 0 || ::pwrite(fd, record.data(), record.size(), TableEnd(2)) != kRecordLength) return 122;
    if (!ready.Write("x")) return 123;
    finish.AwaitByte();
    ::_exit(0);
  });
  ready.CloseWrite();
  finish.CloseRead();
  ASSERT_TRUE(ready.AwaitByte());

  TNoticeCapture notices;
  auto table = ResultsTable(folder_);
  table->open();
  EXPECT_EQ(table->recordCount(), 2) << "the record in flight is not counted";
  EXPECT_EQ(notices.Notices(), std::vector<std::string>{}) << "an append in flight is no damage";

  finish.CloseWrite();
  const int status = WaitFor(child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  table->refresh();
  EXPECT_EQ(table->recordCount(), 3);
  // A reader leaves the header as the killed writer left it: the next open tells.
  table->close();
  table->open();
  EXPECT_EQ(notices.Notices(), std::vector<std::string>{"Invalid Record Count,\rRecordCount in Hdr : 2\rexpected : 3"});
  EXPECT_EQ(table->recordCount(), 3);
}

// Without holding it, every append takes the lock; a run of appends holds it once.
TEST_F(SharedAppendsTest, ARunOfAppendsTakesTheLockOnce) {
  filetest::TFaults faults;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  auto table = ResultsTable(folder_);
  table->SetFileSeam(seam.Seam());
  table->open();
  int before = faults.locks;
  for (int i = 0; i < 5; ++i) PostSubject(*table, i);
  EXPECT_EQ(faults.locks - before, 5);

  before = faults.locks;
  table->lockAppends();
  for (int i = 5; i < 10; ++i) PostSubject(*table, i);
  table->unlockAppends();
  EXPECT_EQ(faults.locks - before, 1);
  EXPECT_EQ(table->recordCount(), 10);
}

// A user working alone on a file system without record locks is never stopped; the one
// notice says that other programs' appends are not kept apart there.
TEST_F(SharedAppendsTest, AFileSystemWithoutLocksStillTakesAppends) {
  filetest::TFaults faults;
  faults.refuse_locks = true;
  const filetest::TFaultyFiles seam(faults, filetest::TFaultyFiles::PassedIn);
  TNoticeCapture notices;
  auto table = ResultsTable(folder_);
  table->SetFileSeam(seam.Seam());
  for (int round = 0; round < 2; ++round) {
    table->open();
    PostSubject(*table, 2 * round);
    PostSubject(*table, 2 * round + 1);
    table->close();
  }
  ASSERT_EQ(notices.Notices().size(), 1u) << "once per process";
  EXPECT_EQ(notices.Notices()[0].rfind("Appends to " + TablePath() + " are not locked", 0), 0u);
  table->open();
  ExpectSubjects(StoredSubjects(*table), 4);
}

}  // namespace
}  // namespace dbf
