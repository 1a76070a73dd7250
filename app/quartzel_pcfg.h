// The desktop program's pieces: offscreen screenshots of templates and screens.
#pragma once

#include <string>

class QWidget;

namespace qz {
class QtUi;
}

namespace pcfg {

// The demo business the screenshots show.
inline constexpr const char* kDemoBusiness = "HOTELSOL       ";

// Renders `template_name` (a screen with demo data, or a dialog template) to
// a PNG file. Returns 0 on success.
int Screenshot(qz::QtUi& ui, const std::string& template_name, const std::string& png);
// A fresh demo installation in a temporary folder; "" (after telling why on
// stderr) when it could not be made. The caller removes the folder.
std::string MakeDemoInstallation(const std::string& prefix);
// Lets the offscreen widgets lay themselves out, then writes `w` to a PNG.
void Settle();
bool Save(QWidget* w, const std::string& png);
// Pictures of the controls on demo data (DEPT_TREE, OBSEARCH, WAIT_PROGRESS);
// -1 for any other name.
int ControlScreenshot(qz::QtUi& ui, const std::string& name, const std::string& png);
// The cash box window of a toolbar kind ("CAJAS:1") or the hotel's closing
// report as a PDF ("CIERRE_CAJA"), on demo data; -1 for any other name.
int CashScreenshot(qz::QtUi& ui, const std::string& name, const std::string& out);
// The printed summary ("GASTOS_PLANILLA") or detail ("GASTOS_DETALLE") of
// the demo's payroll expense distribution as a PDF; -1 for any other name.
int ExpenseScreenshot(qz::QtUi& ui, const std::string& name, const std::string& out);

}  // namespace pcfg
