// Runs a command on a private X server of the kit's, away from the user's desktop, for
// suites that are not GoogleTest programs:  hushleaf_x_run <command> [arguments...]
#include "support/x_session.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <command> [arguments...]\n", argv[0]);
    return 2;
  }
  const testsupport::XSession x;
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
