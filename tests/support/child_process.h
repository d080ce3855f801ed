// Runs part of a test in a forked child and hands back how the child ended and what it wrote,
// for the checks of exit statuses and exact console lines.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------------------------
// Types

struct ChildRun {
  int status;  // the exit status as the shell shows it, or 128 + the signal that ended the child
  std::string output;
  std::string error;
};

// ---------------------------------------------------------------------------------------------
// Internal functions

inline std::string ReadAndClose(FILE* file) {
  std::string content;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) content.push_back(char(c));
  std::fclose(file);
  return content;
}

// ---------------------------------------------------------------------------------------------
// Public functions

// The child's streams go to files rather than pipes, so a child that writes a lot never blocks;
// its standard input is empty, so nothing it does can wait for a terminal.
template <class Body>
ChildRun RunInChild(Body body) {
  std::fflush(nullptr);
  FILE* output = std::tmpfile();
  FILE* error = std::tmpfile();
  pid_t child = fork();
  if (child == 0) {
    // A failed redirection shows up as output in the wrong place, which the caller checks.
    dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
    dup2(fileno(output), STDOUT_FILENO);
    dup2(fileno(error), STDERR_FILENO);
    body();
    std::fflush(nullptr);
    _exit(0);
  }
  int raw = 0;
  if (child < 0 || waitpid(child, &raw, 0) != child) raw = 99 << 8;
  int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return {status, ReadAndClose(output), ReadAndClose(error)};
}
