/* Stand-ins for the banks' card-terminal client libraries: the answers come
 * from a script file named by QZ_CARD_SIM_SCRIPT ("name=value" lines), and
 * every call is appended to that file's name + ".log" (function name and
 * arguments separated by "|"), so tests and demos can script a terminal and
 * read back what the program asked of it. */
#ifndef QZ_SIM_SCRIPT_H
#define QZ_SIM_SCRIPT_H

#define QZ_SIM_EXPORT __attribute__((visibility("default")))

/* Copies the scripted value of `key` into `out` (at most `size` - 1 bytes);
 * `fallback` when the script or the key is missing. */
void sim_value(const char* key, const char* fallback, char* out, int size);
/* Appends one log line: `fn` and then `count` arguments. */
void sim_log(const char* fn, int count, const char* const* args);

#endif
