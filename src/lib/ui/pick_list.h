// Pick lists: every foreign-key field of a form (a department's payroll
// type, an employee's position ...) takes a code of another table. The user
// types the code (it is looked up and its description shown beside it) or
// opens the list, a grid over the table ordered by code or by description
// in which typing seeks, and picks a row.
//
// The dialog is template "OBSEARCH" (the search dialog, which the usage log
// leaves out): "Buscar:" (501) with "&Buscar" (201), the orders "Código"
// (1001) and "Descripción" (1002), the grid (700), "&Aceptar" (1) and
// "&Cancelar" (2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "xbase/table.h"

namespace qz {

class Desktop;
class WDIAG;

struct PickSource {
  xb::Table* table = nullptr;  // the looked-up table (not owned)
  std::string business;        // key prefix of both tags (Windows-1252), "" = none
  std::string code_field = "CODIGO";
  std::string descrip_field = "DESCRIP";
  std::string code_tag;     // business + code
  std::string descrip_tag;  // business + description ("" = code order only)
  std::string code_picture;     // "" = as the field
  std::string descrip_picture;  // "" = as the field
  std::string title = "Búsqueda";
};

struct PickChoice {
  std::string code;     // UTF-8, trimmed
  std::string descrip;  // UTF-8, trimmed
  uint32_t recno = 0;
};

// The row whose code is `code` (UTF-8, blank-padded to the field; upper case
// when the code picture starts with "!"), or nothing. The table keeps its
// order, scope and record.
std::optional<PickChoice> PickLookup(const PickSource& s, const std::string& code);

// Runs the pick dialog over `s` owned by `owner`, starting on the row `start`
// (a code, or the beginning of a description when `by_description`) leads
// to. The chosen row, or nothing when the user cancelled. The table keeps
// its order, scope and record.
std::optional<PickChoice> PickFromList(Desktop& desktop, WDIAG* owner, const PickSource& s,
                                       const std::string& start = {},
                                       bool by_description = false);

// A foreign-key field of a form: the edit holding the code, the label that
// shows its description and the button that opens the pick list.
class PickField {
 public:
  // Registers `button_id` on `form` (0 = no button).
  PickField(WDIAG& form, int edit_id, int descrip_id, int button_id, PickSource source);

  // Looks up the code in the edit and shows its description. A code that
  // does not exist clears the description and, with `tell`, says so
  // ("Código no existe", title "Error"). A blank code is valid only when
  // `optional`.
  bool Validate(bool tell = true);
  // Opens the pick list; a chosen row fills the edit and the description.
  bool Choose();
  // The row validated or chosen last.
  const std::optional<PickChoice>& value() const { return value_; }
  bool optional = false;

 private:
  WDIAG& form_;
  int edit_id_, descrip_id_;
  PickSource source_;
  std::optional<PickChoice> value_;
};

inline constexpr const char* kPickTemplate = "OBSEARCH";
inline constexpr const char* kPickUnknownCode = "Código no existe";

}  // namespace qz
