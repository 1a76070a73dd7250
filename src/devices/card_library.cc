#include "devices/card_library.h"

#include <dlfcn.h>

#include "lib/settings/globals.h"

namespace qz {

CardLibrary::~CardLibrary() {
  Unload();
}

bool CardLibrary::Load() {
  if (handle_) return true;
  const std::string folder = G().PATH;
  for (const std::string& path :
       {folder + name_ + ".so", folder + "lib" + name_ + ".so", name_ + ".so", "lib" + name_ + ".so"}) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) return true;
  }
  return false;
}

void CardLibrary::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

void* CardLibrary::Function(const char* fn) const {
  return handle_ ? dlsym(handle_, fn) : nullptr;
}

CardLibrary& XPOSWARE() {
  static CardLibrary lib("CallPosWareClient");
  return lib;
}

CardLibrary& XCREDOMAT() {
  static CardLibrary lib("SockPos");
  return lib;
}

}  // namespace qz
