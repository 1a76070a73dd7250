// The department editor's accounting page: the department's links (picked
// with DEF_DTO2), each column's link (DEF_DTB6), the provisions (DEF_DTO6,
// "Provisiones.") and the department's cost-centre split ("Asignar Centro de
// costo").
#include <cstdlib>

#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/pick_list.h"
#include "lib/ui/picture.h"
#include "payroll/departments/def_dto.h"
#include "payroll/form_fields.h"

namespace qz {

using namespace def_dto;

namespace {

// The payroll module's links: key business + module "06" padded + code.
PickSource PayrollLinks(xb::Table* ligas, const std::string& negocio, const char* title) {
  PickSource s;
  s.table = ligas;
  s.business = PadRight(negocio, 15) + PadRight("06", 9);
  s.code_tag = "LIGA3";
  s.title = title;
  return s;
}

std::string Percent(double p, const char* picture = "999.99999") {
  return NumberText(p, picture);
}

}  // namespace

// DEF_DTO2: a link of the department (payment, withholding debit/credit).
void DEF_DTO::PickHeaderLink(int edit_id) {
  auto chosen = PickFromList(desktop(), this,
                             PayrollLinks(&ligas_->table(), negocio_, "Ligas Contables"),
                             TrimRight(Text(edit_id)));
  if (!chosen) return;
  SetText(edit_id, chosen->code);
  ShowLinkDescrip(edit_id);
}

void DEF_DTO::ShowLinkDescrip(int edit_id) {
  auto found = PickLookup(PayrollLinks(&ligas_->table(), negocio_, ""), TrimRight(Text(edit_id)));
  SetText(edit_id + 2, found ? found->descrip : "");
}

// DEF_DTB6: the link of the column selected in the per-column list.
void DEF_DTO::PickColumnLink() {
  const std::string cargo = SelectedCargo(kLigasColumna);
  dept::LayoutColumn* c = cargo.empty() ? nullptr : scratch_.layout.FindRow(std::atoi(cargo.c_str()));
  if (!c) return;
  auto chosen = PickFromList(desktop(), this,
                             PayrollLinks(&ligas_->table(), negocio_, "Liga Contable por Columna"),
                             TrimRight(FromField(xb::Value::Char(c->link))));
  if (!chosen) return;
  c->link = ToField(chosen->code, 10);
  ShowLinks();
}

void DEF_DTO::ShowLinks() {
  const std::string keep = SelectedCargo(kLigasColumna);
  ClearEntries(kLigasColumna);
  // Separators carry no amount, and individually booked columns use the
  // employee's own account.
  for (int s = 0; s < dept::kSections; ++s)
    for (const dept::LayoutColumn* col : scratch_.layout.PrintOrder(s)) {
      const dept::LayoutColumn& c = *col;
      bool listed = true;
      for (const auto& t : types_)
        if (t.code == c.column) listed = !t.separator && !t.individual;
      if (!listed) continue;
      const std::string cargo = std::to_string(c.row);
      AddEntry(kLigasColumna, TypeDescrip(c.column) + " : " + TrimRight(FromField(xb::Value::Char(c.link))), cargo);
      if (cargo == keep) SetSelected(kLigasColumna, static_cast<int>(Control(kLigasColumna)->entries.size()) - 1, true);
    }
}

void DEF_DTO::ShowProvisions() {
  ClearEntries(kProvisiones);
  for (size_t i = 0; i < scratch_.provisions.size(); ++i) {
    const auto& p = scratch_.provisions[i];
    AddEntry(kProvisiones, p.descrip + "  " + Percent(p.porcentaje, "999.99") + "%  " + TrimRight(FromField(xb::Value::Char(p.liga))),
             std::to_string(i));
  }
}

bool DEF_DTO::ProvisionDialog(dept::Provision& p) {
  bool accepted = false;
  DIALOG_BOX(desktop(), "DEF_DEPTO_6", this, [&](WDIAG& d, int msg, int64_t w, int64_t) {
    constexpr int kDesc = 500, kPct = 501, kTipoProv = 502, kLiga = 503, kBuscar = 504,
                  kLigaDesc = 505;
    constexpr int kScope[] = {510, 511, 512};
    PickSource links = PayrollLinks(&ligas_->table(), negocio_, "Ligas Contables");
    if (msg == kWmInitDialog) {
      AddBusinessRows(d, kTipoProv, t_prov_->table(), negocio_, "DESCRIP");
      d.SetText(kDesc, p.descrip);
      d.SetText(kPct, Percent(p.porcentaje));
      CCOMBOBOX(d, kTipoProv).SEEKCARGO(TrimRight(FromField(xb::Value::Char(p.tipo))));
      d.SetText(kLiga, TrimRight(FromField(xb::Value::Char(p.liga))));
      auto found = PickLookup(links, d.Text(kLiga));
      d.SetText(kLigaDesc, found ? found->descrip : "");
      d.SetCheck(kScope[p.tipo_emp >= 0 && p.tipo_emp <= 2 ? p.tipo_emp : 0], 1);
      d.SetFocus(kDesc);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == kBuscar) {
      auto chosen = PickFromList(desktop(), &d, links, TrimRight(d.Text(kLiga)));
      if (chosen) {
        d.SetText(kLiga, chosen->code);
        d.SetText(kLigaDesc, chosen->descrip);
      }
    } else if (w == 1) {
      auto pct = ParseNumber(d.Text(kPct));
      if (!pct) {
        MESSAGE_BOX(NotANumberMessage(d.Text(kPct)), "Error", kMbIconStop);
        d.SetFocus(kPct);
        return 1;
      }
      const std::string link = TrimRight(d.Text(kLiga));
      if (link.empty() || !PickLookup(links, link)) {
        MESSAGE_BOX(kNoLink, "Error", kMbIconStop);
        d.SetFocus(kLiga);
        return 1;
      }
      p.descrip = TrimRight(d.Text(kDesc));
      p.porcentaje = *pct;
      p.tipo = ToField(CCOMBOBOX(d, kTipoProv).CURCARGO().value_or(""), 2);
      p.liga = ToField(link, 10);
      p.tipo_emp = d.Check(kScope[1]) ? 1 : d.Check(kScope[2]) ? 2 : 0;
      accepted = true;
      d.ENDDIALOG(1);
    } else if (w == 2) {
      d.ENDDIALOG(2);
    }
    return 1;
  });
  return accepted;
}

void DEF_DTO::ProvisionEdit(bool add) {
  if (add) {
    dept::Provision p;
    if (ProvisionDialog(p)) scratch_.provisions.push_back(p);
  } else {
    const int i = SelectedIndex(kProvisiones);
    if (i < 0) return;
    dept::Provision p = scratch_.provisions[i];
    if (ProvisionDialog(p)) scratch_.provisions[i] = p;
  }
  ShowProvisions();
}

void DEF_DTO::ProvisionDelete() {
  const int i = SelectedIndex(kProvisiones);
  if (i < 0) return;
  if (scratch_.provisions[i].recno != 0)
    scratch_.removed_provisions.push_back(scratch_.provisions[i].recno);
  scratch_.provisions.erase(scratch_.provisions.begin() + i);
  ShowProvisions();
}

void DEF_DTO::ShowCentres() {
  ClearEntries(kCentros);
  for (size_t i = 0; i < scratch_.centres.size(); ++i) {
    const auto& c = scratch_.centres[i];
    AddEntry(kCentros, TrimRight(FromField(xb::Value::Char(c.code))) + "  " + NumberText(c.porcentaje, "999.99") + "%",
             std::to_string(i));
  }
}

bool DEF_DTO::CentreDialog(dept::CentreShare& c, int index) {
  bool accepted = false;
  DIALOG_BOX(desktop(), "DEF_DEPTO_7", this, [&](WDIAG& d, int msg, int64_t w, int64_t) {
    constexpr int kCentro = 500, kPct = 501;
    if (msg == kWmInitDialog) {
      AddBusinessRows(d, kCentro, c_costos_->table(), negocio_, "DESCRIP");
      CCOMBOBOX(d, kCentro).SEEKCARGO(TrimRight(FromField(xb::Value::Char(c.code))));
      d.SetText(kPct, NumberText(c.porcentaje, "999.99"));
      d.SetFocus(kCentro);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == 1) {
      const std::string centre = CCOMBOBOX(d, kCentro).CURCARGO().value_or("");
      auto pct = ParseNumber(d.Text(kPct));
      if (TrimRight(centre).empty()) {
        MESSAGE_BOX("Falta seleccionar el centro de costo", "Error", kMbIconStop);
        return 1;
      }
      if (!pct) {
        MESSAGE_BOX(NotANumberMessage(d.Text(kPct)), "Error", kMbIconStop);
        d.SetFocus(kPct);
        return 1;
      }
      const std::string code = ToField(centre, 15);
      for (size_t i = 0; i < scratch_.centres.size(); ++i)
        if (static_cast<int>(i) != index && scratch_.centres[i].code == code) {
          MESSAGE_BOX(kDuplicateCentre, "Error", kMbIconStop);
          return 1;
        }
      c.code = code;
      c.porcentaje = *pct;
      accepted = true;
      d.ENDDIALOG(1);
    } else if (w == 2) {
      d.ENDDIALOG(2);
    }
    return 1;
  });
  return accepted;
}

void DEF_DTO::CentreEdit(bool add) {
  // The split books the department's payroll: without its payment link
  // there is nothing to book it against.
  if (TrimRight(Text(kLigaCont)).empty()) {
    MESSAGE_BOX(kNoLink, "Error", kMbIconStop);
    return;
  }
  if (add) {
    dept::CentreShare c;
    if (CentreDialog(c, -1)) scratch_.centres.push_back(c);
  } else {
    const int i = SelectedIndex(kCentros);
    if (i < 0) return;
    dept::CentreShare c = scratch_.centres[i];
    if (CentreDialog(c, i)) scratch_.centres[i] = c;
  }
  ShowCentres();
}

void DEF_DTO::CentreDelete() {
  const int i = SelectedIndex(kCentros);
  if (i < 0) return;
  if (scratch_.centres[i].recno != 0) scratch_.removed_centres.push_back(scratch_.centres[i]);
  scratch_.centres.erase(scratch_.centres.begin() + i);
  ShowCentres();
}

}  // namespace qz
