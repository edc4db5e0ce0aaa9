// Runs a program with its standard output on a pipe whose reading end is
// already closed, as when the reader of a pipeline has gone away, and
// exits with the program's status (128 + signal number if it was killed).
// Unlike "prog | head -c0" this does not race with the reader's exit.
//
//   closed_stdout PROGRAM [ARGUMENTS...] < input
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: closed_stdout PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("closed_stdout: pipe");
    return 2;
  }
  close(fds[0]);
  const pid_t child = fork();
  if (child < 0) {
    std::perror("closed_stdout: fork");
    return 2;
  }
  if (child == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    execv(argv[1], argv + 1);
    std::perror("closed_stdout: exec");
    _exit(127);
  }
  close(fds[1]);
  int status = 0;
  if (waitpid(child, &status, 0) != child) {
    std::perror("closed_stdout: wait");
    return 2;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
