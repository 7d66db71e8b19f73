// The engine inside ondravia gets local sockets only and no look-ups; the rest of the process
// keeps its network.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

// An open socket, closed again; -1 when refused.
int opened(int descriptor) {
  if (descriptor >= 0) ::close(descriptor);
  return descriptor < 0 ? -1 : 0;
}
int lookUp(const char* name) {
  addrinfo* found = nullptr;
  const int status = ::getaddrinfo(name, nullptr, nullptr, &found);
  if (found) ::freeaddrinfo(found);
  return status;
}

TEST(EngineNetwork, EngineGetsLocalSocketsOnlyAndNoLookUpsWhileTheProgramKeepsItsNetwork) {
  void* engine = ::dlopen(VARDEL_FAKE_ENGINE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(engine, nullptr) << ::dlerror();
  const auto engineSocket = reinterpret_cast<int (*)(int, int)>(::dlsym(engine, "engineSocket"));
  const auto engineLookUp = reinterpret_cast<int (*)(const char*)>(::dlsym(engine, "engineLookUp"));
  ASSERT_TRUE(engineSocket && engineLookUp);
  for (const int domain : {AF_INET, AF_INET6, AF_PACKET}) {
    for (const int type : {SOCK_STREAM, SOCK_DGRAM}) {
      errno = 0;
      EXPECT_EQ(engineSocket(domain, type), -1) << domain << " " << type;
      EXPECT_EQ(errno, EACCES);
    }
  }
  EXPECT_EQ(engineLookUp("localhost"), EAI_FAIL);
  EXPECT_EQ(opened(engineSocket(AF_UNIX, SOCK_STREAM)), 0) << errno;
  EXPECT_EQ(opened(engineSocket(AF_NETLINK, SOCK_RAW)), 0) << errno;
  // The program's own calls, as X, sound and printing make them.
  EXPECT_EQ(opened(::socket(AF_INET, SOCK_STREAM, 0)), 0) << errno;
  EXPECT_EQ(opened(::socket(AF_INET, SOCK_DGRAM, 0)), 0) << errno;
  EXPECT_EQ(lookUp("localhost"), 0);
  ::dlclose(engine);
}

}  // namespace
