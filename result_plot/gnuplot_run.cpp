#include "result_plot/gnuplot_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "textio/errors.h"

extern char** environ;

namespace circplot {

namespace {

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// posix_spawn's file actions and attributes, destroyed on every path.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

[[noreturn]] void CannotStart(const std::filesystem::path& gnuplot, int error) {
  throw textio::RuntimeError("cannot start " + gnuplot.string() + ": " + std::strerror(error));
}

}  // namespace

std::optional<std::filesystem::path> FindOnPath(std::string_view program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return std::nullopt;
  std::string_view folders(path);
  while (true) {
    const size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    // An empty entry of $PATH stands for the current directory.
    const std::filesystem::path candidate =
        std::filesystem::path(folder.empty() ? "." : std::string(folder)) / std::string(program);
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    if (colon == std::string_view::npos) return std::nullopt;
    folders.remove_prefix(colon + 1);
  }
}

std::string GnuplotOutcome::Describe() const { return (exited ? "exit status " : "signal ") + std::to_string(code); }

GnuplotOutcome RunGnuplot(const std::filesystem::path& gnuplot, const std::string& script,
                          const std::filesystem::path& directory) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) CannotStart(gnuplot, errno);
  Descriptor read_end(pipe_fds[0]);
  Descriptor write_end(pipe_fds[1]);

  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&setup.actions, write_end.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&setup.actions, write_end.get(), STDERR_FILENO);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&setup.actions, directory.c_str());
  // The suite ignores SIGPIPE (a closed pipe is a write error); gnuplot
  // gets the default back.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF);

  std::string program = gnuplot.string();
  // A name starting with '-' would be read as an option.
  std::string script_argument = script.starts_with('-') ? "./" + script : script;
  std::vector<char*> argv = {program.data(), script_argument.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  if (spawned != 0) CannotStart(gnuplot, spawned);
  write_end.Close();

  GnuplotOutcome outcome;
  char buffer[4096];
  while (true) {
    const ssize_t got = ::read(read_end.get(), buffer, sizeof buffer);
    if (got > 0) {
      outcome.messages.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw textio::RuntimeError("cannot wait for gnuplot: " + std::string(std::strerror(errno)));
  }
  outcome.exited = WIFEXITED(status);
  outcome.code = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
  return outcome;
}

}  // namespace circplot
