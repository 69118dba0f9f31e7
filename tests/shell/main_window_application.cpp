// The application object of the shell tests: made before the first test and
// destroyed after the last one, while Qt's own global objects still exist
// (a function-local static QApplication would be destroyed after some of them).
#include <gtest/gtest.h>
#include <QApplication>
#include <memory>

namespace {

class ApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[12] = "shell_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Google Test owns the environment.
[[maybe_unused]] const ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
