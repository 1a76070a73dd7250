#include "devices/p_elect.h"

#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"

namespace qz {

P_ELECT::P_ELECT(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup P_ELECT::Setup() {
  CatalogSetup s;
  s.name = "P_ELECT";
  s.table = "P_ELECT";
  s.tag = "P_ELECT";
  s.key_width = 15;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", std::string(30, 'X')},
               {"Descripción", "DESCRIP", std::string(50, 'X')}};
  s.delete_question = "Desea borrar la Configuración?";
  s.edit_template = "E_P_ELECT";
  return s;
}

void P_ELECT::Add() {
  DIALOG_BOX(desktop(), "E_P_ELECT", this,
             [this](WDIAG& d, int m, int64_t w, int64_t) { return Ctrl(d, m, w, 0); });
}

void P_ELECT::Modify() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  DIALOG_BOX(desktop(), "E_P_ELECT", this,
             [this](WDIAG& d, int m, int64_t w, int64_t) { return Ctrl(d, m, w, 1); });
}

int P_ELECT::Ctrl(WDIAG& dlg, int msg, int64_t wparam, int mode) {
  xb::Table& t = *main_table();
  if (msg == kWmInitDialog) {
    if (mode == 1) {
      dlg.SetText(kCodigo, FieldText(t, "CODIGO"));
      dlg.SetText(kDescrip, FieldText(t, "DESCRIP"));
      const std::string bank = FieldText(t, "BANCO");
      if (bank == "01") dlg.SetCheck(kNacional, 1);
      if (bank == "02") dlg.SetCheck(kCredomatic, 1);
      dlg.SetText(kMoneda, FieldText(t, "MONEDA"));
      for (int i = 0; i < 5; ++i) dlg.SetText(kParam1 + i, FieldText(t, "PARAM" + std::to_string(i + 1)));
    }
    dlg.SetFocus(kCodigo);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
    return 1;
  }
  if (wparam != 1) return 1;
  auto save = [&] {
    WDBTable& w = *main_wdb();
    if (mode == 0) {
      AddNewRec(w);
      t.Put("NEGOCIO", xb::Value::Char(PadRight(Negocio(), 15)));
    } else if (!LockForModify(w)) {
      return;
    }
    auto put = [&](const char* field, const std::string& text) {
      t.Put(field, xb::Value::Char(ToField(text, FieldWidth(t, field))));
    };
    put("CODIGO", dlg.Text(kCodigo));
    put("DESCRIP", dlg.Text(kDescrip));
    if (dlg.Check(kNacional)) put("BANCO", "01");
    if (dlg.Check(kCredomatic)) put("BANCO", "02");
    put("MONEDA", dlg.Text(kMoneda));
    for (int i = 0; i < 5; ++i) put(("PARAM" + std::to_string(i + 1)).c_str(), dlg.Text(kParam1 + i));
    UnlockForModify(w);
    const uint32_t recno = w.RecNo();
    oB()->REFRESHALL();
    if (int row = oB()->RowOf(recno); row >= 0) oB()->Select(row);
    dlg.ENDDIALOG(1);
  };
  RunOperation(save);
  return 1;
}

void A_ELECT(Desktop& desktop, const std::string& business) {
  const std::string key = Trim(business);
  const std::string ini = QuartzelIni();
  const char* kHeaders[] = {"ESTACION_CREDIT_H1", "ESTACION_CREDIT_H2", "ESTACION_CREDIT_H3",
                            "ESTACION_CREDIT_H4"};
  DIALOG_BOX(desktop, "A_ELECT", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    CCOMBOBOX printers(dlg, 601);
    if (msg == kWmInitDialog) {
      RunOperation([&] {
        TablePtr t = USE(nullptr, "PREDET_P", "PREDET_P");
        const std::string scope = PadRight(business, 15);
        for (t->Seek(scope, true); !t->Eof() && t->FieldGet("NEGOCIO").str() == scope; t->Skip())
          printers.ADD(t->TextUtf8("DESCRIP"), t->FieldGet("CODIGO").str());
        KILLTABLA(t);
      });
      dlg.SetText(501, GetPrivateProfileString("ESTACION_CREDIT", key, "", ini));
      printers.SEEKCARGO(PadRight(GetPrivateProfileString("PREDET_P_CREDOMATIC", key, "", ini), 4));
      for (int i = 0; i < 4; ++i) dlg.SetText(502 + i, GetPrivateProfileString(kHeaders[i], key, "", ini));
      dlg.SetText(506, GetPrivateProfileString("ESTACION_CREDIT_ID", key, "", ini));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
    } else if (wparam == 1) {
      xb::Status st = WritePrivateProfileString("ESTACION_CREDIT", key, Trim(dlg.Text(501)), ini);
      if (auto code = printers.CURCARGO(); code && st.ok())
        st = WritePrivateProfileString("PREDET_P_CREDOMATIC", key, Trim(*code), ini);
      for (int i = 0; i < 4 && st.ok(); ++i)
        st = WritePrivateProfileString(kHeaders[i], key, Trim(dlg.Text(502 + i)), ini);
      if (st.ok()) st = WritePrivateProfileString("ESTACION_CREDIT_ID", key, Trim(dlg.Text(506)), ini);
      // A settings file that cannot be written keeps the window open with
      // what was typed.
      if (!st.ok()) {
        MESSAGE_BOX("No se pudo escribir " + ini + "\r\n" + st.message(), "Error", kMbIconStop);
        return 1;
      }
      dlg.ENDDIALOG(1);
    }
    return 1;
  });
}

}  // namespace qz
