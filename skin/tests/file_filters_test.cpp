// Stored filter texts turned into the file dialogs' filters.
#include "skin/file_filters.h"

#include <gtest/gtest.h>

TEST(FileDialogFilters, EveryStoredFormGivesBlankSeparatedPatterns)
{
    struct Case {
        const char* stored;
        QStringList expected;
    };
    const Case cases[] = {
        // A report type: one entry whose patterns are kept with ';', then
        // an all-files entry.
        {"红外报表文件 (*.rpt;*.rpm);;*",
         {QString::fromUtf8("红外报表文件 (*.rpt *.RPT *.rpm *.RPM)"), QStringLiteral("*")}},
        // Pairs, the text repeating its patterns, capitals on the card.
        {"All InfraFile(*.JPG;*.VNI)|*.JPG;*.VNI|JPG (*.JPG)|*.JPG||",
         {QStringLiteral("All InfraFile (*.JPG *.jpg *.VNI *.vni)"), QStringLiteral("JPG (*.JPG *.jpg)")}},
        // A pair whose text is only its pattern list; a last pair without
        // the closing "||".
        {"(*.bmp;*.gif)|*.bmp;*.gif||", {QStringLiteral("(*.bmp *.BMP *.gif *.GIF)")}},
        {"Wave File|*.wav", {QStringLiteral("Wave File (*.wav *.WAV)")}},
        // Qt's own form comes through; blanks and repeats are folded.
        {"Microsoft Word (*.docx)", {QStringLiteral("Microsoft Word (*.docx *.DOCX)")}},
        {"Pictures ( *.png  *.PNG ;*.png )", {QStringLiteral("Pictures (*.png *.PNG)")}},
        // Entries without patterns are dropped; nothing stays nothing.
        {"Empty|  |Text|*.txt||", {QStringLiteral("Text (*.txt *.TXT)")}},
        {"Nothing ()", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(skin::FileDialogFilters(QString::fromUtf8(c.stored)), c.expected) << c.stored;
        EXPECT_EQ(skin::FileDialogFilter(QString::fromUtf8(c.stored)), c.expected.join(QStringLiteral(";;")))
            << c.stored;
    }
}
