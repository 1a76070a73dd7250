// The department tree of the payroll and accounting screens: under
// "Departamentos", one leaf per department of the business showing its
// description, with the code as cargo (padded as stored) and as the
// right-hand tag. The business's payroll parameters (F_PLAN) say how it
// looks: ORDEN_TREE = 1 lists the departments by description (tags
// ENC_DEPT3, or ENC_DEPT4 for one payroll type), otherwise by code
// (ENC_DEPT, ENC_DEPT2); DESC_TREE is the width of the code tag and
// PICT_TREE its picture. A few screens keep a tree of their own making
// (every department, sorted by caption, a fixed tag), which the rule says.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "lib/ui/tree.h"

namespace xb {
class Table;
}

namespace qz {

inline constexpr int kDefaultTreeMargin = 13;
inline const std::string kDefaultTreePicture(15, 'X');

// What the business's parameters ask of department trees.
struct TreeParameters {
  bool by_description = false;                // ORDEN_TREE = 1
  int margin = kDefaultTreeMargin;            // DESC_TREE, when set
  std::string picture = kDefaultTreePicture;  // PICT_TREE, when set
};

// The parameters of `negocio` (padded to 15); the defaults when `f_plan` is
// null or has no row for it.
TreeParameters ReadTreeParameters(xb::Table* f_plan, const std::string& negocio);

// The code as the tag shows it: `picture` "!" positions upper case, "X" any
// character, its length the width; a function picture "@!" upper-cases the
// whole code (and a template after a blank applies as well). Trailing blanks
// are dropped.
std::string TreeCodeTag(const std::string& code_bytes, const std::string& picture);

struct DepartmentTreeRule {
  enum class Order {
    kParameters,   // as ORDEN_TREE says
    kCode,         // by code whatever the parameters say
    kDescription,  // by description whatever the parameters say
    kCaption,      // every level sorted by its caption (the tree control's sort)
  };
  Order order = Order::kParameters;
  bool active_only = true;  // INACTIVO = 0
  // Only one payroll type's departments: the chosen type's code, padded as
  // stored, or nothing while no type is chosen (an empty tree). Unset: every
  // type.
  std::function<std::optional<std::string>()> tipo;
  // A fixed tag instead of the parameters' DESC_TREE and PICT_TREE.
  std::optional<std::string> picture;
  std::optional<int> margin;

  // Every department, sorted by caption, code tag 15 × "X" in a margin of
  // 13: the tree of the payroll-start and schedule screens.
  static DepartmentTreeRule EveryDepartmentByCaption();
  // Inactive departments too, as the parameters order them.
  static DepartmentTreeRule IncludingInactive();
};

// Fills `tree` (as a TreeModel fill function: Refresh clears it first).
// `each_row`, when set, sees every department row of the walk, inactive
// ones included, before the rule filters it.
void FillDepartmentTree(TreeModel& tree, xb::Table& enc_dept, const std::string& negocio,
                        const TreeParameters& parameters, const DepartmentTreeRule& rule,
                        const std::function<void(xb::Table&)>& each_row = nullptr);

// Sets `tree`'s fill to the department tree of `negocio`: every refresh
// reads the parameters again from `f_plan` (may be null: the defaults), so a
// tree refreshed after another workstation changed them follows them. The
// tables must outlive the tree.
void SetDepartmentFill(TreeModel& tree, xb::Table& enc_dept, xb::Table* f_plan,
                       const std::string& negocio, DepartmentTreeRule rule,
                       std::function<void(xb::Table&)> each_row = nullptr);

}  // namespace qz
