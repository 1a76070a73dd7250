#include "shell/user_admin.h"

#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "shell/rights.h"
#include "shell/shell_tables.h"
#include "shell/users.h"

namespace qz {
namespace {

constexpr int kAreas = USUARIOS::kLastArea - USUARIOS::kFirstArea + 1;

}  // namespace

std::string ExitRequestText(bool everybody, const std::vector<bool>& areas) {
  std::string text(1, everybody ? '1' : '0');
  for (int i = 0; i < kAreas; ++i)
    text += i < static_cast<int>(areas.size()) && areas[i] ? '1' : '0';
  return text;
}

USUARIOS::USUARIOS(Desktop& desktop, std::string business, RightsMenu* menu)
    : WDIAG(desktop, nullptr, "USUARIOS"), business_(BusinessKey(business)), menu_(menu) {}

USUARIOS::~USUARIOS() {
  OnNCDestroy = nullptr;
  Close();
}

bool USUARIOS::OpenTables() {
  users_ = OpenShellTable("USUARIOS", "USUARIOS");
  menus_ = OpenShellTable("MENUS", "MENUS");
  profiles_ = OpenShellTable("PERFILES", "PERFILES");
  det_perf_ = OpenShellTable("DET_PERF", "DET_PERF");
  subbases_ = OpenShellTable("SUBBASES", "SUBBASES");
  return users_ && menus_ && profiles_ && det_perf_ && subbases_;
}

bool USUARIOS::Open() {
  if (!OpenTables() || !INIT().ok()) {
    Close();
    return false;
  }
  saved_marks_ = CurrentMarks();
  BuildLists();
  {
    TablePtr sys = OpenShellTable("F_SYS", "", true);
    if (sys) {
      sys->GoTop();
      SetCheck(kGlobalLock, !sys->Eof() && IntField(*sys, "BLOQUEADO") == 1 ? 1 : 0);
      KILLTABLA(sys);
    }
  }
  ReadRequestFile();
  const std::pair<int, void (USUARIOS::*)()> buttons[] = {
      {kAddUser, &USUARIOS::AddUser},
      {kModUser, &USUARIOS::ModifyUser},
      {kDelUser, &USUARIOS::DeleteUser},
      {kAssignProfile, &USUARIOS::AssignProfile},
      {kSaveUserDesign, &USUARIOS::SaveUserDesign},
      {kAddProfile, &USUARIOS::AddProfile},
      {kModProfile, &USUARIOS::ModifyProfile},
      {kDelProfile, &USUARIOS::DeleteProfile},
      {kLoadProfileDesign, &USUARIOS::LoadProfileDesign},
      {kSaveProfileDesign, &USUARIOS::SaveProfileDesign},
      {kStartDesign, &USUARIOS::StartDesign},
      {kLoadUserDesign, &USUARIOS::LoadUserDesign},
      {kPolicy, &USUARIOS::PasswordPolicy},
      {kRightsTree, &USUARIOS::ShowRightsTree},
      {kUserReport, &USUARIOS::PrintUserReport},
      {kGlobalLock, &USUARIOS::ToggleGlobalLock},
  };
  for (const auto& [id, op] : buttons) ADD(id, [this, op = op] { (this->*op)(); });
  ADD(kUntickMenu, [this] { TickShownEntries(false); });
  ADD(kTickMenu, [this] { TickShownEntries(true); });
  for (int id = kFreeAccess; id <= kExitEverybody; ++id) ADD(id, [this] { RequestChanged(); });
  for (int id = kFirstArea; id <= kLastArea; ++id) ADD(id, [this] { RequestChanged(); });
  ADD(1, [this] { ENDDIALOG(1); });
  ADD(2, [this] { ENDDIALOG(2); });
  OnNCDestroy = [this] { Close(); };
  return CREATE().ok();
}

void USUARIOS::BuildLists() {
  users_grid_ = std::make_unique<WBLISTBOX>(*this, kUsers, &users_->table());
  AGREGARCOL(*users_grid_, &users_->table(), "ID", "ABREVIA", "XXXX");
  AGREGARCOL(*users_grid_, &users_->table(), "Usuario", "USUARIO", "");
  AGREGARCOL(*users_grid_, &users_->table(), "Identificación", "NOMBRE", std::string(20, 'X'));
  AGREGARCOL(*users_grid_, &users_->table(), "Super", "SUPERVISOR", "X");
  users_grid_->SetFormat(3, [](const xb::Value& v) {
    return v.is_numeric() && v.number() == 1 ? std::string("✓") : std::string(" ");
  });
  users_grid_->SHOWNUMBERS = false;
  BROWMARKS(*users_grid_, {{3, "USUARIOS"}}, 3, business_);

  profiles_grid_ = std::make_unique<WBLISTBOX>(*this, kProfiles, &profiles_->table());
  AGREGARCOL(*profiles_grid_, &profiles_->table(), "Descripción", "DESCRIP", std::string(45, 'X'));
  profiles_grid_->SHOWNUMBERS = false;
  BROWMARKS(*profiles_grid_, {{1, "PERFILES"}}, 1, business_);
}

void USUARIOS::ReadRequestFile() {
  std::optional<std::string> content = ExitRequestContent();
  if (!content) {
    SetCheck(kFreeAccess, 1);
    return;
  }
  SetCheck(!content->empty() && (*content)[0] == '1' ? kExitEverybody : kExitExceptSupervisors, 1);
  for (int i = 1; i < static_cast<int>(content->size()) && i <= kAreas; ++i)
    SetCheck(kFirstArea + i - 1, (*content)[i] == '1' ? 1 : 0);
}

void USUARIOS::RequestChanged() {
  if (Check(kFreeAccess)) {
    RemoveExitRequestFile();
    return;
  }
  std::vector<bool> areas;
  for (int id = kFirstArea; id <= kLastArea; ++id) areas.push_back(Check(id) != 0);
  if (!WriteExitRequestFile(ExitRequestText(Check(kExitEverybody) != 0, areas)))
    MESSAGE_BOX("No se pudo crear el archivo BLOQUEAD.!", "Error", kMbIconStop);
}

void USUARIOS::ToggleGlobalLock() {
  TablePtr sys = OpenShellTable("F_SYS", "");
  if (!sys) return;
  sys->GoTop();
  if (sys->Eof()) {
    ADD_NEW_REC(*sys);
  } else {
    LOCK_FOR_MODIFY(*sys);
  }
  // The box says what the administrator wants; flipping the stored value
  // would undo a change another administrator made meanwhile.
  PutNum(*sys, "BLOQUEADO", Check(kGlobalLock) ? 1 : 0);
  UNLOCK_FOR_MODIFY(*sys);
  KILLTABLA(sys);
}

// --- selection

namespace {

// Puts `table` on the grid's selected row; false (and the grid refreshed)
// when nothing is selected or the row left the business meanwhile.
bool SelectRow(WBLISTBOX* grid, WDBTable& table, const std::string& business) {
  const uint32_t recno = grid ? grid->SelectedRecNo() : 0;
  if (recno == 0) return false;
  table.GoTo(recno);
  if (table.Eof() || table.Deleted() || RawField(table, "NEGOCIO") != business) {
    grid->REFRESHALL();
    return false;
  }
  return true;
}

}  // namespace

bool USUARIOS::SelectUser() {
  return SelectRow(users_grid_.get(), *users_, business_);
}

bool USUARIOS::SelectProfile() {
  return SelectRow(profiles_grid_.get(), *profiles_, business_);
}

// --- designing rights on the menu

RightsDesign USUARIOS::CurrentMarks() const {
  RightsDesign marks = EmptyDesign();
  if (!menu_) return marks;
  for (int id = kFirstRight; id <= kLastRight; ++id) marks[id - kFirstRight] = menu_->Checked(id);
  return marks;
}

void USUARIOS::ShowMarks(const RightsDesign& marks) {
  if (!menu_) return;
  for (int id = kFirstRight; id <= kLastRight; ++id)
    menu_->SetChecked(id, marks[id - kFirstRight]);
  menu_->ChecksChanged();
}

void USUARIOS::LoadDesign(WDBTable& t, int code, const std::string& wait_text) {
  WAIT wait(this, wait_text);
  ShowMarks(ReadRightsRows(t, business_, code).checks);
  have_loaded_ = true;
}

void USUARIOS::LoadUserDesign() {
  if (!SelectUser()) return;
  const int code = IntField(*users_, "CODIGO");
  LoadDesign(*menus_, code, "Cargando Derechos...");
  loaded_user_ = code;
}

void USUARIOS::LoadProfileDesign() {
  if (!SelectProfile()) return;
  LoadDesign(*det_perf_, IntField(*profiles_, "CODIGO"), "Cargando Derechos de Perfil...");
  // A profile's design is no user's: saving a user design afterwards goes
  // to the user selected in the list, never to the user whose code happens
  // to be the profile's.
  loaded_user_.reset();
}

void USUARIOS::StartDesign() {
  if (!have_loaded_ &&
      MESSAGE_BOX("No se ha cargado ningún Diseño previo de Usuario o Perfil.\rPara modificar el "
                  "Acceso a un Usuario, debería primero cargar su Diseño.\r\rDesea continuar?",
                  "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    return;
  if (menu_) menu_->SetCapture(true);
  desktop().window_system().Minimize(*this);
}

void USUARIOS::TickShownEntries(bool on) {
  if (menu_) {
    for (int id : menu_->ShownIds()) menu_->SetChecked(id, on);
    menu_->ChecksChanged();
  }
  have_loaded_ = on;
}

void USUARIOS::SaveUserDesign() {
  int code = 0;
  if (loaded_user_) {
    users_->SetOrder("USUARIO3");
    const bool there = users_->Seek(business_ + Str(*loaded_user_, 4));
    users_->SetOrder("USUARIOS");
    if (!there) {
      // Deleted by another workstation since its design was loaded: rows
      // written now would wait for the next user given its code.
      MESSAGE_BOX("El usuario cuyo diseño se cargó ya no existe.", "Error", kMbIconStop);
      loaded_user_.reset();
      return;
    }
    code = *loaded_user_;
  } else if (SelectUser()) {
    code = IntField(*users_, "CODIGO");
  } else {
    return;
  }
  {
    WAIT wait(this);
    WriteRightsRows(*menus_, business_, code, CurrentMarks());
  }
  loaded_user_.reset();
  if (menu_) menu_->SetCapture(false);
}

void USUARIOS::SaveProfileDesign() {
  if (!SelectProfile()) return;
  WAIT wait(this);
  WriteRightsRows(*det_perf_, business_, IntField(*profiles_, "CODIGO"), CurrentMarks());
}

// --- window

void USUARIOS::OnActivate() {
  desktop().MENUSET(kRight, this, business_);
}

void USUARIOS::OnDeactivate() {
  if (desktop().active() == nullptr || desktop().active() == this)
    desktop().MENUSET(0, this, business_);
}

void USUARIOS::Close() {
  if (closed_) return;
  closed_ = true;
  if (menu_) {
    menu_->SetCapture(false);
    if (!saved_marks_.empty()) ShowMarks(saved_marks_);
  }
  users_grid_.reset();
  profiles_grid_.reset();
  for (TablePtr* t : {&users_, &menus_, &profiles_, &det_perf_, &subbases_})
    if (*t) KILLTABLA(*t);
}

USUARIOS* OpenUsuarios(Desktop& desktop, const std::string& business, RightsMenu* menu) {
  auto screen = std::make_unique<USUARIOS>(desktop, business, menu);
  USUARIOS* raw = screen.get();
  desktop.Adopt(std::move(screen));
  if (!raw->Open()) {
    raw->ENDDIALOG(2);
    desktop.Collect();
    return nullptr;
  }
  return raw;
}

}  // namespace qz
