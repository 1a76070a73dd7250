#include "lib/payroll/history_copies.h"

#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {
namespace {

// Appends a record to `to` holding every field of `from`'s current record that
// both tables have (but those `keep` refuses, which stay blank), then DEPTO
// and FECHA.
xb::Status CopyRecord(const xb::Table& from, xb::Table& to, const std::string& depto,
                      int32_t fecha, const AppendRecord& append,
                      const std::function<bool(const std::string&)>& keep) {
  XB_RETURN_IF_ERROR(append ? append(to) : to.Append());
  for (const auto& f : to.fields()) {
    if (f.name == "DEPTO" || f.name == "FECHA" || from.FieldIndex(f.name) < 0) continue;
    if (!keep(f.name)) continue;
    auto v = from.Get(f.name);
    if (!v.ok()) return v.status();
    XB_RETURN_IF_ERROR(to.Put(f.name, *v));
  }
  XB_RETURN_IF_ERROR(to.Put("DEPTO", xb::Value::Char(PadRight(depto, 15))));
  XB_RETURN_IF_ERROR(to.Put("FECHA", xb::Value::Date(fecha)));
  return to.WriteBack();
}

}  // namespace

bool KeepsValueInCopy(const std::string& field, int tipo) {
  return !(field == "VALOR" && tipo == 1);
}

xb::Status CopyColumnTypeToHistory(const xb::Table& enc_tip, xb::Table& det_tip,
                                   xb::Table& h_e_tip, xb::Table& h_d_tip,
                                   const std::string& depto, int32_t fecha,
                                   const AppendRecord& append) {
  if (enc_tip.Eof()) return xb::Status::NotFound("ENC_TIP: no column type to copy");
  const int tipo = IntField(enc_tip, "TIPO");
  XB_RETURN_IF_ERROR(CopyRecord(enc_tip, h_e_tip, depto, fecha, append,
                                [tipo](const std::string& f) { return KeepsValueInCopy(f, tipo); }));
  TablePosition keep(&det_tip);
  const std::string n = PadRight(StrField(enc_tip, "NEGOCIO"), 15);
  const std::string c = PadRight(StrField(enc_tip, "CODIGO"), 2);
  XB_RETURN_IF_ERROR(SeekOn(det_tip, "DET_TIP", n + c, true));
  for (bool more = true; more && !det_tip.Eof(); more = det_tip.Skip().ok()) {
    if (PadRight(StrField(det_tip, "NEGOCIO"), 15) != n ||
        PadRight(StrField(det_tip, "CODIGO"), 2) != c)
      break;
    // Bracket rows keep everything, their fixed amounts (VALOR_2) included.
    XB_RETURN_IF_ERROR(CopyRecord(det_tip, h_d_tip, depto, fecha, append,
                                  [](const std::string&) { return true; }));
  }
  return xb::Status::OK();
}

}  // namespace qz
