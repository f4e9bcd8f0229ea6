#pragma once
// The three token operations with which every text line is read: net file,
// input file and the values of command-line mode letters.

#include <cstdint>
#include <string_view>

namespace velkor {

// Removes leading blanks; returns the text before the first blank and leaves
// the text after that blank, cut to its first 99 characters. A line without a
// blank is consumed whole. Only the space character separates words.
std::string_view naechstesWort(std::string_view& zeile);

// Reads the next word as a signed 32-bit whole number (decimal with optional
// sign, or hexadecimal after "$", "x", "X", "0x", "0X"). An empty rest yields
// -1 with the flag clear. On a failed conversion the flag is set and the value
// of the digits before the bad character, without sign, is returned. The line
// keeps the text from the ending blank on, without the 99-character cut.
int32_t naechsteGanzzahl(std::string_view& zeile, bool& fehler);

// The same for a 64-bit real; an empty rest yields -1.0.
double naechsteReal(std::string_view& zeile, bool& fehler);

}  // namespace velkor
