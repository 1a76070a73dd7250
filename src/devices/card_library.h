// The banks' card-terminal client libraries, loaded at run time by name
// (XPOSWARE, XCREDOMAT): once per process, and looked for in the program
// folder first ("<name>.so", "lib<name>.so"), then wherever the system's
// loader looks. A library that is missing, or lacks a function, makes the
// calls return nothing instead of failing.
#pragma once

#include <string>

namespace qz {

class CardLibrary {
 public:
  explicit CardLibrary(std::string name) : name_(std::move(name)) {}
  ~CardLibrary();
  CardLibrary(const CardLibrary&) = delete;
  CardLibrary& operator=(const CardLibrary&) = delete;

  // Loads the library unless it is loaded; false when it cannot be found.
  bool Load();
  void Unload();
  bool loaded() const { return handle_ != nullptr; }
  const std::string& name() const { return name_; }
  // The exported function `fn`, or null.
  void* Function(const char* fn) const;

 private:
  std::string name_;
  void* handle_ = nullptr;
};

// The two banks' libraries of this process.
CardLibrary& XPOSWARE();
CardLibrary& XCREDOMAT();

}  // namespace qz
