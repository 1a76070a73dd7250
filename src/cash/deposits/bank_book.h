// The bank-book side of a deposit: the bank account's balance, a bank
// movement with its lines (DET_LIB, DET_LIB3, DET_LIB4), the monthly account
// totals (MES_LIB4) and the movement's journal entry (module "04"); and the
// reversal of all of it. Runs inside the caller's transaction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cash/deposits/deposit_data.h"

namespace qz {

inline constexpr const char* kBankModule = "04";

struct BankPosting {
  std::string negocio, banco, cuenta, concep_lib;
  int32_t fecha = 0;
  double monto = 0;
  double cambio = 1;             // to the accounting currency
  std::string descrip;           // UTF-8
  std::string hecho_por, num_dep, movimiento;
  std::vector<CounterLine> lines;  // in the deposit's currency
};

// Whether the bank concept adds to the account's balance (TIPO 1) or takes
// from it (0); and whether it asks for the rate (LEE_CAMBIO).
struct BankConcept {
  bool found = false;
  int tipo = 0;
  bool lee_cambio = false;
};
BankConcept ReadBankConcept(void* owner, const std::string& negocio, const std::string& code);

// The bank account's currency; found = false when the account is missing.
struct BankAccount {
  bool found = false;
  std::string moneda;
  std::string serial;
  std::string asiento1;  // accounting link of the account
};
BankAccount ReadBankAccount(void* owner, const std::string& negocio, const std::string& banco,
                            const std::string& cuenta);

// Posts the movement; answers its number.
std::string PostBankMovement(void* owner, const BankPosting& p);

// Reverses the bank movement of deposit `movimiento`, dated `fecha`, as
// "Anulación Dep: " + deposit number. False when there is none to reverse.
bool ReverseBankMovement(void* owner, const std::string& negocio, const std::string& movimiento,
                         int32_t fecha, const std::string& num_dep);

}  // namespace qz
