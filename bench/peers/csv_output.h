/* CSV output of the dump peers: fields trimmed of blanks and control characters at both
 * ends, quoted (quotes doubled) when they hold a comma, a quote or a line end, records
 * ended by CR LF, written through stdio's buffer. Plain C, as a C program dumps a table. */
#ifndef BENCH_PEERS_CSV_OUTPUT_H
#define BENCH_PEERS_CSV_OUTPUT_H

#include <stddef.h>
#include <stdio.h>

/* Gives `out` a buffer of 64 KiB. */
void csv_begin(FILE* out);
/* Writes one field of `length` bytes, with a separator before every field but the first. */
void csv_field(FILE* out, const char* text, size_t length, int first);
void csv_end_record(FILE* out);

#endif
