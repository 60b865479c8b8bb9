#pragma once
// The regional settings CNumberTextConv reads, in one place (number_locale.cpp).

#include "vutil/framework/cstring.h"

namespace vutil::numlocale {

CString DecimalSeparator();
CString ThousandsSeparator();
CString CurrencyDecimalSeparator();
CString CurrencyThousandsSeparator();
CString CurrencySymbol();
unsigned NumberFractionalDigits();

}  // namespace vutil::numlocale
