// The application object of the filing tests (change notices and timers need
// an event loop): made before the first test, destroyed after the last one.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <memory>

namespace {

class ApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[13] = "filing_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

// Google Test owns the environment.
[[maybe_unused]] const ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
