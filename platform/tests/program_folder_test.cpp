#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

void MakeDataFolder(const QString& folder)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile ini(folder + QStringLiteral("/field.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
}

// The installed layout (<prefix>/bin beside <prefix>/share) and the build
// tree (programs, tools and tests at any depth below the build folder's
// share/) find their defaults by the same walk up, with no path built in.
TEST(DefaultDataFolder, IsTheNearestShareFolderAboveTheProgram)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString prefix = root.filePath(QStringLiteral("prefix"));
    MakeDataFolder(prefix + QStringLiteral("/share/kestrelworksA"));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/bin")));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/pagewright/content/tests")));
    const QString data = QDir::cleanPath(prefix + QStringLiteral("/share/kestrelworksA"));
    EXPECT_EQ(DefaultDataFolder(prefix + QStringLiteral("/bin")), data);
    EXPECT_EQ(DefaultDataFolder(prefix + QStringLiteral("/pagewright/content/tests")), data);

    // A nearer folder wins; one without field.ini is passed over.
    MakeDataFolder(prefix + QStringLiteral("/pagewright/share/kestrelworksA"));
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/pagewright/content/share/kestrelworksA")));
    EXPECT_EQ(DefaultDataFolder(prefix + QStringLiteral("/pagewright/content/tests")),
              QDir::cleanPath(prefix + QStringLiteral("/pagewright/share/kestrelworksA")));

    // Nothing above: no defaults.
    const QString lone = root.filePath(QStringLiteral("lone/bin"));
    ASSERT_TRUE(QDir().mkpath(lone));
    EXPECT_TRUE(DefaultDataFolder(lone).isEmpty() || !DefaultDataFolder(lone).startsWith(root.path()));
    EXPECT_TRUE(DefaultDataFolder(QString()).isEmpty());
}

} // namespace
} // namespace platform
