// A stand-in for the browser engine's library, under its file name: its calls are the engine's.
#include <netdb.h>
#include <sys/socket.h>

extern "C" __attribute__((visibility("default"))) int engineSocket(int domain, int type) {
  return ::socket(domain, type, 0);
}

extern "C" __attribute__((visibility("default"))) int engineLookUp(const char* name) {
  addrinfo* found = nullptr;
  const int status = ::getaddrinfo(name, nullptr, nullptr, &found);
  if (found) ::freeaddrinfo(found);
  return status;
}
