#include "tests/app/console/flasher_process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vn::test {

FlasherProcess::FlasherProcess(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{VN_FLASHER};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0) return;
  if (pipe(errPipe) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addclose(&actions, errPipe[0]);
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  outFd_ = outPipe[0];
  errFd_ = errPipe[0];
}

FlasherProcess::~FlasherProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
}

// Reads what is there within `limit`; false once both pipes are at their end.
bool FlasherProcess::Collect(std::chrono::milliseconds limit) {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  if (outFd_ < 0 && errFd_ < 0) return false;
  if (poll(fds, 2, static_cast<int>(limit.count())) <= 0) return true;
  int* owners[2] = {&outFd_, &errFd_};
  std::string* texts[2] = {&out_, &err_};
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    char chunk[4096];
    const ssize_t count = read(fds[i].fd, chunk, sizeof chunk);
    if (count > 0) {
      texts[i]->append(chunk, static_cast<std::size_t>(count));
    } else {
      close(*owners[i]);
      *owners[i] = -1;
    }
  }
  return true;
}

bool FlasherProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (out_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline || !Collect(std::chrono::milliseconds(20))) return false;
  }
  return true;
}

void FlasherProcess::Interrupt() {
  if (pid_ > 0) kill(pid_, SIGINT);
}

int FlasherProcess::Finish(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Collect(std::chrono::milliseconds(20))) {
    if (std::chrono::steady_clock::now() > deadline) return -1;
  }
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string FlasherProcess::DeviceSummary() const {
  const std::string marker = "simulated device received: ";
  const std::size_t at = err_.find(marker);
  if (at == std::string::npos) return {};
  const std::size_t start = at + marker.size();
  return err_.substr(start, err_.find('\n', start) - start);
}

}  // namespace vn::test
