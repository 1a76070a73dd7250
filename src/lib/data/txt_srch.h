// The word index: the searchable words of the registered tables' text
// fields, one row per (business, table, document, word) in TXT_SRCH. Rows
// are never deleted: a freed row gets the business 15 × "X" and is reused
// by the next word added. Words are compared as prefixes throughout, so a
// stored MESAS also stands for MESA.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lib/data/use.h"

namespace qz {

enum class WordIndexMode { kRemove, kAdd };

class TXT_SRCH {
 public:
  static constexpr int kBusinessLen = 15;
  static constexpr int kTableLen = 10;
  static constexpr int kDocumentLen = 15;

  // Opens the word-index table.
  explicit TXT_SRCH(void* parent);
  ~TXT_SRCH();

  void SET_NEGOCIO(void* parent, const std::string& negocio);
  // `text` is table bytes (Windows-1252).
  void ADD_TEXTO(const std::string& document, int id, const std::string& text,
                 const std::string& table_name = "");
  void DEL_TEXTO(const std::string& document, int id, const std::string& text,
                 const std::string& table_name = "");
  // The {table, document} pairs whose words begin with every given word.
  std::vector<std::pair<std::string, std::string>> SEARCH(const std::vector<std::string>& words,
                                                          const std::vector<std::string>& tables);

  TablePtr TXT_SRCH_;  // the open index table
  void* oParent = nullptr;
  std::string Negocio;
  int Max_Items = 20000;

 private:
  void AddWord(const std::string& table, const std::string& document, const std::string& word);
  void FreeWord(const std::string& table, const std::string& document, const std::string& word);
  bool TakeFreeRow();
};

// The words of a text as the index keeps them: upper case, split at blanks,
// longer than 2 characters.
std::vector<std::string> IndexWords(const std::string& text);
// Upper case for Windows-1252 bytes (accented letters included).
std::string UpperCp1252(std::string s);

// Loads the registry F_TXT_S into XTXT_SRCH_FILES and creates the index
// object, when BASES has F_TXT_S.
void LoadWordIndexRegistry(void* parent);

// Algorithm run by the lock (remove) and the release (add) on the current
// record of `area`, when its table is registered.
void MaintainWordIndex(int area, WordIndexMode mode);

}  // namespace qz
