// Every text-to-number parser of CNumberTextConv, the saturating runtime conversions
// and the number / currency layout, on arbitrary bytes.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vutil/text/number_format.h"
#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"

using vutil::CNumberTextConv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vutil::CString text(bytes);

    (void)CNumberTextConv::GetNumberFromString(text);
    (void)CNumberTextConv::GetNumber64FromString(text);
    (void)CNumberTextConv::GetDoubleFromString(text, true);
    (void)CNumberTextConv::GetDoubleFromString(text, false);
    (void)CNumberTextConv::FractionToDouble(text);
    (void)CNumberTextConv::IsNumber(text);
    (void)CNumberTextConv::ConvertFromHex(text);
    bool ok = false;
    (void)CNumberTextConv::ConvertRGBStringToCOLORREF(text, ok);
    bool isRoman = false;
    vutil::CString format;
    const int parsed = CNumberTextConv::ParseNumber(text, isRoman, format, size & 1);
    if (parsed < 0 && !isRoman) std::abort();  // a digit run is never negative
    if (CNumberTextConv::ConvertFromRoman(text) < -1) std::abort();
    double first = 0, last = 0;
    vutil::CString middle;
    CNumberTextConv::ParseFirstAndLastDigits(text, first, last, middle);
    if (middle.GetLength() > text.GetLength()) std::abort();
    vutil::CString zeros(text);
    CNumberTextConv::RemoveDecimalZeroes(zeros);

    (void)vutil::RuntimeAtoi(bytes);
    (void)vutil::RuntimeAtoi64(bytes);
    std::size_t used = 0;
    (void)vutil::RuntimeStrtol(bytes, size > 0 ? data[0] % 40 : 0, &used);
    if (used > size) std::abort();

    // The layout takes the bytes as the value and as the grouping text.
    vutil::NumberFormatSpec spec;
    spec.numDigits = size % 11;
    spec.grouping = vutil::DigitGrouping::FromText(bytes.substr(0, 8));
    std::string out;
    if (vutil::FormatNumberText(bytes, spec, out) == out.empty()) std::abort();
    vutil::CurrencyFormatSpec money;
    money.negativeOrder = size % 17;
    (void)vutil::FormatCurrencyText(bytes, money, out);
    return 0;
}
