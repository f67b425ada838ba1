// The browser run as a child process: a SIGTERM or SIGINT ends it through
// its normal exit, and nothing of it stays in the temporary folder.
#include "child_program.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

#include <csignal>

TEST(ExitCleanup, ASignalEndsTheBrowserAndItsTemporaryFilesGo)
{
    EnsureQApplication();
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        suite::test::ChildProgram program(QStringLiteral(HEATSHELF_PROGRAM));
        // The image view's scratch folder shows the program is up.
        ASSERT_TRUE(program.StartAndSignal(signalNumber)) << signalNumber;
        EXPECT_TRUE(program.EndedNormallyWith(128 + signalNumber)) << signalNumber;
        EXPECT_TRUE(program.TempEntries().isEmpty()) << program.TempEntries().join(QLatin1Char(' ')).toStdString();
    }
}
