/* shapelib_dump FILE: a dump of a dBase table to CSV on standard output through shapelib,
 * a peer of `dbftool dump`: every record that is not deleted, each field as
 * DBFReadStringAttribute gives it. Exit status 1 with a message on any failure. */
#include <shapefil.h>
#include <stdio.h>
#include <string.h>

#include "csv_output.h"

int main(int argc, char** argv) {
  char name[XBASE_FLDNAME_LEN_READ + 1];
  int record;
  int field;
  if (argc != 2) {
    fprintf(stderr, "usage: shapelib_dump FILE\n");
    return 1;
  }
  DBFHandle table = DBFOpen(argv[1], "rb");
  if (table == NULL) {
    fprintf(stderr, "shapelib cannot open %s\n", argv[1]);
    return 1;
  }
  const int field_count = DBFGetFieldCount(table);
  const int record_count = DBFGetRecordCount(table);
  csv_begin(stdout);
  for (field = 0; field < field_count; ++field) {
    DBFGetFieldInfo(table, field, name, NULL, NULL);
    csv_field(stdout, name, strlen(name), field == 0);
  }
  csv_end_record(stdout);
  for (record = 0; record < record_count; ++record) {
    if (DBFIsRecordDeleted(table, record)) continue;
    for (field = 0; field < field_count; ++field) {
      const char* text = DBFReadStringAttribute(table, record, field);
      csv_field(stdout, text, strlen(text), field == 0);
    }
    csv_end_record(stdout);
  }
  DBFClose(table);
  if (fflush(stdout) != 0) {
    perror("standard output");
    return 1;
  }
  return 0;
}
