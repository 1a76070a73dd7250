// qzadmin: inspects and maintains installations and single tables.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::fprintf(stderr, "usage: qzadmin COMMAND ...\n");
  return 2;
}
