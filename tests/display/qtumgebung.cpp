// The QImage canvas draws text through the Qt font system, which needs a
// QGuiApplication for the whole test program (QT_QPA_PLATFORM=offscreen).

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace {

class QtUmgebung : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[13] = "test_display";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

// gtest takes ownership of the environment.
[[maybe_unused]] auto* const umgebung = ::testing::AddGlobalTestEnvironment(new QtUmgebung);

}  // namespace
