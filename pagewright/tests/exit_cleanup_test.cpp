// The report designer run as a child process: a SIGTERM or SIGINT ends it
// through its normal exit, also while its start-up template chooser is
// open, and nothing of it stays in the temporary folder.
#include "child_program.h"

#include <gtest/gtest.h>

#include "test_support.h"

#include <csignal>

TEST(ExitCleanup, ASignalEndsTheReportDesignerAndItsTemporaryFilesGo)
{
    EnsureQApplication();
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        suite::test::ChildProgram program(QStringLiteral(PAGEWRIGHT_PROGRAM));
        // The scratch folder shows the program is up; the template chooser
        // of the first report opens right after.
        ASSERT_TRUE(program.StartAndSignal(signalNumber)) << signalNumber;
        EXPECT_TRUE(program.EndedNormallyWith(128 + signalNumber)) << signalNumber;
        EXPECT_TRUE(program.TempEntries().isEmpty()) << program.TempEntries().join(QLatin1Char(' ')).toStdString();
    }
}
