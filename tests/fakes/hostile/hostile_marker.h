// The mark a library of a hostile disc leaves as soon as it is loaded: its own path, appended as
// a line to the file named by VARDEL_HOSTILE_MARKER. Included once by each such fake.
#pragma once

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

// Runs when the loader maps the library, before any of its functions is called: what a disc's
// code would run without being asked.
__attribute__((constructor)) void leaveMark() {
  const char* marker = std::getenv("VARDEL_HOSTILE_MARKER");
  if (!marker || !*marker) return;
  Dl_info info{};
  const char* name = "?";
  if (::dladdr(reinterpret_cast<void*>(&leaveMark), &info) && info.dli_fname) name = info.dli_fname;
  const int fd = ::open(marker, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t a = ::write(fd, name, std::strlen(name));
  [[maybe_unused]] const ssize_t b = ::write(fd, "\n", 1);
  ::close(fd);
}

}  // namespace
