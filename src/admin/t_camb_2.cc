// Currency relations (DET_MON) of the exchange-rate screen: the window
// "T_CAMB_2" that adds and modifies them, and deleting one with its rates.
#include <memory>

#include "admin/currency_rekey.h"
#include "admin/t_cambio.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {

namespace {

constexpr const char* kBadCodes = "Problemas con los códigos de moneda ";
constexpr int kFromLabel = 500, kProjection = 501, kTo = 601;

bool RelationExists(WDBTable& det_mon, const std::string& business, const std::string& from,
                    const std::string& to) {
  det_mon.SetOrder("DET_MON");
  return det_mon.Seek(business + from + to);
}

// Moves the rates of (from, old to) to (from, new to).
RekeyTarget RatesOf(const std::string& business, const std::string& from, const std::string& to) {
  RekeyTarget t;
  t.table = "T_CAMBIO";
  t.tag = "T_CAMBIO";
  t.field = "MONEDA2";
  t.seek = business + from + to;
  t.in_range = [business, from, to](const xb::Table& row) {
    return FieldBytes(row, "NEGOCIO") == business && FieldBytes(row, "MONEDA1") == from &&
           FieldBytes(row, "MONEDA2") == to;
  };
  return t;
}

class RelationWindow {
 public:
  RelationWindow(int mode, std::string business, std::string from, std::string to)
      : mode_(mode),
        business_(std::move(business)),
        from_(std::move(from)),
        old_to_(std::move(to)) {}
  ~RelationWindow() {
    CloseTable(det_mon_);
    CloseTable(monedas_);
  }

  bool Open(WDIAG* owner) {
    monedas_ = OpenTable(owner, "MONEDAS");
    det_mon_ = OpenTable(owner, "DET_MON");
    return monedas_ && det_mon_;
  }

  int Ctrl(WDIAG& dlg, int msg, int64_t wparam) {
    if (msg == kWmInitDialog) {
      Load(dlg);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
    } else if (wparam == 1 && Save(dlg)) {
      saved_ = true;
      saved_to_ = CCOMBOBOX(dlg, kTo).CURCARGO().value_or("");
      dlg.ENDDIALOG(1);
    }
    return 1;
  }
  bool saved() const { return saved_; }
  std::string saved_to() const { return ToField(saved_to_, 2); }

 private:
  void Load(WDIAG& dlg) {
    xb::Table& m = monedas_->table();
    monedas_->SetOrder("MONEDAS");
    if (monedas_->Seek(business_ + from_)) dlg.SetText(kFromLabel, FieldText(m, "DESCRIP"));
    CCOMBOBOX to(dlg, kTo);
    for (monedas_->Seek(business_, true); !m.Eof() && FieldBytes(m, "NEGOCIO") == business_;
         m.Skip(1))
      to.ADD(FieldText(m, "DESCRIP"), xb::ToUtf8(FieldBytes(m, "CODIGO")));
    if (mode_ == 1 && RelationExists(*det_mon_, business_, from_, old_to_)) {
      to.SEEKCARGO(xb::ToUtf8(old_to_));
      auto v = det_mon_->table().Get("PROYECTA");
      std::string text =
          TrimRight(FormatNumber(v.ok() && v->is_numeric() ? v->number() : 0, "99.9999"));
      dlg.SetText(kProjection, text.substr(text.find_first_not_of(' ')));
    } else {
      dlg.SetText(kProjection, "0.00");
    }
    dlg.SetFocus(kTo);
  }

  bool Save(WDIAG& dlg) {
    auto cargo = CCOMBOBOX(dlg, kTo).CURCARGO();
    const std::string to = cargo ? ToField(*cargo, 2) : std::string();
    auto projection = ParseNumber(dlg.Text(kProjection));
    if (!projection) {
      MESSAGE_BOX(NotANumberMessage(dlg.Text(kProjection)), "Error", kMbIconStop);
      dlg.SetFocus(kProjection);
      return false;
    }
    // The "to" currency must be another one, and a relation is defined once:
    // a second (from, to) row would split its rates between two tree nodes.
    bool bad = !cargo || to == from_;
    if (!bad && mode_ == 0) bad = RelationExists(*det_mon_, business_, from_, to);
    if (!bad && mode_ == 1) {
      bad = !RelationExists(*det_mon_, business_, from_, old_to_) ||
            (to != old_to_ && RelationExists(*det_mon_, business_, from_, to));
    }
    if (bad) {
      MESSAGE_BOX(kBadCodes, "Error", kMbIconStop);
      return false;
    }
    std::string label;
    monedas_->SetOrder("MONEDAS");
    if (monedas_->Seek(business_ + to))
      label = RelationLabel(FieldText(monedas_->table(), "DESCRIP"),
                            FieldText(monedas_->table(), "SIMBOLO"));
    WDBTable& d = *det_mon_;
    if (mode_ == 0) {
      if (!AddNewRec(d)) return false;
      Write(to, label, *projection);
      UnlockForModify(d);
      return true;
    }
    // The relation and its rates move together, or not at all.
    RelationExists(d, business_, from_, old_to_);
    const uint32_t recno = d.RecNo();
    std::unique_ptr<RekeyRows> moved;
    START_TRANSACTION();
    try {
      if (!LockForModify(d)) {
        END_TRANSACTION();
        return false;
      }
      if (to != old_to_) {
        moved = std::make_unique<RekeyRows>(
            std::vector<RekeyTarget>{RatesOf(business_, from_, old_to_)}, old_to_, to);
        moved->Run();
      }
      d.GoTo(recno);
      Write(to, label, *projection);
      UnlockForModify(d);
      END_TRANSACTION();
    } catch (...) {
      if (moved) moved->Undo();
      d.table().UnlockRecord(recno);
      throw;
    }
    return true;
  }

  void Write(const std::string& to, const std::string& label, double projection) {
    xb::Table& t = det_mon_->table();
    t.Put("NEGOCIO", xb::Value::Char(business_));
    t.Put("MONEDA_1", xb::Value::Char(from_));
    t.Put("MONEDA_2", xb::Value::Char(to));
    t.Put("DESCRIP", xb::Value::Char(ToField(label, FieldWidth(t, "DESCRIP"))));
    t.Put("PROYECTA", xb::Value::Number(projection));
  }

  int mode_;
  std::string business_, from_, old_to_;
  TablePtr monedas_, det_mon_;
  bool saved_ = false;
  std::string saved_to_;
};

}  // namespace

bool T_CAMB_2(Desktop& desktop, WDIAG* parent, int mode, const std::string& business,
              const std::string& from, const std::string& to, std::string* saved_to) {
  RelationWindow w(mode, business, from, to);
  if (!w.Open(parent)) return false;
  DIALOG_BOX(desktop, "T_CAMB_2", parent,
             [&w](WDIAG& d, int m, int64_t wp, int64_t) { return w.Ctrl(d, m, wp); });
  if (w.saved() && saved_to) *saved_to = w.saved_to();
  return w.saved();
}

void T_CAMBIO::AddRelation(TreeNode* n) {
  if (!n) return;
  if (!Allowed(kAddRight)) {
    MESSAGE_BOX("No tiene derechos para esta operación", "Atención", kMbIconWarning);
    return;
  }
  // On a relation, the relation's own "from" currency.
  if (n->parent && n->parent != tree_->root()) n = n->parent;
  if (T_CAMB_2(desktop(), this, 0, negocio_, n->cargo)) RebuildTree();
}

void T_CAMBIO::ModifyRelation(TreeNode* n) {
  if (!n || !n->parent || n->parent == tree_->root()) return;
  if (!Allowed(kModifyRight)) {
    MESSAGE_BOX("No tiene derechos para esta operación", "Atención", kMbIconWarning);
    return;
  }
  const std::string from = n->cargo.substr(0, 2), to = n->cargo.substr(2);
  std::string new_to;
  if (!T_CAMB_2(desktop(), this, 1, negocio_, from, to, &new_to)) return;
  RebuildTree();
  // The relation now has another cargo: select it again, so the grid keeps
  // showing the rates that moved with it.
  if (TreeNode* moved = tree_->Find(from + new_to)) tree_->Click(moved);
}

void T_CAMBIO::DeleteRelation(TreeNode* n) {
  if (!n || !n->parent || n->parent == tree_->root()) return;
  if (!Allowed(kDeleteRight)) {
    MESSAGE_BOX("No tiene derechos para esta operación", "Atención", kMbIconWarning);
    return;
  }
  const std::string from = n->cargo.substr(0, 2), to = n->cargo.substr(2);
  if (MESSAGE_BOX("Desea borrar la referencia?", "Advertencia", kMbOkCancel | kMbIconQuestion) != 1)
    return;
  WDBTable& rates = *rates_;
  WDBTable& d = *det_mon_;
  START_TRANSACTION();
  // The rates first, every one locked before any goes: a relation left
  // without some of its rates can be deleted again, rates without their
  // relation could never be reached.
  RekeyTarget target = RatesOf(negocio_, from, to);
  std::vector<uint32_t> rows;
  rates.SetOrder("T_CAMBIO");
  for (rates.Seek(target.seek, true); !rates.Eof() && target.in_range(rates.table()); rates.Skip())
    rows.push_back(rates.RecNo());
  for (uint32_t r : rows) {
    rates.GoTo(r);
    LOCK_WITHOUT_LOG(rates);
  }
  for (uint32_t r : rows) {
    rates.GoTo(r);
    DELETE_RECORD(rates);
  }
  if (RelationExists(d, negocio_, from, to)) DELETE_RECORD(d);
  END_TRANSACTION();
  tree_->Click(nullptr);
  RebuildTree();
}

}  // namespace qz
