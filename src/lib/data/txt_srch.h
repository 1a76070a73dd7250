// The word index: the searchable words of the registered tables' text
// fields, one row per (business, table, document, word) in TXT_SRCH. Rows
// are never deleted: a freed row gets the business 15 × "X" and is reused
// by the next word added. Words are compared as prefixes throughout, so a
// stored MESAS also stands for MESA.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lib/data/use.h"

namespace qz {

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
  // Locks a free row for reuse without waiting: a free row another user holds
  // is passed over. False when none could be had.
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

// The indexed text of one record, as the lock finds it.
struct RecordWords {
  int area = 0;
  std::string table;  // the area's file name: the area may hold another table later
  uint32_t recno = 0;
  bool registered = false;  // the table is in the registry and the index exists
  bool deleted = false;
  std::string business, document;
  std::vector<std::string> texts;  // every character field of 10+ characters
};

// What the lock takes: the record's words before the edit.
RecordWords WordsOf(int area);
// What the release does once the record is written: the words of `before`
// (when it is the same record) leave the index and the record's current ones
// enter it. An edit that fails before its release so never loses the words
// the record still has.
void ReplaceWords(const RecordWords* before, int area);
}  // namespace qz
