#include "sim_script.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void sim_value(const char* key, const char* fallback, char* out, int size) {
  const char* path = getenv("QZ_CARD_SIM_SCRIPT");
  size_t klen = strlen(key);
  char line[2048];
  snprintf(out, (size_t)size, "%s", fallback);
  if (!path || !*path) return;
  FILE* f = fopen(path, "r");
  if (!f) return;
  while (fgets(line, sizeof line, f)) {
    line[strcspn(line, "\r\n")] = '\0';
    if (strncmp(line, key, klen) == 0 && line[klen] == '=') {
      snprintf(out, (size_t)size, "%s", line + klen + 1);
      break;
    }
  }
  fclose(f);
}

void sim_log(const char* fn, int count, const char* const* args) {
  const char* path = getenv("QZ_CARD_SIM_SCRIPT");
  char log[4096];
  if (!path || !*path) return;
  snprintf(log, sizeof log, "%s.log", path);
  FILE* f = fopen(log, "a");
  if (!f) return;
  fputs(fn, f);
  for (int i = 0; i < count; ++i) {
    fputc('|', f);
    fputs(args[i] ? args[i] : "(null)", f);
  }
  fputc('\n', f);
  fclose(f);
}
