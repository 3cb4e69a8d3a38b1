#!/usr/bin/env python3
"""Writes the starting inputs of the fuzz targets: into corpus/ the tables of the table-file
target (a few small valid tables of both header layouts and of FoxPro's, and a few damaged
ones), into dataset_corpus/ the same tables each with a script of dataset operations for
the dataset target. Run it again after changing it."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def short_table(fields, records, version=0x03, count=None, header_length=None, record_length=None, mark=0,
                backlink=0):
    """fields: (name, letter, length, decimals[, FoxPro flags]); records: bytes without the deletion flag."""
    descriptors = b"".join(
        name.encode().ljust(11, b"\0") + letter.encode() + bytes(4) + bytes([length, decimals, *flags])
        + bytes(14 - len(flags)) for name, letter, length, decimals, *flags in fields)
    header_length = header_length if header_length is not None else 32 * len(fields) + 33 + backlink
    record_length = record_length if record_length is not None else 1 + sum(f[2] for f in fields)
    count = count if count is not None else len(records)
    prefix = struct.pack("<BBBBIHH17xB2x", version, 126, 1, 15, count, header_length, record_length, mark)
    return prefix + descriptors + b"\r" + bytes(backlink) + b"".join(records) + b"\x1a"


def long_table(fields, records, version=0x04):
    """fields: (name, letter, length, decimals, autoincrement)."""
    descriptors = b"".join(
        name.encode().ljust(32, b"\0") + letter.encode() + bytes([length, decimals]) + bytes(7)
        + struct.pack("<i", autoinc) + bytes(2)
        for name, letter, length, decimals, autoinc in fields)
    header_length = 68 + 48 * len(fields) + 1
    record_length = 1 + sum(f[2] for f in fields)
    prefix = struct.pack("<BBBBIHH56x", version, 126, 1, 15, len(records), header_length, record_length)
    return prefix + descriptors + b"\r" + b"".join(records) + b"\x1a"


RESULTS = [("PRIJMENI", "C", 15, 0), ("JMENO", "C", 15, 0), ("RC1", "C", 6, 0), ("RC2", "C", 4, 0),
           ("POC_SPR", "N", 5, 0), ("POC_CHYB", "N", 5, 0), ("SUMA_AGR", "N", 3, 0), ("SUMA_SM", "N", 3, 0),
           ("POM_A_S", "C", 5, 0), ("POM_S_S", "C", 5, 0), ("ODPOVEDI", "C", 254, 0)]

MIXED = [("name", "c", 10, 0), ("AMOUNT", "N", 8, 2), ("BORN", "D", 8, 0), ("OK", "L", 1, 0),
         ("RATIO", "F", 8, 0), ("MEMO", "M", 10, 0)]
MIXED_RECORDS = [b" Nov\x86k    " + b"   12.50" + b"20240229" + b"T" + b"   0.125" + b"        12",
                 b"*" + b"x" * 9 + b"  -0.01 " + b"19991231" + b"?" + b"1e5     " + b"          ",
                 b"   \0\0    " + b"abc     " + b"  5 1 1 " + b"t" + b"        " + b"         7"]

BINARY = [("ID", "+", 4, 0, 3), ("COUNT", "I", 4, 0, 0), ("VALUE", "O", 8, 0, 0), ("STAMP", "@", 8, 0, 0),
          ("NOTE", "C", 6, 0, 0)]
BINARY_RECORDS = [b" " + bytes.fromhex("80000001 80000005 C000000000000000 42D2C7F1C0000000") + b"hello ",
                  b" " + bytes.fromhex("80000002 7FFFFFFF 3FEFFFFFFFFFFFFF 0000000000000000") + b"      "]

FOXPRO = [("NAME", "C", 6, 0, 2), ("ID", "I", 4, 0), ("PRICE", "Y", 8, 0), ("STAMP", "T", 8, 0),
          ("RATIO", "B", 8, 0), ("NOTE", "V", 6, 0, 2), ("MEMO", "M", 4, 0), ("_NullFlags", "0", 1, 0, 5)]
FOXPRO_RECORDS = [b" Nov\xa0k " + bytes.fromhex("fbffffff 48e8010000000000 d28a2500b86af302 0000000000000240")
                  + b"abcde\x03" + bytes.fromhex("07000000") + b"\x02",
                  b"*" + bytes(44) + b"\x05"]

SEEDS = {
    "results_empty.dbf": short_table(RESULTS, []),
    "results_one_record.dbf": short_table(RESULTS, [b" " + b"Novak".ljust(15) + b"Jan".ljust(15) + b"800101"
                                                    + b"1234" + b"   28" + b"    2" + b"  7" + b"  5"
                                                    + b" 0.25" + b" 0.18" + b"|1|5|30".ljust(254)]),
    "mixed_short.dbf": short_table(MIXED, [b" " + r if not r.startswith(b"*") else r for r in MIXED_RECORDS]),
    "binary_long.dbf": long_table(BINARY, BINARY_RECORDS),
    "level7_long.dbf": long_table(BINARY, BINARY_RECORDS[:1], version=0x30),
    "count_mismatch.dbf": short_table(MIXED[:2], [b" abcdefghij   1.00"] * 3, count=10),
    "char_255.dbf": short_table([("WIDE", "C", 255, 0), ("TAIL", "N", 4, 0)], [b" " + b"w" * 255 + b"  42"]),
    "header_length_zero.dbf": short_table(MIXED[:1], [], header_length=0),
    "header_length_huge.dbf": short_table(MIXED[:1], [], header_length=65535),
    "record_length_zero.dbf": short_table(MIXED[:2], [b" abcdefghij   1.00"], record_length=0),
    "record_length_short.dbf": short_table(MIXED, [b" " + MIXED_RECORDS[0]], record_length=12),
    "truncated_record.dbf": short_table(MIXED[:2], [b" abcdefghij   1.00", b" abc"])[:-1],
    "unknown_letter.dbf": short_table([("ODD", "X", 7, 3), ("N20", "N", 30, 25)], [b" " + b"z" * 37]),
    "ten_bytes.dbf": bytes([0x03, 126, 1, 15, 0, 0, 0, 0, 0x41, 0]),
    "foxpro_nulls.dbf": short_table(FOXPRO, FOXPRO_RECORDS, version=0x30, mark=0xC8, backlink=263),
}

# The dataset target's operations (dbf_dataset_fuzz.cpp): append, values, post, insert,
# edit and cancel, delete, refresh, moves, reopen, power cuts after a post and after a
# typed but unposted value, and another program's append last (it takes the rest of the
# input as its record).
APPEND, INSERT, EDIT, WRITE, POST, CANCEL, DELETE, REFRESH, REOPEN, OTHERS_APPEND = 7, 6, 8, 9, 10, 11, 12, 13, 14, 16
POWER_CUT = 17
FIRST, LAST, NEXT, PRIOR, MOVE_BY, SET_RECORD_NUMBER, CLEAR = 0, 1, 2, 3, 4, 5, 15


def write(field, text, numeric=False):
    return bytes([WRITE, field, len(text) | (0x80 if numeric else 0)]) + text


SCRIPT = (bytes([APPEND]) + write(0, b"12345", numeric=True) + write(1, b"Nov\x86k")
          + bytes([POST, POWER_CUT, INSERT]) + write(0, b"xy") + bytes([POST, EDIT]) + write(1, b"7", numeric=True)
          + bytes([CANCEL, EDIT])
          + write(0, b"z") + bytes([FIRST, DELETE, REFRESH, REOPEN, NEXT, PRIOR, LAST, MOVE_BY, 0xFE,
                                    SET_RECORD_NUMBER, 2, CLEAR, 1, APPEND, POST, APPEND]) + write(0, b"q")
          + bytes([POWER_CUT, OTHERS_APPEND]) + b" appended by another program" * 12)


def dataset_input(table, options=0x01):
    """Window of two rows; the table's length as two little-endian bytes before it."""
    return bytes([options]) + struct.pack("<H", len(table)) + table + SCRIPT


for name, content in SEEDS.items():
    with open(os.path.join(HERE, "corpus", name), "wb") as table_file:
        table_file.write(content)
    with open(os.path.join(HERE, "dataset_corpus", name), "wb") as input_file:
        input_file.write(dataset_input(content))
