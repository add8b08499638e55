// Numbers as text: the plain conversion Str, the caption form numberText and
// the reader that takes the value of a text.
#pragma once

#include <string>
#include <string_view>

namespace qel {

// Str of a 64-bit float: up to 15 significant digits, a leading blank for a
// number that is not negative, no zero before a leading decimal point
// (" .25", "-.5"), no trailing zeros. Magnitudes below 1E-4 and from 1E+15
// (after rounding to 15 digits) are written in exponent form: " 1E-05",
// " 1.5E+16", "-2.5E-07"; the exponent has a sign and at least two digits.
std::string strDouble(double v);

// Str of a 32-bit float: the same with 7 significant digits, exponent form
// below 1E-4 and from 1E+07, so that 1.1f reads " 1.1".
std::string strSingle(float v);

// Str trimmed, with "0" in front of a value in (0, 1) and "-0" in front of the
// magnitude of a value in (-1, 0): 0.25 -> "0.25", -0.25 -> "-0.25",
// 1E-20 -> "01E-20".
std::string numberText(double v);
std::string numberText(float v);

// The value of a text: blanks, tabs and line feeds are ignored wherever they
// stand; an optional sign, digits with at most one decimal point and an
// optional exponent (E, e, D or d, optional sign, digits) are read; reading
// stops at the first other character; a text without digits reads 0.
// A number too large for a 64-bit float reads as 0, like a text that holds
// no number, so that callers never see an infinity or NaN; only the text Str
// writes for the largest doubles (up to 1.79769313486232E+308) reads as the
// largest double, so that every number Str writes reads back. Whether a 0
// came from such a number, numberOverflows tells.
double valueOfText(std::string_view text);

// True when the number at the start of `text` lies beyond the range of a
// 64-bit float (and beyond what Str writes for the largest ones): such a
// number is no 0 but larger than any range a value may have, so every
// check of a value refuses it rather than taking the 0 it reads as.
bool numberOverflows(std::string_view text);

// Removes blanks at both ends (the platform's Trim).
std::string trimBlanks(std::string_view text);

}  // namespace qel
