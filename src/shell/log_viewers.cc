#include "shell/log_viewers.h"

#include <set>

#include "lib/data/date_time.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "shell/shell_tables.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

std::string MemoText(const WDBTable& t, const char* field) {
  if (!HasField(t, field)) return "";
  xb::Value v = t.FieldGet(field);
  return v.is_char() ? xb::ToUtf8(RTrim(v.str())) : "";
}

template <class V>
V* Adopt(Desktop& desktop, std::unique_ptr<V> v, bool (V::*open)()) {
  V* raw = v.get();
  desktop.Adopt(std::move(v));
  if (!(raw->*open)()) {
    raw->ENDDIALOG(2);
    desktop.Collect();
    return nullptr;
  }
  return raw;
}

}  // namespace

LogViewer::LogViewer(Desktop& desktop, Setup setup)
    : WDIAG(desktop, nullptr, setup.tmpl), setup_(std::move(setup)) {}

LogViewer::~LogViewer() {
  OnNCDestroy = nullptr;
  Close();
}

void LogViewer::Close() {
  desktop().KillTimers(this);
  grid_.reset();
  if (table_) KILLTABLA(table_);
}

bool LogViewer::Open() {
  table_ = OpenShellTable(setup_.table, setup_.columns.empty() ? "" : setup_.columns[0].tag);
  if (!table_) return false;
  if (!INIT().ok()) {
    Close();
    return false;
  }
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, &table_->table());
  std::vector<std::pair<int, std::string>> marks;
  for (size_t i = 0; i < setup_.columns.size(); ++i) {
    const Column& c = setup_.columns[i];
    AGREGARCOL(*grid_, &table_->table(), c.header, c.field, c.picture);
    if (!c.tag.empty()) marks.emplace_back(static_cast<int>(i) + 1, c.tag);
  }
  grid_->SHOWNUMBERS = false;
  grid_->AUTOSIZE = true;
  if (!marks.empty()) BROWMARKS(*grid_, marks, marks.front().first, setup_.scope);
  ADD(1, [this] { ENDDIALOG(1); });
  OnNCDestroy = [this] { Close(); };
  BeforeCreate();
  if (!CREATE().ok()) return false;
  ShowDetail();
  desktop().SetTimer(this, kDetailTimer, 250, [this] { ShowDetail(); });
  return true;
}

void LogViewer::ShowDetail() {
  if (!grid_ || !table_) return;
  if (grid_->current() == shown_row_) return;
  shown_row_ = grid_->current();
  if (shown_row_ >= 0) table_->GoTo(grid_->RecNoAt(shown_row_));
  if (setup_.detail) setup_.detail(*this);
}

void LogViewer::Restrict(const std::string& tag, const std::string& scope) {
  if (!grid_) return;
  int first = 1;
  for (size_t i = 0; i < setup_.columns.size(); ++i)
    if (setup_.columns[i].tag == tag) first = static_cast<int>(i) + 1;
  std::vector<std::pair<int, std::string>> marks = {{first, tag}};
  BROWMARKS(*grid_, marks, first, scope);
  shown_row_ = -2;
  ShowDetail();
}

void LogViewer::OnActivate() {
  desktop().MENUSET(setup_.right, this, G().XU_COMP);
}

void LogViewer::OnDeactivate() {
  if (desktop().active() == nullptr || desktop().active() == this)
    desktop().MENUSET(0, this, G().XU_COMP);
}

LogViewer* OpenViewErrors(Desktop& desktop) {
  LogViewer::Setup s;
  s.tmpl = "VIEW_ERRORS";
  s.table = "ERROR";
  s.right = 2588;
  s.columns = {{"Fecha", "FECHA", "", "ERROR"},       {"Hora", "HORA", "", ""},
               {"Descripción", "DESCRIP", "", ""},    {"Usuario", "USUARIO", "", "ERROR2"},
               {"Inferior", "INFERIOR", "9,999,999"}, {"Superior", "SUPERIOR", "9,999,999"},
               {"Libre", "FREE", "9,999,999"}};
  s.detail = [](LogViewer& v) {
    v.SetText(501, v.grid()->current() >= 0 ? MemoText(*v.table(), "DETALLE") : "");
  };
  return Adopt(desktop, std::make_unique<LogViewer>(desktop, s), &LogViewer::Open);
}

LogViewer* OpenViewEntries(Desktop& desktop) {
  LogViewer::Setup s;
  s.tmpl = "VIEW_E_S";
  s.table = "LOG_E_S";
  s.right = 2590;
  s.columns = {{"Entrada", "FECHA", "", "LOG_E_S"},
               {"Hora", "HORA"},
               {"Salida", "FECHA_SAL"},
               {"Hora", "HORA_SAL"},
               {"* ", "ERR_CHECK"},
               {"Módulo", "MODULO"},
               {"ID", "ID_USUARIO"},
               {"Usuario", "USUARIO", "", "LOG_ES2"},
               {"Info Usuario", "INFO_USER"},
               {"Error Info", "DESC_ERR"},
               {"DGFree", "DGFREE"},
               {"MsgKb", "MSGKB"},
               {"Diálogo", "DIALOGO"},
               {"Fecha Diag", "FECHA_DIAG"},
               {"Hora Diag", "HORA_DIAG"},
               {"LastPoll", "POLL_F", "", "LOG_ES3"},
               {"LastPoll", "POLL_H"},
               {"Socket", "WS_SOCKET"}};
  s.detail = [](LogViewer& v) {
    if (v.grid()->current() < 0) {
      v.SetText(501, "");
      v.SetText(502, "");
      return;
    }
    const WDBTable& t = *v.table();
    v.SetText(501, Trim(MemoText(t, "DESC_ERR")) + "\r\n" + MemoText(t, "SEQUENCIA"));
    std::optional<int32_t> poll = DateField(t, "POLL_F");
    v.SetText(502, (poll ? DateText(*poll) : std::string(8, ' ')) + " / " + TextField(t, "POLL_H"));
  };
  return Adopt(desktop, std::make_unique<LogViewer>(desktop, s), &LogViewer::Open);
}

LogViewer* OpenViewRollback(Desktop& desktop, const std::string& business) {
  LogViewer::Setup s;
  s.tmpl = "VIEW_ROLLBACK";
  s.table = "LOG_ROLL";
  s.right = 4146;
  s.scope = BusinessKey(business);
  s.columns = {
      {"Fecha", "FECHA", "", "LOG_ROLL"}, {"Hora", "HORA"},          {"Usuario", "USUARIO"},
      {"Info User", "INFO_USER"},         {"Descripción", "MOTIVO"}, {"Tipo", "TRANS_ID", "9999"}};
  return Adopt(desktop, std::make_unique<LogViewer>(desktop, s), &LogViewer::Open);
}

LogDiagViewer::LogDiagViewer(Desktop& desktop, int menu_id)
    : LogViewer(desktop,
                [&] {
                  Setup s;
                  s.tmpl = "LOG_DIAG";
                  s.table = "LOG_DIAG";
                  s.scope = BusinessKey(G().XU_COMP) + Str(menu_id, 10);
                  s.columns = {{"Fecha", "FECHA", "", "LOG_DIAG"},
                               {"Hora", "HORA"},
                               {"Usuario", "USUARIO"},
                               {"Info Usuario", "INFO_USER"}};
                  return s;
                }()),
      menu_id_(menu_id) {}

LogDiagViewer::~LogDiagViewer() {
  tree_.reset();
}

bool LogDiagViewer::OpenWithUsers() {
  return Open();
}

// The tree of users exists before the window shows, so the window system
// draws it with the users in it.
void LogDiagViewer::BeforeCreate() {
  tree_ = std::make_unique<TreeModel>(*this, kTree);
  AttachTree(kTree, tree_.get());
  TreeNode* root = tree_->Add(nullptr, "Usuarios", "");
  // Every user who opened a dialog of this entry, named through USUARIO4.
  std::set<std::string> seen;
  const std::string scope = setup().scope;
  TablePtr log = OpenShellTable("LOG_DIAG", "LOG_DIA3", true);
  TablePtr users = OpenShellTable("USUARIOS", "USUARIO4", true);
  if (log) {
    log->Seek(scope, true);
    for (; !log->Eof(); log->Skip()) {
      if (RawField(*log, "NEGOCIO") + Str(IntField(*log, "ID_DIAG"), 10) != scope) break;
      std::string abrevia = RawField(*log, "USUARIO");
      if (!seen.insert(abrevia).second) continue;
      std::string label = Trim(xb::ToUtf8(abrevia));
      if (users && users->Seek(BusinessKey(G().XU_COMP) + abrevia))
        label = TextField(*users, "USUARIO");
      tree_->Add(root, label, abrevia, Trim(xb::ToUtf8(abrevia)));
    }
  }
  // The users show under an open root; right click offers search and the rest.
  tree_->Sort();
  tree_->ExpandAll();
  tree_->AddStandardContextEntries();
  tree_->on_click = [this, root](TreeNode* n) {
    if (n == root) {
      Restrict("LOG_DIAG", setup().scope);
    } else {
      Restrict("LOG_DIA3", setup().scope + n->cargo);
    }
  };
}

LogDiagViewer* OpenDialogUsageLog(Desktop& desktop, int menu_id) {
  return Adopt(desktop, std::make_unique<LogDiagViewer>(desktop, menu_id),
               &LogDiagViewer::OpenWithUsers);
}

}  // namespace qz
