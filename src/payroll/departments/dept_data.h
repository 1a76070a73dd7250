// What the department editor holds while it is open (its scratch state) and
// how it is read from the department's rows and written back on "Aceptar".
//
// Loading copies the department's columns, sets, provisions and cost-centre
// split; nothing the window does reaches the shared tables until
// SaveDepartment, which writes the department row, its columns (with the
// employees' value rows that follow a column in or out of the layout and the
// hourly-cost factors of the new ones), its sets, provisions and split in one
// transaction. A failure midway (a row another workstation keeps locked, a
// disk error) rolls every table back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "payroll/departments/dept_layout.h"
#include "xbase/table.h"

namespace qz {
class WDIAG;
class WDBTable;
}  // namespace qz

namespace qz::dept {

// A DET_DEP2 row in the window.
struct Provision {
  uint32_t recno = 0;  // 0 = new
  int codigo = 0;      // row number in the department (0 = give one)
  std::string tipo;    // T_PROV code, as stored
  double porcentaje = 0;
  std::string liga;     // link code, as stored
  std::string descrip;  // UTF-8
  int tipo_emp = 0;     // 0 all, 1 associated only, 2 not associated only
};

// A DET_DEP3 row in the window.
struct CentreShare {
  uint32_t recno = 0;       // 0 = new
  std::string loaded_code;  // the centre it was loaded with (as stored), "" = new
  std::string code;         // as stored
  double porcentaje = 0;
};

struct DeptScratch {
  DeptLayout layout;
  std::vector<Provision> provisions;
  std::vector<uint32_t> removed_provisions;
  std::vector<CentreShare> centres;
  std::vector<CentreShare> removed_centres;
};

// The column types of a business, as the editor lists them.
struct ColumnTypeInfo {
  std::string code;     // as stored
  std::string descrip;  // UTF-8, trimmed
  bool separator = false;   // DUPLICA = 1
  bool individual = false;  // CONTA_IND = 1
  bool dependent = false;   // VAL_DEPEND = 1
};
std::vector<ColumnTypeInfo> ReadColumnTypes(const std::string& negocio);

// Reads department `code` (as stored) of `negocio` into `out`.
xb::Status LoadDepartment(const std::string& negocio, const std::string& code,
                          const std::vector<ColumnTypeInfo>& types, DeptScratch* out);

// Whether `code` belongs to a department other than record `own` (0 = none).
bool CodeTaken(const std::string& negocio, const std::string& code, uint32_t own);

struct SaveRequest {
  std::string negocio;   // blank-padded
  int mode = 0;          // 0 add, 1 modify
  uint32_t recno = 0;    // modify: the department's ENC_DEPT record
  std::string old_code;  // modify: the code it was loaded with (as stored)
  std::string code;      // the code to save (as stored, padded)
  WDBTable* enc_dept = nullptr;  // the list's handle (so the list sees the row)
  // Writes the header, print, accounting and other fields; the row is
  // locked and current.
  std::function<void(xb::Table&)> write_header;
  // Runs inside the transaction when the code changed, after the
  // department row is written: carries the new code into the tables that
  // name the department (employees, actions, debts, history).
  std::function<void(const std::string& old_code, const std::string& code)> rename;
  std::vector<ColumnTypeInfo> types;
  DeptScratch* scratch = nullptr;
  WDIAG* owner = nullptr;  // for the waiting window and refusals
};

// Writes everything in one transaction. False when the save was refused
// (the row was deleted or re-keyed by another user meanwhile: told, nothing
// written). A fault of the data layer is thrown after the transaction is
// left for the error handler to roll back.
bool SaveDepartment(const SaveRequest& r);

}  // namespace qz::dept
