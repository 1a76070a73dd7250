// Report, certificate, employee-list and signature formats.
#include "lib/ui/catalog.h"
#include "payroll/d_li_emp.h"
#include "payroll/def_r_ho.h"
#include "payroll/df_cst.h"
#include "payroll/enc_repp.h"
#include "payroll/payroll_screens.h"
#include "payroll/usr_req.h"

namespace qz {
namespace {

template <class S>
void Screen(MenuRegistry& r, Desktop& d, const std::string& name) {
  r.Register(name, [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<S>(d, tmpl, business);
  });
}

}  // namespace

void RegisterFormatScreens(MenuRegistry& r, Desktop& d) {
  Screen<ENC_REPP>(r, d, "ENC_REPP");
  Screen<DEF_R_HO>(r, d, "DEF_R_HO");
  Screen<DF_CST>(r, d, "DF_CST");
  Screen<USR_REQ>(r, d, "USR_REQ");
  Screen<D_LI_EMP>(r, d, "D_LI_EMP");
}

}  // namespace qz
