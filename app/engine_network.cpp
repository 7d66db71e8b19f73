// Keeps the browser engine that runs inside ondravia off the network: from the engine's own
// code, sockets of local families only and no name look-ups.
//
// Articles run scripts in the engine, and its WebRTC (STUN, TURN, peers' candidates) reaches
// addresses through sockets that the engine's network service opens in this process, with no
// request the engine's filter could see, and from frames its settings and scripts cannot all
// reach. The engine needs no network to read a magazine from a folder: every request but file:,
// data:, blob: and about: is refused already. So the two ways out that the engine's library
// calls — socket() for a new socket, getaddrinfo() for a name (glibc's look-up opens its sockets
// inside glibc) — are answered here when the caller is that library: a socket of any family but
// AF_UNIX and AF_NETLINK (the engine's local messages and its list of interfaces) is refused with
// EACCES, a look-up with EAI_FAIL. The engine then sees a machine without a network.
//
// Everything else in the process calls from its own library and is passed on as it was: X,
// sound, D-Bus and printing keep reaching their servers, over TCP too when the person's DISPLAY,
// PULSE_SERVER or CUPS_SERVER say so. Programs started from here (the game, xdg-open) are other
// processes and keep their network. The engine's own helper processes (its renderers) open no
// network sockets: their WebRTC asks the network service in this process. The engine's remote
// debugging port cannot open either.
// The executable exports both functions (app/CMakeLists.txt), so that they come before glibc's
// for every library the process loads.
#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr char kEngineLibrary[] = "libQt6WebEngineCore.so";

// The caller is where the call returns to: the engine's code, also when an engine function ends
// in a jump to socket() (its own caller is the engine's too).
bool calledFromEngine(const void* returnAddress) {
  Dl_info info;
  if (!dladdr(returnAddress, &info) || !info.dli_fname) return false;
  const char* slash = std::strrchr(info.dli_fname, '/');
  const char* name = slash ? slash + 1 : info.dli_fname;
  return std::strncmp(name, kEngineLibrary, sizeof kEngineLibrary - 1) == 0;
}

using GetAddrInfo = int (*)(const char*, const char*, const addrinfo*, addrinfo**);

}  // namespace

extern "C" __attribute__((visibility("default"), noinline)) int socket(int domain, int type, int protocol) noexcept {
  if (domain != AF_UNIX && domain != AF_NETLINK && calledFromEngine(__builtin_return_address(0))) {
    errno = EACCES;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_socket, domain, type, protocol));
}

extern "C" __attribute__((visibility("default"), noinline)) int getaddrinfo(const char* node, const char* service,
                                                                            const addrinfo* hints, addrinfo** result) {
  if (calledFromEngine(__builtin_return_address(0))) return EAI_FAIL;
  static const auto next = reinterpret_cast<GetAddrInfo>(::dlsym(RTLD_NEXT, "getaddrinfo"));
  if (!next) return EAI_SYSTEM;
  return next(node, service, hints, result);
}
