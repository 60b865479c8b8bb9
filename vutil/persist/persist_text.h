#pragma once
// The decimal text forms of byte arrays, shared by the cipher and the registry.

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil::persist_text {

// Decimal byte values joined by the separator (", " in CCrypto's form, " " in the
// registry's), and the reverse: the text is split at the separator and each piece's
// number contributes its low 8 bits. `bytes` is emptied first.
CString BytesToDecimalText(const CByteArray& bytes, const CString& separator);
void DecimalTextToBytes(const CString& text, const CString& separator, CByteArray& bytes);

}  // namespace vutil::persist_text
