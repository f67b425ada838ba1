// One QApplication for the whole run, the one the application tests use.
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureQApplication(); }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

} // namespace
