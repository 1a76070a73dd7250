// The save steps every catalog edit shares, whether the form is an inline
// dialog or a separate edit window: the duplicate test, the record lock (or
// the locked append of a new row), carrying a changed code into the tables
// that reference it, and the final unlock and grid refresh.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/data/wtable.h"
#include "lib/ui/browse.h"
#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

// A table whose rows point at a catalog code. Usually reached through a tag
// whose key begins with business + that code; where no such tag exists the
// business's rows are walked on `tag` and the field compared (kField), and a
// field holding a list of codes has the code replaced inside it (kInList).
struct CodeReference {
  enum class Match { kKeyPrefix, kField, kInList };
  std::string table;  // e.g. "ENC_PERS"
  std::string tag;    // e.g. "ENC_PERS16"
  std::string field;  // e.g. "PUESTO"
  Match match = Match::kKeyPrefix;
};

// `list` with every whole occurrence of code `old_code` replaced by
// `new_code` (codes compared without trailing blanks). A list is codes in
// brackets ("[ES][EN]") or separated by commas, semicolons or blanks; the
// other codes and the separators stay as they are.
std::string ReplaceCodeInList(const std::string& list, const std::string& old_code,
                              const std::string& new_code);

struct CatalogSave {
  WDBTable* table = nullptr;  // the catalog table, on the row being modified
  WBLISTBOX* grid = nullptr;
  WDIAG* owner = nullptr;  // the window the messages and the wait window belong to
  std::string business;    // table bytes, as stored in NEGOCIO
  int key_width = 0;
  int mode = 0;                   // 0 = add, 1 = modify
  uint32_t recno = 0;             // mode 1: the record loaded into the form
  std::string old_code;           // mode 1: its code as loaded (table bytes, padded)
  std::string duplicate_message;  // shown with title "Error"
  bool check_duplicates = true;   // false: a catalog that allows repeated codes
  std::vector<CodeReference> references;
  // When set, carries a changed code (old, new: table bytes) into the rows
  // that refer to it instead of `references`, under the same wait window;
  // for screens whose code change must be all or nothing. A fault it throws
  // leaves the catalog row locked for the caller to release.
  std::function<void(const std::string&, const std::string&)> rekey;
  std::string wait_text = "Un momento por favor...";
};

// Messages of a modification refused because the row changed under the form.
inline constexpr const char* kRowDeletedMeanwhile =
    "Otro usuario borró este registro mientras usted lo modificaba.\r\n"
    "Sus cambios no se guardaron.";
inline constexpr const char* kRowRekeyedMeanwhile =
    "Otro usuario cambió el código de este registro mientras usted lo modificaba.\r\n"
    "Sus cambios no se guardaron.";
inline constexpr const char* kBlankCode = "El código no puede quedar en blanco";

// What became of the record a form loaded (mode 1): still there with the
// business and code it had, deleted, or given another code. The table is
// left on that record.
enum class EditedRow { kSame, kDeleted, kRekeyed };
EditedRow CheckEditedRow(const CatalogSave& s);

// True when another row of the business already has `code` (table bytes,
// padded to the key width). In mode 1 the row being modified does not count.
// The table is left on the row it was on.
bool CatalogCodeTaken(const CatalogSave& s, const std::string& code);

// Steps 1–2 of saving: a blank code is refused; in mode 1 the record the
// form loaded must still be there with its code (else the user is told and
// nothing is written: the form never writes into whatever row the cursor is
// on); then the duplicate test (showing the message and returning
// false when it fails), then the lock of the row (mode 1, carrying a changed
// code into the referencing tables under the wait window) or the locked
// append of a new row with its NEGOCIO (mode 0). On true the row is locked
// and current; the caller writes CODIGO and its fields, then calls
// FinishCatalogWrite. On false nothing was written and no lock is held.
bool BeginCatalogWrite(const CatalogSave& s, const std::string& code);

// Step 3: writes, releases the lock and refreshes the grid (keeping the
// saved row selected).
void FinishCatalogWrite(const CatalogSave& s);

// Carries `old_code` into `new_code` in every row of `ref` of the business;
// returns the number of rows changed. A row another user keeps locked is
// waited for as the data layer waits (the user is told after 5 seconds), so
// no referencing row keeps the old code.
int PropagateCode(const CodeReference& ref, const std::string& business,
                  const std::string& old_code, const std::string& new_code);

// Deletes every row of `ref` of the business whose field holds `code`;
// returns the number deleted. Rows another user keeps locked are reported
// and left.
int DeleteCodeRows(const CodeReference& ref, const std::string& business, const std::string& code);

}  // namespace qz
