// Amounts, weekdays and months in words, as printed on cheques, pay slips and
// salary certificates (Spanish and English).
#pragma once

#include <string>

namespace qz {

// MONEX: the amount in Spanish words, e.g. 1,000.00 -> "UN MIL EXACTOS",
// laid out in lines of `ancho` characters (words and syllables kept whole, a
// line broken inside a word ends with "-", every line padded with "/"); the
// result is the first line, so callers pass a width that holds the whole text.
// `sin_centavos` leaves out the cents part (" CON nn/100" or " EXACTOS").
std::string MONEX(double monto, int ancho, bool sin_centavos = false);
// MONEXINGLES: the same in English ("ONE THOUSEND EXACT").
std::string MONEXINGLES(double monto, int ancho);
// MONEX2: language 1 Spanish (default), 2 English.
std::string MONEX2(double monto, int ancho, bool sin_centavos = false, int idioma = 1);

// The whole text before it is laid out in lines, with the syllable marks
// ("-") still in it; what MONEX and MONEXINGLES lay out.
std::string AmountWords(double monto, bool sin_centavos, int idioma);
// Lays `text` out in lines of `ancho` and returns the first one.
std::string LayoutFirstLine(const std::string& text, int ancho);

// DIAS_EN_LETRAS: weekday 1 (Sunday) .. 7; forma 0 full name, 1 two letters.
std::string DIAS_EN_LETRAS(int dia, int forma = 0);
// MES_EN_LETRAS: month 1..12; idioma 1 Spanish (default), otherwise English.
std::string MES_EN_LETRAS(int mes, int idioma = 1);

}  // namespace qz
