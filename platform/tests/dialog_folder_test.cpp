#include "platform/dialog_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

// A home of its own (HOME and XDG_CONFIG_HOME), restored afterwards.
class ScratchHome {
public:
    ScratchHome() : m_home(qgetenv("HOME")), m_config(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toUtf8());
    }
    ~ScratchHome()
    {
        qputenv("HOME", m_home);
        qputenv("XDG_CONFIG_HOME", m_config);
    }
    QString path(const QString& name = {}) const { return name.isEmpty() ? m_dir.path() : m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
};

TEST(DialogFolder, TheLastFolderWhileItServesElseDocumentsElseHome)
{
    ScratchHome home;
    ASSERT_TRUE(QDir().mkpath(home.path(QStringLiteral("Documents"))));
    ASSERT_TRUE(QDir().mkpath(home.path(QStringLiteral("reports/2024"))));
    QFile file(home.path(QStringLiteral("reports/2024/a.rpt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString documents = home.path(QStringLiteral("Documents"));
    const QString reports = home.path(QStringLiteral("reports/2024"));

    struct Case {
        const char* what;
        QString lastUsed;
        FolderUse use;
        QString expected;
    };
    const Case cases[] = {
        {"nothing remembered", QString(), FolderUse::Read, documents},
        {"a folder", reports, FolderUse::Write, reports},
        {"a folder with a slash", reports + QLatin1Char('/'), FolderUse::Read, reports},
        {"a file in a folder", reports + QStringLiteral("/a.rpt"), FolderUse::Read, reports},
        {"a file that has gone", reports + QStringLiteral("/gone.vni"), FolderUse::Read, reports},
        {"a folder that has gone with its parent", home.path(QStringLiteral("gone/deeper/x.rpt")), FolderUse::Read,
         documents},
        {"a relative name", QStringLiteral("report.docx"), FolderUse::Write, documents},
        {"a folder nobody may write", QStringLiteral("/proc/sys"), FolderUse::Write, documents},
        {"read from it all the same", QStringLiteral("/proc/sys"), FolderUse::Read, QStringLiteral("/proc/sys")},
        {"not its parent either", QStringLiteral("/proc/sys/kernel"), FolderUse::Write, documents},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposedFolder(c.lastUsed, c.use), c.expected) << c.what;

    EXPECT_EQ(ProposedPath(QString(), QStringLiteral("report.docx"), FolderUse::Write),
              documents + QStringLiteral("/report.docx"));
    EXPECT_EQ(ProposedFolder(QString(), FolderUse::Read, reports), reports) << "a caller's own fallback comes first";
    EXPECT_EQ(ProposedFolder(QString(), FolderUse::Write, QStringLiteral("/proc/sys")), documents);

    // The documents folder named in the user's folder settings.
    ASSERT_TRUE(QDir().mkpath(home.path(QStringLiteral(".config"))));
    QFile dirs(home.path(QStringLiteral(".config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/reports\"\n");
    dirs.close();
    EXPECT_EQ(ProposedFolder(QString()), home.path(QStringLiteral("reports")));

    // Neither there: the home folder.
    ASSERT_TRUE(QDir(home.path(QStringLiteral("reports"))).removeRecursively());
    ASSERT_TRUE(dirs.remove());
    ASSERT_TRUE(QDir(documents).removeRecursively());
    EXPECT_EQ(ProposedFolder(QString()), home.path());
    EXPECT_EQ(ProposedFolder(reports + QStringLiteral("/a.rpt"), FolderUse::Write), home.path());

    EXPECT_EQ(FolderOf(QStringLiteral("/a/b/c.docx")), QStringLiteral("/a/b"));
    EXPECT_EQ(FolderOf(QString()), QString());
}

} // namespace
} // namespace platform
