// Qt's own texts in Chinese: installed once per application from Qt's
// translations folder; a missing catalogue leaves the English texts and
// is no error.
#include "platform/qt_translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

bool CatalogueInstalled()
{
    return QFile::exists(QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                             .filePath(QLatin1String(platform::kQtTranslationCatalogue) + QLatin1String(".qm")));
}

bool HasChinese(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

class QtTranslationsTest : public ::testing::Test {
protected:
    int argc = 1;
    char name[8] = "tests";
    char* argv[2] = {name, nullptr};
};

} // namespace

TEST_F(QtTranslationsTest, StandardButtonsAndFileDialogSpeakChineseOnce)
{
    if (!CatalogueInstalled())
        GTEST_SKIP() << "Qt's Chinese translations are not installed";
    QCoreApplication app(argc, argv);
    ASSERT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    ASSERT_TRUE(platform::InstallQtTranslations());
    struct Text {
        const char* context;
        const char* source;
    };
    for (const Text& t : {Text{"QPlatformTheme", "Cancel"}, Text{"QPlatformTheme", "&Yes"},
                          Text{"QPlatformTheme", "&No"}, Text{"QPlatformTheme", "OK"},
                          Text{"QPlatformTheme", "Save"}, Text{"QFileDialog", "&Open"},
                          Text{"QFileDialog", "Files of type:"}}) {
        const QString text = QCoreApplication::translate(t.context, t.source);
        EXPECT_TRUE(HasChinese(text)) << t.context << " " << t.source << ": " << text.toStdString();
    }
    // A second start-up step finds the catalogue in place.
    EXPECT_TRUE(platform::InstallQtTranslations());
    EXPECT_EQ(app.findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(QtTranslationsTest, WithoutTheCatalogueTheTextsStayEnglish)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    // No application yet: nothing to install into.
    EXPECT_FALSE(platform::InstallQtTranslations(empty.path()));
    QCoreApplication app(argc, argv);
    // A folder without it, a folder that does not exist, and a file by the
    // name that is no catalogue.
    EXPECT_FALSE(platform::InstallQtTranslations(empty.path()));
    EXPECT_FALSE(platform::InstallQtTranslations(empty.filePath(QStringLiteral("none"))));
    QFile junk(empty.filePath(QLatin1String(platform::kQtTranslationCatalogue) + QLatin1String(".qm")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a catalogue");
    junk.close();
    EXPECT_FALSE(platform::InstallQtTranslations(empty.path()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_TRUE(app.findChildren<QTranslator*>().isEmpty());
}
