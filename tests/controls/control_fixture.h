// A registry of its own for each test of hosted controls, and helpers to reach inside them.
#pragma once

#include "platform/control_registry.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vardel::test {

inline const QString kRealOcx = QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx");
inline const QString kFakes = QStringLiteral(VARDEL_BINARY_DIR "/tests/fakes/");
inline const QString kArticles = QStringLiteral(VARDEL_SOURCE_DIR "/tests/controls/data/");

// Points XDG_DATA_HOME and the program folder at empty folders for the test's length.
class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedData_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
    platform::overrideProgramFolder(program_.path());
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", savedData_);
    platform::overrideProgramFolder(QString());
  }

  // Calls an export of a library as the start-up's recovery path does; -1 when it is missing.
  static int callExport(const QString& library, const char* symbol) {
    platform::Library lib;
    if (!lib.load(library)) return -1;
    const auto entry = lib.resolveAs<std::int32_t (*)()>(symbol);
    return entry ? entry() : -1;
  }

  QTemporaryDir data_, program_;
  QByteArray savedData_;
};

}  // namespace vardel::test
