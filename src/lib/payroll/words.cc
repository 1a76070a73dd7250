#include "lib/payroll/words.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "lib/payroll/money.h"

namespace qz {
namespace {

// Hyphens mark where a word may be broken at the end of a line.
const char* const kUnidades[] = {"",        "UN",     "DOS",     "TRES",   "CUA-TRO",
                                 "CIN-CO",  "SEIS",   "SIE-TE",  "O-CHO",  "NUE-VE",
                                 "DIEZ",    "ON-CE",  "DO-CE",   "TRE-CE", "CA-TOR-CE",
                                 "QUIN-CE", "DIE-CI", "VEIN-TE", "VEIN-TI"};
const char* const kDecenas[] = {
    "",          "",          "",          "TREIN-TA", "CUA-REN-TA", "CIN-CUEN-TA",
    "SE-SEN-TA", "SE-TEN-TA", "O-CHEN-TA", "NO-VEN-TA"};
const char* const kCentenas[] = {"",
                                 "CIEN-TO ",
                                 "DOS-CIEN-TOS ",
                                 "TRES-CIEN-TOS ",
                                 "CUA-TRO-CIEN-TOS ",
                                 "QUI-NIEN-TOS ",
                                 "SEIS-CIEN-TOS ",
                                 "SE-TE-CIEN-TOS ",
                                 "O-CHO-CIEN-TOS ",
                                 "NO-VE-CIEN-TOS "};

const char* const kUnits[] = {"",        "ONE",     "TWO",       "THREE",     "FOUR",
                              "FIVE",    "SIX",     "SEVEN",     "EIGHT",     "NINE",
                              "TEN",     "ELEVEN",  "TWELVE",    "THIRTEEN",  "FOURTEEN",
                              "FIFTEEN", "SIXTEEN", "SEVENTEEN", "EIGHTTEEN", "NINETEEN"};
const char* const kTens[] = {"",      "",      "TWENTY",  "THIRTY", "FOURTY",
                             "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

std::string Spanish3(int n) {
  if (n == 100) return "CIEN";
  std::string s = kCentenas[n / 100];
  int r = n % 100;
  if (r == 0) return s;
  if (r <= 15) return s + kUnidades[r];
  if (r < 20) return s + kUnidades[16] + kUnidades[r - 10];
  if (r == 20) return s + kUnidades[17];
  if (r < 30) return s + kUnidades[18] + kUnidades[r - 20];
  s += kDecenas[r / 10];
  if (r % 10) s += std::string(" Y ") + kUnidades[r % 10];
  return s;
}

std::string English3(int n) {
  if (n == 100) return "HUNDRED";
  std::string s;
  if (n / 100) s = std::string(kUnits[n / 100]) + " HUNDRED ";
  int r = n % 100;
  if (r == 0) return s;
  if (r < 20) return s + kUnits[r];
  s += kTens[r / 10];
  if (r % 10) s += std::string(" ") + kUnits[r % 10];
  return s;
}

// Thousands and units of a number below one million.
std::string Below1M(long long n, bool en) {
  std::string s;
  int miles = static_cast<int>(n / 1000), unid = static_cast<int>(n % 1000);
  if (miles) s += (en ? English3(miles) : Spanish3(miles)) + (en ? " THOUSEND " : " MIL ");
  if (unid) s += en ? English3(unid) : Spanish3(unid);
  return s;
}

}  // namespace

std::string AmountWords(double monto, bool sin_centavos, int idioma) {
  bool en = idioma == 2;
  double a = std::fabs(RoundHalfAway(monto, 2));
  if (a >= 1e15) a = 0;  // beyond what a cheque line can hold
  long long total = std::llround(a * 100);
  long long entero = total / 100;
  int centavos = static_cast<int>(total % 100);
  // Above 999,999,999 the millions group itself is written with thousands
  // ("MIL DOS-CIEN-TOS MI-LLO-NES") instead of overflowing.
  long long millones = entero / 1000000;
  std::string s;
  if (millones) {
    s += Below1M(millones, en);
    if (millones == 1)
      s += en ? " MILLION " : " MI-LLON ";
    else
      s += en ? " MILLIONS " : " MI-LLO-NES ";
  }
  s += Below1M(entero % 1000000, en);
  if (s.empty()) s = en ? "ZERO" : "CERO";
  if (!en && s.size() >= 2 && s.compare(s.size() - 2, 2, "UN") == 0) s += "O";
  if (!sin_centavos) {
    if (centavos == 0) {
      s += en ? " EXACT" : " EXACTOS";
    } else {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%02d/100", centavos);
      s += (en ? " WITH " : " CON ") + std::string(buf);
    }
  }
  return s;
}

std::string LayoutFirstLine(const std::string& text, int ancho) {
  // Words (runs without blanks), each a list of syllables.
  std::vector<std::vector<std::string>> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    size_t j = text.find(' ', i);
    if (j == std::string::npos) j = text.size();
    std::vector<std::string> syl;
    size_t k = i;
    while (k <= j) {
      size_t h = text.find('-', k);
      if (h == std::string::npos || h > j) h = j;
      if (h > k) syl.push_back(text.substr(k, h - k));
      k = h + 1;
    }
    if (!syl.empty()) words.push_back(std::move(syl));
    i = j;
  }
  if (ancho <= 0) {
    std::string whole;
    for (const auto& w : words) {
      if (!whole.empty()) whole += ' ';
      for (const auto& s : w) whole += s;
    }
    return whole;
  }
  const size_t width = static_cast<size_t>(ancho);
  std::string line;
  for (const auto& w : words) {
    std::string sep = line.empty() ? "" : " ";
    std::string joined;
    for (const auto& s : w) joined += s;
    if (line.size() + sep.size() + joined.size() <= width) {
      line += sep + joined;
      continue;
    }
    // Break inside the word after as many whole syllables as fit with the "-".
    std::string head;
    for (size_t k = 0; k + 1 < w.size(); ++k) {
      if (line.size() + sep.size() + head.size() + w[k].size() + 1 > width) break;
      head += w[k];
    }
    if (!head.empty()) {
      line += sep + head + "-";
    } else if (line.empty()) {
      line = joined.substr(0, width);  // a width narrower than one syllable
    }
    break;  // the first line is complete
  }
  if (line.size() < width) line.append(width - line.size(), '/');
  return line;
}

std::string MONEX(double monto, int ancho, bool sin_centavos) {
  return LayoutFirstLine(AmountWords(monto, sin_centavos, 1), ancho);
}

std::string MONEXINGLES(double monto, int ancho) {
  return LayoutFirstLine(AmountWords(monto, false, 2), ancho);
}

std::string MONEX2(double monto, int ancho, bool sin_centavos, int idioma) {
  return LayoutFirstLine(AmountWords(monto, sin_centavos, idioma == 2 ? 2 : 1), ancho);
}

std::string DIAS_EN_LETRAS(int dia, int forma) {
  static const char* const kLargo[] = {"DOMINGO", "LUNES",   "MARTES", "MIERCOLES",
                                       "JUEVES",  "VIERNES", "SABADO"};
  static const char* const kCorto[] = {"DO", "LU", "MA", "MI", "JU", "VI", "SA"};
  if (dia < 1 || dia > 7) return "-----------";
  return forma == 1 ? kCorto[dia - 1] : kLargo[dia - 1];
}

std::string MES_EN_LETRAS(int mes, int idioma) {
  static const char* const kEs[] = {"ENERO",     "FEBRERO", "MARZO",     "ABRIL",
                                    "MAYO",      "JUNIO",   "JULIO",     "AGOSTO",
                                    "SETIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};
  static const char* const kEn[] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                    "MAY",       "JUNE",     "JULY",     "AUGUST",
                                    "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
  if (mes < 1 || mes > 12) return "-----------";
  return idioma == 1 ? kEs[mes - 1] : kEn[mes - 1];
}

}  // namespace qz
