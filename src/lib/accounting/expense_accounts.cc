#include "lib/accounting/expense_accounts.h"

#include <algorithm>

#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/definitions.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qz {
namespace {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;

constexpr size_t kAccountWidth = 15;

std::string Fit(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

// Replaces the run of "X" that `mask` marks in `account` with `prefix`.
std::string PutPrefix(const std::string& account, const std::string& mask,
                      const std::string& prefix) {
  const size_t first = mask.find('X');
  if (first == std::string::npos) return account.substr(0, std::min(account.size(), kAccountWidth));
  const size_t len = mask.rfind('X') - first + 1;
  std::string out = account;
  if (out.size() < first + len) out.resize(first + len, ' ');
  out.replace(first, len, Fit(prefix, len));
  return out.substr(0, std::min(out.size(), kAccountWidth));
}

// Every row of `name` in the business, in `tag` order.
template <typename Fn>
void EachRow(const std::string& name, const std::string& tag, const std::string& negocio, Fn fn) {
  TablePtr t = USE(nullptr, name, tag);
  xb::Table& table = t->table();
  const std::string key = Padded(table, "NEGOCIO", xb::FromUtf8(negocio));
  for (uint32_t r : RowsOf(*t, tag, key))
    if (table.GoTo(r).ok() && !table.Eof()) fn(table);
  KILLTABLA(t);
}

}  // namespace

std::string ExpenseText(const xb::Table& t, const char* field) {
  std::string s = xb::ToUtf8(Raw(t, field));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string AccountFromLink(const std::string& cuenta, const std::string& formato,
                            const std::string& prefijo) {
  return PutPrefix(cuenta, formato, prefijo);
}

std::string OwnAccountForCentre(const std::string& cuenta, const std::string& prefijo) {
  return PutPrefix(cuenta, cuenta, prefijo);
}

std::string OwnAccountWithoutCentre(const std::string& cuenta) {
  std::string s = cuenta;
  std::replace(s.begin(), s.end(), 'X', ' ');
  s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return Fit(s.substr(0, std::min(s.size(), kAccountWidth)), kAccountWidth);
}

ExpenseReference::ExpenseReference(const std::string& negocio) {
  std::map<std::string, std::string> analysis;
  EachRow("DET_LIGA", "DET_LIGA", negocio, [&](xb::Table& t) {
    analysis[ExpenseText(t, "CODIGO")] = ExpenseText(t, "C_ANALIZA");
  });
  EachRow("LIGAS", "LIGA3", negocio, [&](xb::Table& t) {
    ExpenseLink l;
    l.codigo = ExpenseText(t, "CODIGO");
    l.descrip = ExpenseText(t, "DESCRIP");
    l.cuenta = Fit(ExpenseText(t, "CUENTA"), kAccountWidth);
    l.formato = ExpenseText(t, "FORMATO_CC");
    l.debito = NumField(t, "TIPO") != 0;
    auto a = analysis.find(l.codigo);
    if (a != analysis.end()) l.c_analiza = a->second;
    const std::string key = ExpenseText(t, "MODULO") + "|" + l.codigo;
    links_.emplace(key, std::move(l));  // the first of a repeated code counts
  });
  EachRow("C_COSTOS", "C_COSTOS", negocio, [&](xb::Table& t) {
    centres_[ExpenseText(t, "CODIGO")] = {xb::ToUtf8(Raw(t, "PREFIJO")), ExpenseText(t, "DESCRIP")};
  });
  EachRow("CUENTAS", "CUENTAS", negocio, [&](xb::Table& t) {
    accounts_[ExpenseText(t, "CUENTA")] = ExpenseText(t, "DESCRIP");
  });
  EachRow("CUEN_LIB", "CUEN_LIB", negocio, [&](xb::Table& t) {
    banks_[ExpenseText(t, "BANCO") + "|" + ExpenseText(t, "CUENTA")] = ExpenseText(t, "ASIENTO1");
  });
  EachRow("D_COSTO", "D_COSTO1", negocio, [&](xb::Table& t) {
    tables_[ExpenseText(t, "CODIGO")].push_back(
        {ExpenseText(t, "COD_CENTRO"), NumField(t, "PORCENTAJE") / 100});
  });
  EachRow("DET_DEP3", "DET_DEP3A", negocio, [&](xb::Table& t) {
    departments_[ExpenseText(t, "DEPTO")].push_back(
        {ExpenseText(t, "COD_CENTRO"), NumField(t, "PORCENTAJE") / 100});
  });
}

const ExpenseLink* ExpenseReference::Link(const std::string& modulo,
                                          const std::string& codigo) const {
  if (codigo.empty()) return nullptr;
  auto it = links_.find(modulo + "|" + codigo);
  return it == links_.end() ? nullptr : &it->second;
}

const ExpenseReference::Centre* ExpenseReference::FindCentre(const std::string& codigo) const {
  auto it = centres_.find(codigo);
  return it == centres_.end() ? nullptr : &it->second;
}

std::string ExpenseReference::AccountDescription(const std::string& cuenta) const {
  std::string key = cuenta;
  key.erase(key.find_last_not_of(' ') + 1);
  auto it = accounts_.find(key);
  return it == accounts_.end() ? std::string() : it->second;
}

std::string ExpenseReference::BankLink(const std::string& banco, const std::string& cuenta) const {
  auto it = banks_.find(banco + "|" + cuenta);
  return it == banks_.end() ? std::string() : it->second;
}

const std::vector<SplitPart>* ExpenseReference::TableSplit(const std::string& tabla) const {
  auto it = tables_.find(tabla);
  return it == tables_.end() ? nullptr : &it->second;
}

const std::vector<SplitPart>* ExpenseReference::DepartmentSplit(const std::string& depto) const {
  auto it = departments_.find(depto);
  return it == departments_.end() ? nullptr : &it->second;
}

}  // namespace qz
