#include "lib/workbook/grid_workbook.h"

#include <algorithm>
#include <filesystem>

#include "lib/mail/send_file.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/print_document.h"
#include "lib/workbook/cell_typing.h"
#include "lib/workbook/workbook_names.h"
#include "lib/workbook/xls_generator.h"

namespace qz {

namespace {

std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ') out += c;
  return out;
}

}  // namespace

std::string ExportGridToWorkbook(const WBLISTBOX& grid, const std::string& window_title,
                                 const std::string& folder, const std::string& name, bool open,
                                 const GridExportProgress& progress) {
  auto state = [&](const std::string& s) {
    if (progress.state) progress.state(s);
  };
  std::string title = "GRID_" + TrimBlanks(window_title);
  XLS_GENERATOR book(folder, name.empty() ? title : name, title);
  const auto& cols = grid.columns();
  int n = static_cast<int>(cols.size());
  state("Detectando Tipos de Datos...");
  for (int c = 0; c < n; ++c) {
    book.XLSWRITE(1, c + 1, cols[c].header, /*boxed=*/true, /*bold=*/false);
    book.XLSCOLSIZE(c + 1, std::max(TextColumns(cols[c].header), TextColumns(cols[c].picture)));
  }
  state("Escribiendo Datos...");
  int row = 2;
  int exported = 0;
  // From the row the user stands on to the end, as the grid shows it; the
  // table itself is not moved, so its position is what it was.
  for (int r = std::max(grid.current(), 0); r < grid.RowCount(); ++r, ++row) {
    for (int c = 0; c < n; ++c) {
      std::string text = TrimBlanks(grid.Cell(r, c));
      if (text.empty()) continue;
      if (!LooksLikeDate(text) && cols[c].right_align) {
        if (auto v = ParseAmount(text)) {
          book.XLSWRITE(row, c + 1, *v);
          continue;
        }
      }
      book.XLSWRITE(row, c + 1, text);
    }
    ++exported;
    if (progress.rows) progress.rows(exported);
  }
  XlsTimestampPlan stamp;
  stamp.column = 0;
  for (int c = 1; c < n; ++c) stamp.blank_columns.push_back(c);
  std::string path =
      book.XLSCLOSE({title}, G().XLOGOFILE, name.empty() ? title : name, open, stamp);
  if (!path.empty()) state("Datos transferidos!");
  return path;
}

std::string DBF_OB(WBLISTBOX& grid) {
  Desktop& desktop = grid.owner().desktop();
  std::string proposed_name = WithoutBlanks(TemporaryWorkbookName() + ".XLS");
  std::string result;
  DIALOG_BOX(desktop, "DBF_OB", &grid.owner(), [&](WDIAG& w, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      w.SetText(500, WithoutBlanks(WorkbookFolder()));
      w.SetText(501, proposed_name);
      w.SetText(502, "0");
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      w.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1 && wparam != 3) return 1;
    std::string folder = WithoutBlanks(w.Text(500));
    std::string name = WithoutBlanks(w.Text(501));
    if (name.empty()) {
      MESSAGE_BOX("Debe definir el nombre del archivo Destino", "Error", kMbIconStop);
      return 1;
    }
    if (folder.empty()) {
      MESSAGE_BOX("Debe definir la Carpeta Destino", "Error", kMbIconStop);
      return 1;
    }
    if (folder.back() != '/') folder += '/';
    GridExportProgress progress;
    progress.rows = [&](int rows) {
      w.SetText(502, std::to_string(rows));
      MULTITASK();
    };
    progress.state = [&](const std::string& s) { w.SetText(503, s); };
    // The proposed temporary name gives way to the grid's own name; a name
    // the user typed is kept.
    std::string chosen = name == proposed_name ? "" : name;
    std::string path = ExportGridToWorkbook(grid, grid.owner().title(), folder, chosen,
                                            /*open=*/wparam == 1, progress);
    if (path.empty()) return 1;  // told why; the window stays to try elsewhere
    result = wparam == 3 ? path : "";
    w.ENDDIALOG(wparam == 1 ? 1 : 3);
    return 1;
  });
  return result;
}

bool ExportGridAndMail(WBLISTBOX& grid) {
  const std::string path = DBF_OB(grid);
  if (path.empty()) return false;
  const std::filesystem::path p(path);
  const std::string business = G().XU_COMP;
  return SEND_FILE_EMAIL(grid.owner().desktop(), &grid.owner(), p.parent_path().string(),
                         p.filename().string(), "GRID_" + grid.owner().title(), business,
                         Trim(business));
}

std::vector<GridMenuEntry> GridContextMenu(WBLISTBOX& grid) {
  return {{kGridExportCaption, [&grid] { ExportGridAndMail(grid); }}};
}

}  // namespace qz
