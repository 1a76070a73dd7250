// qzadmin: inspects and maintains installations and single tables.
#include "qzadmin.h"

#include <cstdio>
#include <map>

namespace qzadmin {

int Fail(const std::string& message) {
  std::fprintf(stderr, "qzadmin: %s\n", message.c_str());
  return 1;
}

}  // namespace qzadmin

namespace {

const char kUsage[] =
    "usage: qzadmin COMMAND ARGS\n"
    "  dump FILE.DBF [--tag NAME] [--deleted]   records as JSON lines (in tag order with --tag)\n"
    "  info FILE.DBF                            structure, record count, code page, tags\n"
    "  check FILE.DBF                           compare every tag with the records\n"
    "  check DIR                                every table and tag of an installation\n"
    "  reindex FILE.DBF                         rebuild the index from the records (a new file)\n"
    "  reindex DIR                              the same for every table of an installation\n"
    "  pack FILE.DBF                            remove deleted records, compact memos\n"
    "  init DIR [--force]                       create an installation (tables, folders, files)\n"
    "  demo DIR [--force] [--date YYYYMMDD]     init plus the demo hotel group\n"
    "  schema [--json]                          the table catalog compiled into qzadmin\n"
    "  consolidate DIR --business B (--department D | --all-departments) --date YYYYMMDD\n"
    "                                           open payroll periods, as \"Iniciar Planilla\"\n"
    "  recalc DIR --business B --kind K [...]   recalculate past payrolls as the \"Recalculo\"\n"
    "                                           screens do (`qzadmin recalc` lists the kinds)\n"
    "  reconcile DIR --business B --department D --date YYYYMMDD\n"
    "                                           a payroll against its SAP journal (exit 1: differences)\n"
    "  --force replaces only what an installation consists of (its tables lose their rows);\n"
    "  nothing else in DIR is touched.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace qzadmin;
  std::map<std::string, int (*)(const Args&)> commands = {
      {"dump", CmdDump}, {"info", CmdInfo}, {"check", CmdCheck}, {"reindex", CmdReindex},
      {"pack", CmdPack}, {"init", CmdInit}, {"demo", CmdDemo},   {"schema", CmdSchema},
      {"consolidate", CmdConsolidate}, {"recalc", CmdRecalc},
      {"reconcile", CmdReconcile}};
  if (argc < 2 || commands.find(argv[1]) == commands.end()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  Args args(argv + 2, argv + argc);
  // "check" takes a table or a whole installation folder.
  if (std::string(argv[1]) == "check" && args.size() == 1 && IsFolder(args[0]))
    return CmdCheckInstallation(args);
  return commands[argv[1]](args);
}
