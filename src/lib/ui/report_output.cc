#include "lib/ui/report_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/output_file.h"

namespace qz {

void PREVIEW_REPORT(Desktop& desktop, const PrintDocument& doc) {
  desktop.window_system().Preview(doc);
}

bool PRINT_REPORT(Desktop& desktop, const PrintDocument& doc) {
  PrintJobResult r = desktop.window_system().Print(doc);
  if (r.kind == PrintJobResult::kFailed) {
    MESSAGE_BOX("No se pudo imprimir \"" + doc.title + "\":\r\n" + r.error, "Error", kMbIconStop);
  }
  return r.kind == PrintJobResult::kDone;
}

bool PDF_REPORT(Desktop& desktop, const PrintDocument& doc, const std::string& path) {
  std::string folder = FolderOf(path);
  if (path.empty() || path.back() == '/') {
    MESSAGE_BOX("Debe indicar el nombre del archivo PDF", "Error", kMbIconStop);
    return false;
  }
  if (!FolderExists(folder)) {
    MESSAGE_BOX("No existe la carpeta para el archivo PDF:\r\n" + folder, "Error", kMbIconStop);
    return false;
  }
  std::string side = SideFileName(path);
  // Claim the side file first: a folder we may not write to is told plainly
  // instead of as a printer failure.
  int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    MESSAGE_BOX("No se pudo crear el archivo PDF:\r\n" + path + "\r\n" + SystemErrorText(errno),
                "Error", kMbIconStop);
    return false;
  }
  ::close(fd);
  PrintJobResult r = desktop.window_system().WritePdf(doc, side);
  xb::Status published;
  if (r.kind == PrintJobResult::kDone) {
    published = PublishFile(side, path, /*replace=*/true);
  } else {
    ::unlink(side.c_str());
  }
  if (r.kind != PrintJobResult::kDone || !published.ok()) {
    std::string why = r.kind != PrintJobResult::kDone ? r.error : published.message();
    MESSAGE_BOX("No se pudo crear el archivo PDF:\r\n" + path + "\r\n" + why, "Error",
                kMbIconStop);
    return false;
  }
  return true;
}

}  // namespace qz
