#include "shell/sound.h"

#include <filesystem>

namespace qz {
namespace {

std::function<void(const std::string&)>& Player() {
  static std::function<void(const std::string&)> p;
  return p;
}

}  // namespace

void SetSoundPlayer(std::function<void(const std::string& path)> player) {
  Player() = std::move(player);
}

void PlaySystemSound(const std::string& path) {
  std::error_code ec;
  if (Player() && std::filesystem::exists(path, ec)) Player()(path);
}

}  // namespace qz
