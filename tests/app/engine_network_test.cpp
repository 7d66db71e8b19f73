// The engine inside ondravia gets local sockets only and no look-ups; the rest of the process
// keeps its network.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

class EngineNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_ = ::dlopen(VARDEL_FAKE_ENGINE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(engine_, nullptr) << ::dlerror();
    socket_ = reinterpret_cast<int (*)(int, int)>(::dlsym(engine_, "engineSocket"));
    lookUp_ = reinterpret_cast<int (*)(const char*)>(::dlsym(engine_, "engineLookUp"));
    ASSERT_TRUE(socket_ && lookUp_);
  }
  void TearDown() override {
    if (engine_) ::dlclose(engine_);
  }
  // A TCP connection of the program's own to a listener on 127.0.0.1.
  static void expectOwnConnection() {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0) << errno;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(client, 0) << errno;
    EXPECT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << errno;
    ::close(client);
    ::close(listener);
  }
  void* engine_ = nullptr;
  int (*socket_)(int, int) = nullptr;
  int (*lookUp_)(const char*) = nullptr;
};

TEST_F(EngineNetwork, EngineGetsNoInternetSocketsAndNoLookUps) {
  for (const int domain : {AF_INET, AF_INET6, AF_PACKET}) {
    for (const int type : {SOCK_STREAM, SOCK_DGRAM}) {
      errno = 0;
      EXPECT_EQ(socket_(domain, type), -1) << domain << " " << type;
      EXPECT_EQ(errno, EACCES);
    }
  }
  EXPECT_EQ(lookUp_("localhost"), EAI_FAIL);
  EXPECT_EQ(lookUp_("127.0.0.1"), EAI_FAIL);
}

TEST_F(EngineNetwork, EngineKeepsLocalSocketsAndTheProgramItsNetwork) {
  for (const int domain : {AF_UNIX, AF_NETLINK}) {
    const int local = socket_(domain, domain == AF_UNIX ? SOCK_STREAM : SOCK_RAW);
    EXPECT_GE(local, 0) << domain << " " << errno;
    if (local >= 0) ::close(local);
  }
  expectOwnConnection();
  addrinfo* found = nullptr;
  EXPECT_EQ(::getaddrinfo("localhost", nullptr, nullptr, &found), 0);
  if (found) ::freeaddrinfo(found);
}

}  // namespace
