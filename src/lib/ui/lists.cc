#include "lib/ui/lists.h"

namespace qz {

void CLISTBOX::ADD(const std::string& text, const std::string& cargo) {
  owner_.AddEntry(id_, text, cargo);
}

bool CLISTBOX::SELECTCARGO(const std::string& cargo, bool on) {
  const ControlState* c = owner_.Control(id_);
  if (!c) return false;
  for (size_t i = 0; i < c->entries.size(); ++i) {
    if (c->entries[i].cargo == cargo) {
      owner_.SetSelected(id_, static_cast<int>(i), on);
      return true;
    }
  }
  return false;
}

bool CLISTBOX::ISSELECTED(const std::string& cargo) const {
  const ControlState* c = owner_.Control(id_);
  if (!c) return false;
  for (const auto& e : c->entries) {
    if (e.cargo == cargo && e.selected) return true;
  }
  return false;
}

int CLISTBOX::COUNT() const {
  const ControlState* c = owner_.Control(id_);
  return c ? static_cast<int>(c->entries.size()) : 0;
}

void CCOMBOBOX::ADD(const std::string& text, const std::string& cargo) {
  owner_.AddEntry(id_, text, cargo);
}

bool CCOMBOBOX::SEEKCARGO(const std::string& cargo) {
  const ControlState* c = owner_.Control(id_);
  if (!c) return false;
  for (size_t i = 0; i < c->entries.size(); ++i) {
    if (c->entries[i].cargo == cargo) {
      owner_.SetCurrent(id_, static_cast<int>(i));
      return true;
    }
  }
  owner_.SetCurrent(id_, -1);
  return false;
}

std::optional<std::string> CCOMBOBOX::CURCARGO() const {
  const ControlState* c = owner_.Control(id_);
  if (!c || c->current < 0 || c->current >= static_cast<int>(c->entries.size()))
    return std::nullopt;
  return c->entries[c->current].cargo;
}

int CCOMBOBOX::COUNT() const {
  const ControlState* c = owner_.Control(id_);
  return c ? static_cast<int>(c->entries.size()) : 0;
}

}  // namespace qz
