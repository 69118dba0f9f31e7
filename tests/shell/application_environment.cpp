// The one application object of the widget tests. It is made before the first
// test and destroyed after the last one, while the rest of Qt still exists: a
// function-local static QApplication would only be destroyed by the exit
// handlers, after parts of Qt it needs are gone, and crash the test program.
#include <gtest/gtest.h>
#include <QApplication>
#include <memory>

namespace {

class ApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        if (QApplication::instance() == nullptr) {
            application_ = std::make_unique<QApplication>(argc_, argv_);
        }
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[12] = "shell_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// GoogleTest takes ownership of the environment.
[[maybe_unused]] const ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
