// The employee fields an employee-list format can print, item 1 to 55 in
// this order: the format's DET_EMP rows are numbered by it, so the order is
// part of the stored data.
#pragma once

#include <string>
#include <vector>

namespace qz {

const std::vector<std::string>& EmployeeListFields();

}  // namespace qz
