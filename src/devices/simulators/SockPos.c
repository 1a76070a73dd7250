/* Simulator of Credomatic's client library (SockPos). Each function answers
 * the scripted text of its name (fields separated by ";"); without a script
 * a purchase, a cancellation, a settlement and a report are approved. */
#include <stdio.h>
#include <string.h>

#include "sim_script.h"

static __thread char answer[4096];

static const char* reply(const char* fn, const char* fallback) {
  sim_value(fn, fallback, answer, sizeof answer);
  return answer;
}

static void int_text(char* out, int v) { snprintf(out, 16, "%d", v); }

QZ_SIM_EXPORT char* dllpurchase(char* terminal, int a, int b, char* account, char* amount,
                                char* text_a, char* text_b, char* tax1, char* tax2, char* tip,
                                int c, int d, char* blanks4, int e, char* blanks9,
                                char* blanks20, char* fixed) {
  char ta[16], tb[16], tc[16], td[16], te[16];
  int_text(ta, a);
  int_text(tb, b);
  int_text(tc, c);
  int_text(td, d);
  int_text(te, e);
  const char* args[] = {terminal, ta,   tb,   account, amount,  text_a, text_b, tax1, tax2,
                        tip,      tc,   td,   blanks4, te,      blanks9, blanks20, fixed};
  sim_log("dllpurchase", 17, args);
  return (char*)reply("dllpurchase", "00;APROBADA;;;000123;654321;000001;");
}

QZ_SIM_EXPORT char* dllcanceltrans(char* terminal, char* a, char* b, char* c) {
  const char* args[] = {terminal, a, b, c};
  sim_log("dllcanceltrans", 4, args);
  return (char*)reply("dllcanceltrans", "00;ANULADA;");
}

QZ_SIM_EXPORT char* dllsettlement(char* terminal) {
  const char* args[] = {terminal};
  sim_log("dllsettlement", 1, args);
  return (char*)reply("dllsettlement", "00;CIERRE APROBADO;;000777;;08/12/26;;;;;;0;0;0;0");
}

QZ_SIM_EXPORT char* dllreport(char* terminal) {
  const char* args[] = {terminal};
  sim_log("dllreport", 1, args);
  return (char*)reply("dllreport", "00;REPORTE;;000000;;08/12/26;;;;;;0;0;0;0");
}
