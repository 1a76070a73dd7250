#include "shell/application.h"

#include <cstdlib>
#include <filesystem>

#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/browse.h"
#include "lib/ui/cash_button.h"

namespace qz {

Application::Application(Desktop& desktop, MainWindowView& view, const MenuRegistry& registry)
    : desktop_(desktop), view_(view), registry_(registry), error_dialog_(desktop) {}

Application::~Application() {
  principal_.reset();
}

bool Application::Start(const std::string& program_folder) {
  error_dialog_.Install();
  if (StartDataLayer(program_folder) == StartResult::kEndProgram) {
    view_.EndProcess(1);
    return false;
  }
  principal_ = std::make_unique<PRINCIPAL>(desktop_, view_, registry_);
  principal_->toolbar_kind = ToolbarKindToStart(module_);
  return principal_->Init();
}

void Application::Shown() {
  view_.CloseSplash();
  SetBrowseRefresh(G().XREFRESH_BROWSE == 1);
}

std::string FindProgramFolder(const std::string& exe_path) {
  if (const char* home = std::getenv("QUARTZEL_HOME"); home && *home) return home;
  std::filesystem::path p(exe_path);
  return p.has_parent_path() ? p.parent_path().string() : ".";
}

}  // namespace qz
