// What the tests of crashes and of several programs on one results table share: the
// table's figures, subjects posted and read back, and child processes that report
// through pipes and exit codes, so that nothing waits on time.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "DatasetTestSupport.h"
#include "DbfFileLayout.h"
#include "dbf.h"

namespace dbf::testing {

using filetest::HeaderRecordCount;
using filetest::ReadFileBytes;
using filetest::TBytes;

constexpr int64_t kHeaderLength = 385;  // 32-byte prefix, 11 descriptors, terminator
constexpr int64_t kRecordLength = 321;

// Where the records of a table holding `count` of them end.
inline int64_t TableEnd(int count) { return kHeaderLength + count * kRecordLength; }

// One subject's identity and results as the examiner enters them.
struct TSubject {
  std::string surname;
  std::string first_name;
  int32_t correct;
  std::string answers;
};

inline TSubject SubjectNumber(int i) {
  static const char* const kSurnames[] = {"Novák", "Dvořáková", "Černý", "Šťastná", "Kučera", "Růžička"};
  return {kSurnames[i % 6] + std::to_string(i), "Žofie", 10 + i, "|" + std::to_string(i) + "|21|0"};
}

inline void WriteSubject(TDbf& table, const TSubject& subject) {
  table.fieldNamed("PRIJMENI").writeString(subject.surname);
  table.fieldNamed("JMENO").writeString(subject.first_name);
  table.fieldNamed("POC_SPR").writeInteger(subject.correct);
  table.fieldNamed("ODPOVEDI").writeString(subject.answers);
}

// Posts subject `i`, appended at the end or inserted before the current record.
inline void PostSubject(TDbf& table, int i) {
  if (i % 2 == 0) {
    table.startAppend();
  } else {
    table.startInsert();
  }
  WriteSubject(table, SubjectNumber(i));
  table.post();
}

// The subjects of the table's records, in physical order.
inline std::vector<TSubject> StoredSubjects(TDbf& table) {
  std::vector<TSubject> subjects;
  for (int32_t n = 1; n <= table.recordCount(); ++n) {
    table.setRecordNumber(n);
    subjects.push_back({table.fieldNamed("PRIJMENI").readString(), table.fieldNamed("JMENO").readString(),
                        table.fieldNamed("POC_SPR").readInteger(), table.fieldNamed("ODPOVEDI").readString()});
  }
  return subjects;
}

inline void ExpectSubjects(const std::vector<TSubject>& stored, int count) {
  ASSERT_EQ(stored.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const TSubject expected = SubjectNumber(i);
    EXPECT_EQ(stored[static_cast<size_t>(i)].surname, expected.surname) << "record " << i + 1;
    EXPECT_EQ(stored[static_cast<size_t>(i)].first_name, expected.first_name) << "record " << i + 1;
    EXPECT_EQ(stored[static_cast<size_t>(i)].correct, expected.correct) << "record " << i + 1;
    EXPECT_EQ(stored[static_cast<size_t>(i)].answers, expected.answers) << "record " << i + 1;
  }
}

// Closing writes the record count into the header and one end marker right after the
// last record. The file is never shortened: it is `file_length` bytes long afterwards.
inline void ExpectClosedTable(const std::string& path, int count, int64_t file_length) {
  const TBytes bytes = ReadFileBytes(path);
  ASSERT_EQ(static_cast<int64_t>(bytes.size()), file_length);
  EXPECT_EQ(HeaderRecordCount(bytes), static_cast<uint32_t>(count));
  EXPECT_EQ(bytes[static_cast<size_t>(TableEnd(count))], kEndMarker);
}

// A pipe whose ends close when it goes.
class TPipe {
 public:
  TPipe() {
    if (::pipe(ends_) != 0) throw std::runtime_error("pipe failed");
  }
  ~TPipe() {
    CloseRead();
    CloseWrite();
  }
  TPipe(const TPipe&) = delete;
  TPipe& operator=(const TPipe&) = delete;

  bool Write(const std::string& text) const {
    return ::write(ends_[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  // Everything written until the write end closes everywhere.
  std::string ReadAll() {
    CloseWrite();
    std::string text;
    char chunk[256];
    for (ssize_t got; (got = ::read(ends_[0], chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(got));
    return text;
  }
  // Blocks until one byte arrives (true) or every write end is closed (false).
  bool AwaitByte() const {
    char byte;
    return ::read(ends_[0], &byte, 1) == 1;
  }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int ends_[2];
};

// Runs `body` in a forked child, which never returns into the test framework: it exits
// with the body's status, or 125 when the body throws.
inline pid_t RunChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    int status = 125;
    try {
      status = body();
    } catch (...) {
    }
    ::_exit(status);
  }
  return child;
}

// The child's wait status; -1 when there is no such child.
inline int WaitFor(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// A test on an empty results table "TARNI.DBF" in a scratch folder of its own.
class TResultsTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ResultsTable(folder_)->createTable(); }

  std::string TablePath() const { return folder_ / "TARNI.DBF"; }

  TScratchFolder folder_;
};

}  // namespace dbf::testing
