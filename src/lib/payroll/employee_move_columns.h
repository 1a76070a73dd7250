// The column mapping of a move of employees to another business: each
// column the moving employees hold in the source business, paired with the
// column of the target business that takes its values, and a note when the
// pairing is doubtful. Column codes are per business, so a code that means
// "overtime" in one hotel may be missing, of another kind, or not paid by the
// target department in the other.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace qz {

inline constexpr char kColumnMissing[] = "La columna no existe";
inline constexpr char kColumnKindDiffers[] = "Las columnas no concuerdan en el tipo ";
inline constexpr char kColumnNotInDepartment[] = "La columna no existe en el departamento destino";

// One row of the mapping (the scratch table T_COLS). Codes and texts as the
// tables store them (code-page bytes, blank-padded codes).
struct ColumnMapping {
  std::string source;          // COLUMN_1
  std::string source_descrip;  // DESCRIP1
  std::string target;          // COLUMN_2; blank: the values have nowhere to go
  std::string target_descrip;  // DESCRIP2
  std::string note;            // NOTA
};

// What a move needs to know of the column types of both businesses and of
// the target department's columns, read once.
class MoveColumns {
 public:
  struct Type {
    std::string descrip;
    int tipo = 0;
    bool duplica = false;  // DUPLICA = 1
    bool deuda = false;    // DEUDA = 1: its values pay debts
  };

  // Reads ENC_TIP of both businesses and DET_DEPT of `target_depto`.
  MoveColumns(const std::string& source, const std::string& target,
              const std::string& target_depto);

  // The proposal for source column `code`: the same code in the target.
  ColumnMapping Propose(const std::string& code) const;
  // The user typed `code` as the target of `m`: the note is worked out
  // again; a code the target business lacks keeps no description.
  void Retarget(ColumnMapping& m, const std::string& code) const;
  // Whether values mapped to `target` are kept (the target department pays
  // that column).
  bool Kept(const std::string& target) const;

  const Type* Source(const std::string& code) const;
  // The target department's columns, in code order.
  const std::set<std::string>& DepartmentColumns() const { return department_; }

 private:
  std::map<std::string, Type> source_, target_;
  std::set<std::string> department_;
};

// The mapping for the employees `employees` (codes as stored) of business
// `source`: one row per distinct column among their value rows, in code
// order.
std::vector<ColumnMapping> BuildColumnMap(const MoveColumns& columns, const std::string& source,
                                          const std::vector<std::string>& employees);

// The source columns whose values a move with `map` would drop (no target,
// or a target the department does not pay), in code order.
std::vector<std::string> DroppedColumns(const MoveColumns& columns,
                                        const std::vector<ColumnMapping>& map);
// A target column that two source columns are mapped to, or "" when none is:
// the employee would end with two value rows for one column.
std::string SharedTarget(const MoveColumns& columns, const std::vector<ColumnMapping>& map);

}  // namespace qz
