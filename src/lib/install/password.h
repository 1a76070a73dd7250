// The suite's password scrambling (stored passwords are scrambled, mode 1):
// each of the first n characters, n the length of the text without blanks at
// either end, becomes the character whose code is its code XOR its position
// (1-based); the result keeps the input's length.
#pragma once

#include <string>

namespace qz {

// The same routine scrambles and unscrambles. Mode 0 returns the text as it is.
std::string ScramblePassword(const std::string& text, int mode = 1);

// Whether a password survives a round trip through a stored field: no
// scrambled character may be a blank or a control character, or trimming
// and padding would change it.
bool StorablePassword(const std::string& text);

}  // namespace qz
