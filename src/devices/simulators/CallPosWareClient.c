/* Simulator of the first bank's client library (CallPosWareClient).
 * Script keys: ProcessTransaction (result code, default 0),
 * ProcessTransaction.account / .reference / .authorization / .answer (texts
 * the terminal fills in), ProcessSettlement (result code, default 0). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sim_script.h"

static void fill(const char* key, const char* fallback, char* buffer, size_t width) {
  char value[512];
  sim_value(key, fallback, value, sizeof value);
  /* The caller's buffers are as wide as the blanks it passed; the terminal
   * writes its text padded with NULs, as the real client does. */
  memset(buffer, 0, width);
  memcpy(buffer, value, strlen(value) < width ? strlen(value) : width);
}

QZ_SIM_EXPORT int ProcessTransaction(char* merchant, char* merchant_number, char* terminal,
                                     char* kind, double amount, const char* account,
                                     const char* reference, const char* authorization,
                                     const char* answer, int answer_size) {
  char amount_text[64], size_text[16], result[64];
  snprintf(amount_text, sizeof amount_text, "%.2f", amount);
  snprintf(size_text, sizeof size_text, "%d", answer_size);
  const char* args[] = {merchant, merchant_number, terminal, kind, amount_text, account,
                        reference, authorization, size_text};
  sim_log("ProcessTransaction", 9, args);
  fill("ProcessTransaction.account", "", (char*)account, strlen(account));
  fill("ProcessTransaction.reference", "", (char*)reference, strlen(reference));
  fill("ProcessTransaction.authorization", "", (char*)authorization, strlen(authorization));
  fill("ProcessTransaction.answer", "", (char*)answer, strlen(answer));
  sim_value("ProcessTransaction", "0", result, sizeof result);
  return atoi(result);
}

QZ_SIM_EXPORT int ProcessSettlement(char* merchant, char* merchant_number, char* terminal,
                                    int a, int b) {
  char a_text[16], b_text[16], result[64];
  snprintf(a_text, sizeof a_text, "%d", a);
  snprintf(b_text, sizeof b_text, "%d", b);
  const char* args[] = {merchant, merchant_number, terminal, a_text, b_text};
  sim_log("ProcessSettlement", 5, args);
  sim_value("ProcessSettlement", "0", result, sizeof result);
  return atoi(result);
}
