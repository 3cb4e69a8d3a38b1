/* pread_dump FILE: a plain C dump of a dBase table to CSV on standard output, the baseline
 * of `dbftool dump`: the header read once, then one pread per record; deleted records
 * left out; field texts as the file holds them (no code page conversion, no field
 * objects). Exit status 1 with a message on any failure. */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "csv_output.h"

enum { kPrefixLength = 32, kDescriptorLength = 32, kMostFields = 4096 };

struct field {
  char name[12];
  size_t offset;
  size_t length;
};

static void fail(const char* what) {
  perror(what);
  exit(1);
}

static unsigned little_endian(const unsigned char* bytes, int width) {
  unsigned value = 0;
  while (width-- > 0) value = value << 8 | bytes[width];
  return value;
}

int main(int argc, char** argv) {
  static struct field fields[kMostFields];
  unsigned char prefix[kPrefixLength];
  unsigned char descriptor[kDescriptorLength];
  struct stat status;
  int field_count = 0;
  size_t offset = 1;
  int64_t record;
  int i;
  if (argc != 2) {
    fprintf(stderr, "usage: pread_dump FILE\n");
    return 1;
  }
  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) fail(argv[1]);
  if (pread(fd, prefix, sizeof prefix, 0) != (ssize_t)sizeof prefix) fail("header");
  const size_t header_length = little_endian(prefix + 8, 2);
  const size_t record_length = little_endian(prefix + 10, 2);
  while (field_count < kMostFields && (size_t)(kPrefixLength + (field_count + 1) * kDescriptorLength) < header_length) {
    if (pread(fd, descriptor, sizeof descriptor, kPrefixLength + field_count * kDescriptorLength) !=
        (ssize_t)sizeof descriptor) {
      fail("descriptor");
    }
    struct field* f = &fields[field_count++];
    snprintf(f->name, sizeof f->name, "%.11s", (const char*)descriptor);
    f->offset = offset;
    f->length = descriptor[16];
    offset += f->length;
  }
  if (fstat(fd, &status) != 0) fail("fstat");
  const int64_t record_count = ((int64_t)status.st_size - (int64_t)header_length) / (int64_t)record_length;
  char* bytes = malloc(record_length);
  if (bytes == NULL) fail("malloc");
  csv_begin(stdout);
  for (i = 0; i < field_count; ++i) csv_field(stdout, fields[i].name, sizeof fields[i].name - 1, i == 0);
  csv_end_record(stdout);
  for (record = 0; record < record_count; ++record) {
    const off_t at = (off_t)header_length + record * (off_t)record_length;
    if (pread(fd, bytes, record_length, at) != (ssize_t)record_length) fail("record");
    if (bytes[0] != ' ') continue;
    for (i = 0; i < field_count; ++i) csv_field(stdout, bytes + fields[i].offset, fields[i].length, i == 0);
    csv_end_record(stdout);
  }
  if (fflush(stdout) != 0) fail("standard output");
  free(bytes);
  close(fd);
  return 0;
}
