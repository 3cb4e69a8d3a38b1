// A results table that another program deletes, replaces or cuts short while this one
// holds it open, on real files, where the kernel decides what the open handle still
// reaches. Every later write (a new record, an edited one, a deletion mark, the header at
// close) is refused with a message that names the file and the change, and nothing is
// written into whatever is at the path now.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "SharedTableTestSupport.h"

namespace dbf {
namespace {

using filetest::TRawTable;
using filetest::WriteFileBytes;
using namespace testing;

using TableChangedUnderneathTest = TResultsTableTest;

// Another program's table of another layout.
TBytes OtherTable() { return TRawTable{.fields = {{"KOD", 'C', 8}}, .records = {" Kod00001"}}.Bytes(); }

struct TChange {
  const char* word;  // as the message says it
  std::function<void(const std::string& path)> make;
};

TEST_F(TableChangedUnderneathTest, NoWriteReachesATableChangedUnderneath) {
  const TChange changes[] = {
      {"deleted", [](const std::string& path) { ASSERT_EQ(::unlink(path.c_str()), 0); }},
      {"replaced",  // another table renamed over it
       [](const std::string& path) {
         WriteFileBytes(path + ".new", OtherTable());
         ASSERT_EQ(std::rename((path + ".new").c_str(), path.c_str()), 0);
       }},
      {"cut short", [](const std::string& path) { ASSERT_EQ(::truncate(path.c_str(), 0), 0); }},
      {"cut short", [](const std::string& path) { ASSERT_EQ(::truncate(path.c_str(), 100), 0); }},  // in the header
      {"replaced", [](const std::string& path) { WriteFileBytes(path, OtherTable()); }},  // re-created in place
  };
  // Holding the append lock for a run of appends (as an import does) takes a cheaper
  // look between appends; it must see every change all the same.
  for (const bool held : {false, true}) {
    for (const TChange& change : changes) {
      SCOPED_TRACE("change " + std::to_string(&change - changes) + (held ? ", append lock held" : ""));
      ResultsTable(folder_)->createTable();
      auto table = ResultsTable(folder_);
      table->open();
      if (held) table->lockAppends();
      PostSubject(*table, 0);
      PostSubject(*table, 1);
      const auto file_at_path = [&] {
        return std::filesystem::exists(TablePath()) ? ReadFileBytes(TablePath()) : TBytes{};
      };
      change.make(TablePath());
      const TBytes left = file_at_path();
      const std::string refusal =
          "Cannot write file " + TablePath() + ": it was " + change.word + " by another program since it was opened";

      // (A cancel reads the window again from whatever the path's file now holds.)
      EXPECT_EQ(MessageOf([&] { table->deleteRecord(); }), refusal);
      table->startEdit();
      table->fieldNamed("JMENO").writeString("Opraveno");
      EXPECT_EQ(MessageOf([&] { table->post(); }), refusal);
      table->cancel();
      table->startAppend();
      WriteSubject(*table, SubjectNumber(2));
      EXPECT_EQ(MessageOf([&] { table->post(); }), refusal);
      EXPECT_EQ(table->state(), TDataSetState::StateInsert) << "the typed record stays for another try";
      EXPECT_EQ(table->fieldNamed("PRIJMENI").readString(), SubjectNumber(2).surname);
      EXPECT_EQ(MessageOf([&] { table->close(); }), refusal) << "no header for a table changed underneath";
      EXPECT_FALSE(table->Active());

      EXPECT_EQ(file_at_path(), left) << "the path holds what the change left there";
      std::filesystem::remove(TablePath());
    }
  }
}

}  // namespace
}  // namespace dbf
