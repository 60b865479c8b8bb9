#pragma once
// Small text helpers of the persistence code: decimal numbers and the decimal text
// forms of byte arrays.
//
// SWITCH-TO-SHARED: NumberText and NumberFromText stand in for
// CNumberTextConv::NumberToString(n, false, width, "0") and
// CNumberTextConv::GetNumberFromString. Every persistence caller goes through here,
// so moving to that class is a change to persist_text.cpp only.

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil::persist_text {

// Plain decimal text of n ("-" for negatives); with a width, zero-padded in front.
CString NumberText(int n, int width = 0);
// atoi of the text once the thousands separator (",") is removed; saturates on overflow.
int NumberFromText(const CString& text);

// Decimal byte values joined by the separator (", " in CCrypto's form, " " in the
// registry's), and the reverse: the text is split at the separator and each piece's
// number contributes its low 8 bits. `bytes` is emptied first.
CString BytesToDecimalText(const CByteArray& bytes, const CString& separator);
void DecimalTextToBytes(const CString& text, const CString& separator, CByteArray& bytes);

}  // namespace vutil::persist_text
