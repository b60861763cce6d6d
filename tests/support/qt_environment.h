// One QApplication for a whole GUI test program, created before its first test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "support/qt_printers.h"

namespace tessaflex::test {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "tessaflex_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

// Including this header registers the environment once per test program.
inline ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace tessaflex::test
