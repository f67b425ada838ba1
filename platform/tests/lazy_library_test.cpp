// Libraries opened when first needed: found functions work, and a missing
// library or function gives a reason and no pointer.
#include "platform/lazy_library.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform {
namespace {

TEST(LazyLibrary, ResolvesFunctionsAndSaysWhyWhenItCannot)
{
    LazyLibrary c("libc.so.6");
    decltype(&std::strlen) length = nullptr;
    ASSERT_TRUE(c.resolve(length, "strlen")) << c.error().toStdString();
    EXPECT_EQ(length("four"), 4u);
    EXPECT_TRUE(c.error().isEmpty());

    decltype(&std::strlen) missing = length;
    EXPECT_FALSE(c.resolve(missing, "no_such_function_here"));
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(c.error(), QStringLiteral("libc.so.6 has no function no_such_function_here"));
    EXPECT_FALSE(c.resolve(length, "strlen")) << "a failure sticks";

    LazyLibrary absent("libkestrel-absent.so.1");
    EXPECT_FALSE(absent.load());
    EXPECT_FALSE(absent.resolve(length, "strlen"));
    EXPECT_TRUE(absent.error().startsWith(QStringLiteral("cannot load libkestrel-absent.so.1: "))) << absent.error().toStdString();
}

} // namespace
} // namespace platform
