// The CUPS server of a whole test program: started before its first test, since Qt's printer
// support keeps talking to the first server it meets, and stopped after its last.
#pragma once

#include "tests/support/cups_server.h"

#include <gtest/gtest.h>

#include <memory>

namespace vardel::test {

class CupsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { server = std::make_unique<CupsServer>(); }
  void TearDown() override { server.reset(); }
  std::unique_ptr<CupsServer> server;
};

// Registered once per program, however many of its files include this.
inline CupsEnvironment* const kCupsEnvironment =
    static_cast<CupsEnvironment*>(::testing::AddGlobalTestEnvironment(new CupsEnvironment));

// The server while the tests run.
inline CupsServer* cupsServer() { return kCupsEnvironment->server.get(); }

}  // namespace vardel::test
