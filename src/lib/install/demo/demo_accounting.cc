// What the accounting screens show beyond the centres, links, tables and
// splits the department and employee parts write: a prefix of its own for
// each centre, a table shared by management and sales, employees whose cost
// follows a distribution table, links by position, the process-control flags
// of each department and the columns of the data-entry grid.
#include <map>

#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

const std::map<std::string, std::string> kPrefixes = {
    {"CC-ADM", "10"}, {"CC-REC", "20"}, {"CC-REST", "31"}, {"CC-BAR", "32"}, {"CC-COC", "33"},
    {"CC-AMA", "40"}, {"CC-MAN", "50"}, {"CC-SEG", "60"}, {"CC-VEN", "70"}};

std::string Key(const std::string& utf8, size_t width) {
  std::string k = Cp1252(utf8);
  k.resize(width, ' ');
  return k;
}

std::string Bytes(xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

// Puts `fill`'s fields into every row of `table` (written by an earlier
// part) for which `match` holds.
xb::Status UpdateRows(Context& c, const std::string& table,
                      const std::function<bool(xb::Table&)>& match,
                      const std::function<void(xb::Table&)>& fill) {
  auto t = c.Open(table);
  if (!t.ok()) return t.status();
  XB_RETURN_IF_ERROR((*t)->GoTop());
  for (; !(*t)->Eof(); (*t)->Skip(1)) {
    if (!match(**t)) continue;
    fill(**t);
    XB_RETURN_IF_ERROR((*t)->WriteBack());
  }
  return xb::Status::OK();
}

xb::Status AddSharedTable(Context& c, const std::string& n) {
  XB_RETURN_IF_ERROR(c.Add("E_COSTO", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "0003").Set("DESCRIP", "Gerencia y ventas");
  }));
  for (const auto& [centre, pct] : {std::pair<const char*, double>{"CC-ADM", 50}, {"CC-VEN", 50}})
    XB_RETURN_IF_ERROR(c.Add("D_COSTO", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", "0003").Set("COD_CENTRO", centre).Set("PORCENTAJE", pct);
    }));
  return xb::Status::OK();
}

// Two employees with their own split of the base salary follow the table of
// their department's centres; one administrator follows the shared table.
xb::Status AssignTables(Context& c, const Business& b) {
  std::map<std::string, std::string> table_of;
  int split = 0;
  bool shared = false;
  for (const auto& e : c.employees) {
    if (e.business != b.code || !e.active) continue;
    if (e.split && e.dept == "AYB" && split < 2) {
      table_of[Key(e.code, 15)] = "0001";
      ++split;
    } else if (!e.split && e.dept == "ADM" && !shared) {
      table_of[Key(e.code, 15)] = "0003";
      shared = true;
    }
  }
  const std::string n = Key(b.code, 15);
  return UpdateRows(
      c, "ENC_PERS",
      [&](xb::Table& t) { return Bytes(t, "NEGOCIO") == n && table_of.count(Bytes(t, "CODIGO")); },
      [&](xb::Table& t) { t.Put("DIST_COST", xb::Value::Char(table_of[Bytes(t, "CODIGO")])); });
}

// The base salary and the overtime of two positions of the first two
// departments; the overtime is also kept as a statistical account.
xb::Status AddLinksByPosition(Context& c, const Business& b) {
  int departments = 0;
  for (const auto& code : b.departments) {
    if (departments++ == 2) break;
    const Department& d = c.departments.at(code);
    std::string base, overtime;
    for (const auto& l : d.layout) {
      const ColumnType* t = c.Column(l.column);
      if (!t) continue;
      if (t->base && base.empty()) base = t->code;
      if (t->dependent && overtime.empty()) overtime = t->code;
    }
    for (size_t p = 0; p < d.positions.size() && p < 2; ++p) {
      for (const auto& [column, link, statistic] :
           {std::tuple<std::string, const char*, int>{base, "PL-SALARIO", 0},
            {overtime, "PL-EXTRAS", 0},
            {overtime, "PL-SALARIO", 1}}) {
        if (column.empty()) continue;
        XB_RETURN_IF_ERROR(c.Add("MAP_PLA", [&](Row& r) {
          r.Set("NEGOCIO", b.code).Set("DEPTO", d.code).Set("PUESTO", d.positions[p]);
          r.Set("COD_COLUMN", column).Set("LIGA_CONTA", link).Set("STATISTIC", statistic);
        }));
      }
    }
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status AddAccountingSettings(Context& c) {
  for (const auto& b : c.businesses) {
    const std::string n = Key(b.code, 15);
    XB_RETURN_IF_ERROR(UpdateRows(
        c, "C_COSTOS", [&](xb::Table& t) { return Bytes(t, "NEGOCIO") == n; },
        [&](xb::Table& t) {
          std::string code = xb::ToUtf8(Bytes(t, "CODIGO"));
          code.erase(code.find_last_not_of(' ') + 1);
          auto it = kPrefixes.find(code);
          if (it != kPrefixes.end()) t.Put("PREFIJO", xb::Value::Char(Key(it->second, 10)));
        }));
    XB_RETURN_IF_ERROR(AddSharedTable(c, b.code));
    XB_RETURN_IF_ERROR(AssignTables(c, b));
    XB_RETURN_IF_ERROR(AddLinksByPosition(c, b));
    // Every department books electronic payment, provisions and the year-end
    // bonus; cash and cheques only some.
    int index = 0;
    XB_RETURN_IF_ERROR(UpdateRows(
        c, "ENC_DEPT", [&](xb::Table& t) { return Bytes(t, "NEGOCIO") == n; },
        [&](xb::Table& t) {
          t.Put("PRO_CONTA1", xb::Value::Number(index % 3 == 0 ? 1 : 0));
          t.Put("PRO_CONTA2", xb::Value::Number(index % 2));
          t.Put("PRO_CONTA3", xb::Value::Number(1));
          t.Put("PRO_CONTA4", xb::Value::Number(1));
          t.Put("PRO_CONTA5", xb::Value::Number(1));
          ++index;
        }));
    // The data-entry grid offers the first columns that hold values.
    std::vector<std::string> slots;
    for (const auto& col : c.columns)
      if (col.kind != 4 && !col.info && slots.size() < 6) slots.push_back(col.code);
    XB_RETURN_IF_ERROR(UpdateRows(
        c, "F_PLAN", [&](xb::Table& t) { return Bytes(t, "NEGOCIO") == n; },
        [&](xb::Table& t) {
          for (int i = 1; i <= 20; ++i) {
            const std::string field = "COD_COL" + std::to_string(i);
            const size_t slot = static_cast<size_t>(i - 1);
            t.Put(field, xb::Value::Char(slot < slots.size() ? Key(slots[slot], 2) : "  "));
          }
        }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
