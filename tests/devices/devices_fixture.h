// Card-terminal screens on a scratch installation: the simulator libraries
// copied into the program folder (where the program looks first), a script
// file for their answers and the log of what they were asked.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "devices/card_library.h"
#include "lib/ini/private_profile.h"
#include "support/ui_session.h"

namespace qztest {

class DevicesTest : public UiSession {
 protected:
  void SetUp() override {
    qz::XPOSWARE().Unload();
    qz::XCREDOMAT().Unload();
    script = inst.root + "terminal.sim";
    setenv("QZ_CARD_SIM_SCRIPT", script.c_str(), 1);
    Create("P_ELECT");
    Create("PREDET_P");
  }
  void TearDown() override {
    UiSession::TearDown();
    qz::XPOSWARE().Unload();
    qz::XCREDOMAT().Unload();
    unsetenv("QZ_CARD_SIM_SCRIPT");
  }

  void InstallSimulators() {
    namespace fs = std::filesystem;
    fs::copy_file(QZ_POSWARE_SIM, inst.root + "CallPosWareClient.so");
    fs::copy_file(QZ_SOCKPOS_SIM, inst.root + "SockPos.so");
  }
  void Script(const std::string& lines) { std::ofstream(script) << lines; }
  // The calls the simulators received, one line each.
  std::vector<std::string> Calls() {
    std::ifstream in(script + ".log");
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }
  void AssignStation(const std::string& business, const std::string& code) {
    qz::WritePrivateProfileString("ESTACION_CREDIT", business, code, qz::QuartzelIni());
  }
  void Station(const std::string& code, const std::string& bank, const std::string& moneda,
               const std::string& descrip, const std::string& p1 = "", const std::string& p2 = "",
               const std::string& p3 = "") {
    AddRows(bases, "P_ELECT",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)}, {"BANCO", C(bank)},
              {"MONEDA", C(moneda)}, {"DESCRIP", C(descrip)}, {"PARAM1", C(p1)},
              {"PARAM2", C(p2)}, {"PARAM3", C(p3)}}});
  }

  static constexpr const char* kBiz = "HOTEL CENTRAL";

  std::string script;
};

}  // namespace qztest
