#pragma once
// The C runtime's text-to-integer conversions, without their undefined behaviour:
// a value out of range saturates at the type's limits, as the Windows runtime does.
// Each reads up to the first NUL byte or the end of the view.

#include <cstdint>
#include <string_view>

namespace vutil {

// atoi: leading blanks (space, \t \n \v \f \r), an optional sign, decimal digits.
std::int32_t RuntimeAtoi(std::string_view text) noexcept;
// _atoi64: the same in 64 bits.
std::int64_t RuntimeAtoi64(std::string_view text) noexcept;
// strtol for a 32-bit long: blanks, sign, then base 2-36, or base 0 for automatic
// ("0x"/"0X" hexadecimal, a leading "0" octal, else decimal). `consumed`, when given,
// receives the characters used (0 when no digit was read). Other bases give 0.
std::int32_t RuntimeStrtol(std::string_view text, int base, std::size_t* consumed = nullptr) noexcept;

}  // namespace vutil
