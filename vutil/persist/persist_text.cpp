#include "vutil/persist/persist_text.h"

#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil::persist_text {


CString BytesToDecimalText(const CByteArray& bytes, const CString& separator) {
    CString out;
    out.Preallocate(bytes.GetSize() * (3 + separator.GetLength()));
    for (int i = 0; i < bytes.GetSize(); ++i) {
        if (i) out += separator;
        out += CNumberTextConv::NumberToString(bytes.GetData()[i], false, 0, "");
    }
    return out;
}

void DecimalTextToBytes(const CString& text, const CString& separator, CByteArray& bytes) {
    bytes.RemoveAll();
    CStringArray pieces;
    CStringUtils::SplitLine(text, separator, pieces);
    bytes.SetSize(pieces.GetSize());
    for (int i = 0; i < pieces.GetSize(); ++i) bytes[i] = static_cast<BYTE>(CNumberTextConv::GetNumberFromString(pieces[i]) & 0xFF);
}

}  // namespace vutil::persist_text
