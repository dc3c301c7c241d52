#include "piped_child.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

PipedChild::~PipedChild() {
    std::string ignored;
    finish(ignored);
}

bool PipedChild::start(const std::vector<std::string> &arguments, std::string &error) {
    name_ = arguments.at(0);
    int ends[2];
    if (pipe(ends) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    // A dying child must turn into a write error, not kill the tool.
    std::signal(SIGPIPE, SIG_IGN);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    posix_spawn_file_actions_addclose(&actions, ends[1]);
    // A group of its own: Ctrl+C reaches the tool alone, which then closes the pipe so that the
    // child finishes its file instead of dying halfway.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<std::string> copies = arguments;
    std::vector<char *> argv;
    for (std::string &argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const int failed = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[0]);
    if (failed != 0) {
        ::close(ends[1]);
        error = "cannot start " + name_ + ": " + std::strerror(failed);
        return false;
    }
    pipe_ = ends[1];
    process_ = child;
    return true;
}

bool PipedChild::write(const unsigned char *bytes, std::size_t left) {
    while (left > 0) {
        ssize_t n = ::write(static_cast<int>(pipe_), bytes, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PipedChild::finish(std::string &error) {
    if (pipe_ >= 0) ::close(static_cast<int>(pipe_));
    pipe_ = -1;
    if (process_ < 0) return true;
    int status = 0;
    while (waitpid(static_cast<pid_t>(process_), &status, 0) < 0 && errno == EINTR) {
    }
    process_ = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = WIFEXITED(status)
                ? name_ + " failed with exit code " + std::to_string(WEXITSTATUS(status))
                : name_ + " was killed";
    return false;
}
