#include "payroll/actions/delete_with.h"

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"

namespace qz {

void DeleteSelectedWith(CatalogScreen& screen,
                        const std::function<void(const std::string&)>& also) {
  const uint32_t rec = screen.HasCurrentRow() ? screen.SelectedRecNo() : 0;
  xb::Table& t = *screen.main_table();
  const std::string code = rec != 0 && t.GoTo(rec).ok() ? FieldBytes(t, "CODIGO") : "";
  START_ATOMIC_TRANSACTION();
  screen.CatalogScreen::Delete();
  if (rec != 0 && t.GoTo(rec).ok() && t.Deleted()) also(code);
  END_TRANSACTION();
}

}  // namespace qz
