// Accounts of the expense distribution: how a cost centre's prefix is put
// into an account template, and the reference rows a run reads once (links,
// centres, accounts, bank accounts, distribution tables and department
// splits), kept in memory so the per-employee work seeks only the
// employee's own rows.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace xb {
class Table;
}

namespace qz {

// The account of a link for a centre: the run of "X" in `formato` (first to
// last "X") says where and how many characters of `cuenta` the prefix
// replaces (the prefix cut or blank-padded to that length). A mask without
// "X" leaves the account as it is. Cut to 15 characters.
std::string AccountFromLink(const std::string& cuenta, const std::string& formato,
                            const std::string& prefijo);
// An own account for a centre: the same with the "X" run of the account
// itself.
std::string OwnAccountForCentre(const std::string& cuenta, const std::string& prefijo);
// An own account without centre: its "X" become blanks, trimmed, padded to 15.
std::string OwnAccountWithoutCentre(const std::string& cuenta);

struct ExpenseLink {
  std::string codigo, descrip, cuenta, formato;
  bool debito = false;  // TIPO not 0
  std::string c_analiza;
};

// One part of a split: the centre and its fraction (PORCENTAJE / 100).
struct SplitPart {
  std::string centro;
  double fraccion = 0;
};

// What a run reads once per business. Codes are keys trimmed of their
// trailing blanks; texts are UTF-8.
class ExpenseReference {
 public:
  // Reads the business's rows. A table that cannot be opened is a fault.
  explicit ExpenseReference(const std::string& negocio);

  // The link of `modulo` ("06", "04"); null when there is none.
  const ExpenseLink* Link(const std::string& modulo, const std::string& codigo) const;
  // The centre; null when it does not exist.
  struct Centre {
    std::string prefijo_raw;  // as stored, blank padded
    std::string descrip;
  };
  const Centre* FindCentre(const std::string& codigo) const;
  std::string AccountDescription(const std::string& cuenta) const;  // "" when unknown
  // ASIENTO1 of the bank account; "" when the account does not exist.
  std::string BankLink(const std::string& banco, const std::string& cuenta) const;
  const std::vector<SplitPart>* TableSplit(const std::string& tabla) const;
  const std::vector<SplitPart>* DepartmentSplit(const std::string& depto) const;

 private:
  std::map<std::string, ExpenseLink> links_;  // modulo + "|" + code
  std::map<std::string, Centre> centres_;
  std::map<std::string, std::string> accounts_;
  std::map<std::string, std::string> banks_;  // banco + "|" + cuenta -> ASIENTO1
  std::map<std::string, std::vector<SplitPart>> tables_, departments_;
};

// A field's text, trimmed of trailing blanks, in UTF-8 ("" when missing).
std::string ExpenseText(const xb::Table& t, const char* field);

}  // namespace qz
