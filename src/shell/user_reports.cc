#include "shell/user_reports.h"

#include <functional>
#include <set>

#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/report_output.h"
#include "shell/password_change.h"
#include "shell/rights.h"
#include "shell/rights_rows.h"
#include "shell/shell_tables.h"
#include "shell/user_admin.h"
#include "shell/users.h"

namespace qz {
namespace {

// The areas of the suite at the top of the tree, with their codes.
const std::pair<const char*, const char*> kAreas[] = {
    {"CONTABILIDAD", "00"},    {"INVENTARIO", "01"},   {"FACTURACION / CXC", "03"},
    {"BANCOS / CHEQUES", "04"}, {"CUENTAS X PAGAR", "05"}, {"NOMINA / RECURSOS HUMANOS", "06"},
    {"ACTIVOS FIJOS", "08"},    {"HOTELERIA", "09"},    {"RESTAURANTES", "10"},
    {"MANTENIMIENTOS", "21"},   {"WEBSERVER", "22"},
};

// An entry's right is the MENUS row of id 2300 + its number.
constexpr int kCatalogueBase = 2300;
// Deeper than any menu goes: a catalogue whose pointers loop ends here.
constexpr int kMaxDepth = 16;

struct CatalogueRow {
  int n_id;
  std::string descrip;
};

std::vector<CatalogueRow> RowsUnder(WDBTable& t, const std::string& module, int pointer) {
  std::vector<CatalogueRow> rows;
  const std::string key = PadRight(module, 2) + Str(pointer, 10);
  t.Seek(key, true);
  for (; !t.Eof(); t.Skip()) {
    if (PadRight(RawField(t, "MODULO"), 2) != PadRight(module, 2) || IntField(t, "POINTER") != pointer)
      break;
    rows.push_back({IntField(t, "N_ID"), TextField(t, "DESCRIP")});
  }
  return rows;
}

}  // namespace

V_DERECHOS::V_DERECHOS(Desktop& desktop, std::string business, int code, std::string name,
                       bool supervisor)
    : WDIAG(desktop, nullptr, "DERECHOS"),
      business_(BusinessKey(business)),
      code_(code),
      name_(std::move(name)),
      supervisor_(supervisor) {}

V_DERECHOS::~V_DERECHOS() {
  OnNCDestroy = nullptr;
}

void V_DERECHOS::Fill(TreeModel& tree) {
  TablePtr catalogue = OpenShellTable("DERECHOS", "DERECHO2");
  TablePtr menus = OpenShellTable("MENUS", "MENUS");
  if (!catalogue || !menus) return;
  const RightsDesign granted = ReadRightsRows(*menus, business_, code_).checks;
  KILLTABLA(menus);
  auto allowed = [&](int n_id) {
    const int id = kCatalogueBase + n_id;
    if (supervisor_) return true;
    return id >= kFirstRight && id <= kLastRight && granted[id - kFirstRight];
  };
  std::set<int> path;
  std::function<void(TreeNode*, const std::string&, int, int)> add =
      [&](TreeNode* parent, const std::string& module, int pointer, int depth) {
        if (depth > kMaxDepth) return;
        for (const CatalogueRow& r : RowsUnder(*catalogue, module, pointer)) {
          if (!allowed(r.n_id) || path.count(r.n_id)) continue;
          TreeNode* node = tree.Add(parent, r.descrip, std::to_string(r.n_id), std::to_string(r.n_id));
          path.insert(r.n_id);
          add(node, "  ", r.n_id, depth + 1);
          path.erase(r.n_id);
        }
      };
  for (const auto& [caption, module] : kAreas) {
    TreeNode* top = tree.Add(tree.root(), caption, std::string("M") + module);
    add(top, module, 0, 1);
  }
  KILLTABLA(catalogue);
  tree.Sort();
}

bool V_DERECHOS::Open() {
  if (!INIT().ok()) return false;
  SetText(kTitle, "USUARIO: " + name_);
  tree_ = std::make_unique<TreeModel>(*this, kTree);
  tree_->SetFill([this](TreeModel& t) { Fill(t); });
  tree_->Refresh();
  tree_->AddStandardContextEntries();
  AttachTree(kTree, tree_.get());
  ADD(kPrint, [this] { Imprimir(); });
  ADD(1, [this] { ENDDIALOG(1); });
  ADD(2, [this] { ENDDIALOG(2); });
  OnNCDestroy = [this] { tree_.reset(); };
  return CREATE().ok();
}

PrintDocument V_DERECHOS::Document() const {
  PageWriter w("Derechos de Acceso", 66, 90);
  w.UseReportFrame({"DERECHOS DE ACCESO", "Usuario: " + name_}, "");
  const std::string business_name = ReadBusiness(business_).descrip;
  w.SetHeader([business_name](PageWriter& p, int) {
    p.Say(0, "Negocio: " + business_name, PageWriter::kBold);
    p.NewLine();
    p.Say(0, "Módulo / Código", PageWriter::kBold);
    p.Say(20, "Opción", PageWriter::kBold);
    p.RuleBelow(0, 90);
    p.NewLine();
  });
  std::function<void(const TreeNode*, int)> print = [&](const TreeNode* n, int depth) {
    const int style = n->leaf() ? PageWriter::kPlain : PageWriter::kBold;
    if (depth == 0) {
      w.Say(0, n->text, style);
    } else {
      w.Say(2 * depth, n->right_text, style);
      w.Say(20 + 2 * (depth - 1), n->text, style);
    }
    w.NewLine();
    for (const auto& c : n->children) print(c.get(), depth + 1);
  };
  if (tree_)
    for (const auto& top : tree_->root()->children) print(top.get(), 0);
  return w.Finish();
}

void V_DERECHOS::Imprimir() {
  PRINT_REPORT(desktop(), Document());
}

V_DERECHOS* OpenRightsTree(Desktop& desktop, const std::string& business, int code,
                           const std::string& name, bool supervisor) {
  auto w = std::make_unique<V_DERECHOS>(desktop, business, code, name, supervisor);
  V_DERECHOS* raw = w.get();
  desktop.Adopt(std::move(w));
  if (!raw->Open()) {
    raw->ENDDIALOG(2);
    desktop.Collect();
    return nullptr;
  }
  return raw;
}

PrintDocument UserReport(const std::string& business) {
  const std::string b = BusinessKey(business);
  PageWriter w("Reporte de Usuarios", 66, 100);
  w.UseReportFrame({"REPORTE DE USUARIOS", "Fecha Generación: " + DateText(XDATE()) + " / " + XTIME()},
                   "");
  w.SetHeader([](PageWriter& p, int) {
    const std::pair<int, const char*> heads[] = {{0, "Usuario"}, {20, "Nombre Usuario"},
                                                 {50, "Abrevia"}, {60, "S"},
                                                 {62, "A"},       {65, "Renov"},
                                                 {72, "Ultimo Cambio"}};
    for (const auto& [col, text] : heads) p.Say(col, text, PageWriter::kBold);
    p.RuleBelow(0, 96);
    p.NewLine();
  });
  const BusinessRow business_row = ReadBusiness(b);
  if (TablePtr users = OpenShellTable("USUARIOS", "USUARIOS")) {
    users->Seek(b, true);
    for (; !users->Eof() && RawField(*users, "NEGOCIO") == b; users->Skip()) {
      const UserRow u = ReadUserRow(*users);
      w.Say(0, u.nombre);
      w.Say(20, u.usuario);
      w.Say(50, u.abrevia);
      if (u.supervisor == 1) w.Say(60, "X");
      if (u.bloqueado != 1) w.Say(62, "X");
      w.Say(65, Str(PasswordLifetime(business_row, u).value_or(0), 5));
      std::string last = u.f_clave ? DateText(*u.f_clave) : "";
      const std::string hour = TextField(*users, "H_CLAVE");
      if (!hour.empty()) last += (last.empty() ? "" : " ") + hour;
      w.Say(72, last);
      w.NewLine();
    }
    KILLTABLA(users);
  }
  w.RuleBelow(0, 96);
  return w.Finish();
}

void USUARIOS::ShowRightsTree() {
  if (!SelectUser()) return;
  const UserRow u = ReadUserRow(*users_);
  OpenRightsTree(desktop(), business_, u.codigo, u.nombre, u.supervisor == 1);
}

void USUARIOS::PrintUserReport() {
  PREVIEW_REPORT(desktop(), UserReport(business_));
}

}  // namespace qz
