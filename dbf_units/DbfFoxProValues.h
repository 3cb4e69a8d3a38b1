// FoxPro's encodings of field values, as TDbfFile reads the columns of FoxPro tables: the
// binary letters (I a little-endian integer, Y currency in ten-thousandths, T a Julian
// day and milliseconds, B a double, memo block numbers of 4 bytes), the text of varying
// length of V and Q, and the record's null flags. The library never writes them.
#pragma once

#include <cstdint>
#include <string_view>

#include "DbfFieldTypes.h"
#include "UDbfFieldDef.h"
#include "UDbfFile.h"

namespace dbf {

// Whether bit `bit` of the null flags at `null_flags` of `record` is set; a negative bit,
// or one beyond the flags, is not.
bool FoxProFlagSet(const TFieldSpan& null_flags, int bit, const uint8_t* record);

// REQUIRES: def.FoxPro() && def.IsBinary(); `bytes` holds def.Size() bytes.
// As TDbfFile::GetFieldValue: whether the column has a value (I, Y and B always have one,
// T none on day 0 and a memo column none on block 0), and with `dest` the value where the
// requested type's buffer holds it: I an int32_t for ftInteger and ftAutoInc; Y and B a
// double for ftFloat and ftCurrency; T a double of milliseconds (day number d at midnight
// is d * 86400000) for ftDateTime; a memo column its block number as text for ftString.
bool GetFoxProBinaryValue(const TDbfFieldDef& def, TFieldType type, const uint8_t* bytes, void* dest);

// The bytes that hold the text of a V or Q column: all of `bytes` (the column), or, when
// its length bit is set (`shortened`), as many as its last byte gives. Other columns'
// bytes are returned as they are.
std::string_view FoxProText(const TDbfFieldDef& def, std::string_view bytes, bool shortened);

}  // namespace dbf
