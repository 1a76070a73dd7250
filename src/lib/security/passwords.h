// Stored passwords of the suite: a small reversible scrambling that every
// program of the suite reads and writes, so it must stay exactly as it is.
// With mode 0 the text is returned unchanged; otherwise each of the first n
// characters (n = the length without blanks at either end, counted from the
// start of the untrimmed text) becomes the character whose code is its code
// XOR its 1-based position, and the result keeps the input's length.
#pragma once

#include <string>

namespace qz {

inline constexpr int kPasswordWidth = 10;

std::string ENCRYPT_STRING(const std::string& text, int mode = 1);
std::string DECRYPT_STRING(const std::string& text, int mode = 1);

// Whether `typed` (table bytes) is the password stored as `stored` with
// scrambling mode `mode`. Both are compared padded or cut to 10 characters.
// A scrambled character can come out as a blank at either end of the field,
// where unscrambling the stored text would lose it; scrambling what was typed
// and comparing the stored bytes avoids that.
bool PasswordMatches(const std::string& typed, const std::string& stored, int mode);

// Whether a password survives a round trip through a stored field: no
// scrambled character may be a blank or a control character, or trimming
// and padding would change it.
bool StorablePassword(const std::string& text);

}  // namespace qz
