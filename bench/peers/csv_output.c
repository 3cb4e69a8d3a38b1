/* CSV output of the dump peers. */
#include "csv_output.h"

static char output_buffer[64 * 1024];

void csv_begin(FILE* out) { setvbuf(out, output_buffer, _IOFBF, sizeof output_buffer); }

void csv_field(FILE* out, const char* text, size_t length, int first) {
  size_t begin = 0;
  size_t end = length;
  size_t i;
  while (begin < end && (unsigned char)text[begin] <= ' ') ++begin;
  while (end > begin && (unsigned char)text[end - 1] <= ' ') --end;
  if (!first) putc(',', out);
  for (i = begin; i < end; ++i) {
    const char c = text[i];
    if (c == ',' || c == '"' || c == '\r' || c == '\n') break;
  }
  if (i == end) {
    fwrite(text + begin, 1, end - begin, out);
    return;
  }
  putc('"', out);
  for (i = begin; i < end; ++i) {
    if (text[i] == '"') putc('"', out);
    putc(text[i], out);
  }
  putc('"', out);
}

void csv_end_record(FILE* out) { fputs("\r\n", out); }
