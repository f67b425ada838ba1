// One QApplication for the whole test run (widgets, fonts, image plugins),
// shared by the report designer's library test programs.
#include <QApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace
