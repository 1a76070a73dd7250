// Sounds the program plays (the login chime). The window system installs
// the player; without one the program is silent.
#pragma once

#include <functional>
#include <string>

namespace qz {

void SetSoundPlayer(std::function<void(const std::string& path)> player);
// Plays the file when it exists and a player is installed.
void PlaySystemSound(const std::string& path);

}  // namespace qz
