#include "lib/accounting/sap_tables.h"

#include <functional>

#include "lib/accounting/row_fields.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

using Fill = std::function<xb::Status(xb::Table&)>;

xb::Status Append(xb::Table& t, const Fill& fill) {
  XB_RETURN_IF_ERROR(t.Append());
  const uint32_t recno = t.RecNo();
  xb::Status s = fill(t);
  xb::Status w = t.WriteBack();
  t.UnlockRecord(recno);
  return s.ok() ? w : s;
}

xb::Value C(const std::string& s) {
  return xb::Value::Char(s);
}
xb::Value N(double d) {
  return xb::Value::Number(d);
}
xb::Value D(int32_t jd) {
  return xb::Value::Date(jd);
}

xb::Status PutTotals(xb::Table& t, const SapTotals& s) {
  return PutFields(t, {{"S_TOTAL", N(s.s_total)},
                       {"D_TOTAL", N(s.d_total)},
                       {"R_TOTAL", N(s.r_total)},
                       {"IND_TOTAL", N(s.ind_total)},
                       {"I_TOTAL", N(s.i_total)}});
}

xb::Status PutColumn(xb::Table& t, const std::string& codigo, const std::string& col,
                     const std::string& depto, int32_t fecha, const SapAmounts& a) {
  static const char* const kFields[] = {"RESULTADO", "RESULTADO2", "RESULTADO3", "RESULTADO4",
                                        "RESULTADO5"};
  // One row per employee and column: written field by field, without the
  // copies a list of values would make.
  XB_RETURN_IF_ERROR(t.Put("CODIGO", C(codigo)));
  XB_RETURN_IF_ERROR(t.Put("COD_COLUMN", C(col)));
  XB_RETURN_IF_ERROR(t.Put("DEPTO", C(depto)));
  XB_RETURN_IF_ERROR(t.Put("FECHA", D(fecha)));
  for (size_t i = 0; i < a.r.size(); ++i) XB_RETURN_IF_ERROR(t.Put(kFields[i], N(a.r[i])));
  return xb::Status::OK();
}

xb::Status Clear(xb::Table* t) {
  if (!t) return xb::Status::OK();
  for (xb::Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) {
    if (t->Deleted()) continue;
    const uint32_t recno = t->RecNo();
    XB_RETURN_IF_ERROR(t->LockRecord(recno));
    xb::Status d = t->Delete();
    if (d.ok()) d = t->WriteBack();
    t->UnlockRecord(recno);
    XB_RETURN_IF_ERROR(d);
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status ClearSapWorkTables(const SapWorkTables& t) {
  for (xb::Table* x : {t.tmp_pla4, t.tmp_pla5, t.tmp_pl11, t.tmp_pl12, t.tmp_pl13})
    XB_RETURN_IF_ERROR(Clear(x));
  return xb::Status::OK();
}

xb::Status WriteSapWorkTables(const SapComputation& c, const std::vector<SapLine>& lines,
                              const SapWorkTables& t) {
  for (const auto& d : c.departments) {
    if (t.tmp_pl11)
      XB_RETURN_IF_ERROR(Append(*t.tmp_pl11, [&](xb::Table& x) {
        XB_RETURN_IF_ERROR(
            PutFields(x, {{"DEPTO", C(d.depto)}, {"CE_COS", C(d.cecos)}, {"EXTRA", N(d.extra)}}));
        return PutTotals(x, d.totals);
      }));
    if (t.tmp_pl12)
      for (const auto& [col, a] : d.columns)
        XB_RETURN_IF_ERROR(Append(*t.tmp_pl12, [&](xb::Table& x) {
          return PutColumn(x, "", col, d.depto, d.fecha, a);
        }));
  }
  for (const auto& e : c.employees) {
    if (t.tmp_pla4)
      XB_RETURN_IF_ERROR(Append(*t.tmp_pla4, [&](xb::Table& x) {
        const std::pair<const char*, std::string> texts[] = {
            {"CODIGO", e.codigo},         {"COD_SEGURO", e.cod_seguro}, {"SEGURO_PAT", e.seguro_pat},
            {"NOMBRE", e.nombre},         {"DEPTO", e.depto},           {"IDENTIFICA", e.identifica},
            {"MONEDA", e.moneda},         {"A_DEPTO", e.a_depto},       {"ID_INTERNO", e.id_interno},
            {"TELEFONO1", e.telefono1},   {"TELEFONO2", e.telefono2},   {"EMAIL", e.email},
            {"GAFETE", e.gafete},         {"TEXTO", e.texto}};
        for (const auto& [f, v] : texts) XB_RETURN_IF_ERROR(x.Put(f, C(v)));
        XB_RETURN_IF_ERROR(PutFields(x, {{"ACTUAL", N(1)},
                                         {"EXTRA", N(e.extra)},
                                         {"CONTADOR", N(e.contador)},
                                         {"FECHA", D(e.fecha)},
                                         {"NACIMIENTO", D(e.nacimiento)},
                                         {"F_INICIO", D(e.f_inicio)},
                                         {"F_RETIRO", D(e.f_retiro)}}));
        return PutTotals(x, e.totals);
      }));
    if (t.tmp_pla5)
      for (const auto& [col, a] : e.columns)
        XB_RETURN_IF_ERROR(Append(*t.tmp_pla5, [&](xb::Table& x) {
          return PutColumn(x, e.codigo, col, e.depto, e.fecha, a);
        }));
  }
  if (t.tmp_pl13)
    for (const auto& l : lines)
      XB_RETURN_IF_ERROR(Append(*t.tmp_pl13, [&](xb::Table& x) {
        return PutFields(x, {{"COLUMNA", C(l.columna)},
                             {"ORDEN", N(l.orden)},
                             {"BLOQUE", C(l.bloque)},
                             {"CUENTA", C(l.cuenta)},
                             {"CE_COS", C(l.ce_cos)},
                             {"ROTULO", C(l.rotulo)},
                             {"ROTULO2", C(l.rotulo2)},
                             {"DEBITO", N(l.debito)},
                             {"CREDITO", N(l.credito)}});
      }));
  return xb::Status::OK();
}

}  // namespace qz
