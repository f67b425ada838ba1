// The layout and wizard files as texts: escaped line breaks, the wizard's
// state, the wizard file written from it and read back the way template
// conversion reads it.
#include "layout_file.h"
#include "profile_text.h"
#include "wizard_file.h"
#include "wizard_state.h"

#include "platform/codepage.h"
#include "platform/ini_file.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProfileText, LineBreaksAndBackslashesRoundTripAndOtherPairsStay)
{
    struct Case {
        const char* text;
        const char* written;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\r\nb", "a\\r\\nb"},
        {"line\nbreak", "line\\nbreak"},
        {"C:\\temp\\new", "C:\\\\temp\\\\new"},
        {"\\n is not a break", "\\\\n is not a break"},
        {"ends in \\", "ends in \\\\"},
        {"检测\r\n地点", "检测\\r\\n地点"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(EscapeProfileText(text), QString::fromUtf8(c.written)) << c.text;
        EXPECT_EQ(UnescapeProfileText(EscapeProfileText(text)), text) << c.text;
    }
    // Pairs the writer never makes are left as they are, and so is a lone
    // backslash at the end.
    EXPECT_EQ(UnescapeProfileText(QStringLiteral("\\t\\x\\")), QStringLiteral("\\t\\x\\"));
}

TEST(LayoutFile, PathReplacesTheLastExtension)
{
    EXPECT_EQ(LayoutFilePath(QStringLiteral("/t/report.v2.rpm")), QStringLiteral("/t/report.v2.ini"));
    EXPECT_EQ(LayoutFilePath(QStringLiteral("/t/report")), QStringLiteral("/t/report.ini"));
    EXPECT_EQ(LayoutFilePath(QStringLiteral("/t.d/report")), QStringLiteral("/t.d/report.ini"));
}

TEST(WizardState, ListsGrowAsEntriesAreSet)
{
    WizardState state;
    WizardState::Set(state.astrWizardIRPaths, 2, QStringLiteral("c.vni"));
    state.SetUsePhoto(3, true);
    state.SetCell(1, 2, QStringLiteral("x"));
    EXPECT_EQ(state.astrWizardIRPaths.size(), 3);
    EXPECT_EQ(WizardState::At(state.astrWizardIRPaths, 0), QString());
    EXPECT_EQ(WizardState::At(state.astrWizardIRPaths, 7), QString());
    EXPECT_TRUE(state.UsePhoto(3));
    EXPECT_FALSE(state.UsePhoto(0));
    EXPECT_FALSE(state.UsePhoto(40));
    EXPECT_EQ(state.Cell(1, 2), QStringLiteral("x"));
    EXPECT_EQ(state.Cell(0, 0), QString());
    EXPECT_EQ(state.Cell(5, 0), QString());
    // Negative indexes change nothing.
    WizardState::Set(state.astrWizardIRPaths, -1, QStringLiteral("y"));
    state.SetCell(-1, 0, QStringLiteral("y"));
    EXPECT_EQ(state.astrWizardIRPaths.size(), 3);
    EXPECT_EQ(state.aastrWizardCells.size(), 2u);
    // The program's state is one object.
    EXPECT_EQ(&TheWizardState(), &TheWizardState());
}

// A layout of three images (numbers 5, 7, 9), two photos belonging to
// images 9 and 5, two texts and two tables of 2 x 2 and 3 x 1 cells.
LayoutFile ThreeImageLayout()
{
    platform::IniDocument ini;
    ini.writeInt(u"DrawIR", u"OBJ1_IRNO", 5);
    ini.writeInt(u"DrawIR", u"OBJ2_IRNO", 7);
    ini.writeInt(u"DrawIR", u"OBJ3_IRNO", 9);
    ini.writeInt(u"DrawIR", u"ObjCount", 3);
    ini.writeInt(u"DrawPhoto", u"OBJ1_IRNO", 9);
    ini.writeInt(u"DrawPhoto", u"OBJ2_IRNO", 5);
    ini.writeInt(u"DrawPhoto", u"ObjCount", 2);
    ini.writeInt(u"DrawText", u"ObjCount", 2);
    ini.writeInt(u"DrawTable", u"OBJ1_Row", 2);
    ini.writeInt(u"DrawTable", u"OBJ1_Col", 2);
    ini.writeInt(u"DrawTable", u"OBJ2_Row", 3);
    ini.writeInt(u"DrawTable", u"OBJ2_Col", 1);
    ini.writeInt(u"DrawTable", u"ObjCount", 2);
    return LayoutFile(ini);
}

TEST(WizardFile, TemplateWizardSendsEachPictureToItsImagesOwnPhoto)
{
    WizardState state;
    for (int i = 0; i < 3; ++i) {
        WizardState::Set(state.astrWizardIRPaths, i, QStringLiteral("/ir/%1.vni").arg(i + 1));
        WizardState::Set(state.astrWizardPhotoPaths, i, QStringLiteral("/pic/%1.jpg").arg(i + 1));
        state.SetUsePhoto(i, true);
    }
    // Image 2 (number 7) has no photo of its own: its picture goes nowhere.
    // Image 1 (number 5) owns photo 2, image 3 (number 9) photo 1.
    const WizardFile file(BuildWizardFile(state, kTemplateWizard, ThreeImageLayout()));
    EXPECT_EQ(file.IRPath(1), QStringLiteral("/ir/1.vni"));
    EXPECT_EQ(file.IRPath(3), QStringLiteral("/ir/3.vni"));
    EXPECT_EQ(file.PhotoPath(1), QStringLiteral("/pic/3.jpg"));
    EXPECT_EQ(file.PhotoPath(2), QStringLiteral("/pic/1.jpg"));
    EXPECT_EQ(file.PhotoPath(3), QString());

    // A picture whose flag is off is not written.
    state.SetUsePhoto(0, false);
    const WizardFile second(BuildWizardFile(state, kTemplateWizard, ThreeImageLayout()));
    EXPECT_EQ(second.PhotoPath(2), QString());
    EXPECT_EQ(second.PhotoPath(1), QStringLiteral("/pic/3.jpg"));
}

TEST(WizardFile, TemplateWizardWritesTextsAndCellsTableByTable)
{
    WizardState state;
    state.astrWizardTexts = {QStringLiteral("first\r\nline"), QStringLiteral("--")};
    // The table page lists the last table first: table 2 (3 rows) in rows
    // 0-2, table 1 (2 rows) in rows 3-4.
    state.nWizardTableRows = 5;
    state.nWizardTableCols = 2;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 2; ++c)
            state.SetCell(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    const platform::IniDocument ini = BuildWizardFile(state, kTemplateWizard, ThreeImageLayout());
    const WizardFile file(ini);
    EXPECT_EQ(file.Text(1), QStringLiteral("first\r\nline"));
    EXPECT_EQ(file.Text(2), QStringLiteral("--"));
    EXPECT_EQ(ini.readInt(u"TEXTOBJ", u"ObjCount", -1), 2);
    EXPECT_EQ(ini.readInt(u"TABLEOBJ", u"ObjCount", -1), 2);
    EXPECT_EQ(file.Cell(1, 0, 0), QStringLiteral("r3c0"));
    EXPECT_EQ(file.Cell(1, 1, 1), QStringLiteral("r4c1"));
    EXPECT_EQ(file.Cell(2, 0, 0), QStringLiteral("r0c0"));
    EXPECT_EQ(file.Cell(2, 2, 0), QStringLiteral("r2c0"));
    // Only the table's own columns are written.
    EXPECT_FALSE(ini.value(u"TABLEOBJ", u"OBJ2_0_1_Content"));
    EXPECT_EQ(ini.readInt(u"IROBJ", u"ObjCount", -1), 3);
    EXPECT_FALSE(ini.value(u"PAGETITLE", u"OBJ1_Path"));
}

TEST(WizardFile, NewReportWizardWritesPagesWithoutTextsOrTables)
{
    WizardState state;
    state.nWizardImageCount = 2;
    for (int i = 0; i < 2; ++i) {
        WizardState::Set(state.astrWizardIRPaths, i, QStringLiteral("/ir/%1.vni").arg(i + 1));
        WizardState::Set(state.astrWizardPageTitles, i, QStringLiteral("页%1").arg(i + 1));
        WizardState::Set(state.astrWizardSections, i, QStringLiteral("变电站"));
        WizardState::Set(state.astrWizardDeviceNames, i, QStringLiteral("T%1").arg(i + 1));
    }
    WizardState::Set(state.astrWizardPhotoPaths, 1, QStringLiteral("/pic/2.jpg"));
    state.SetUsePhoto(1, true);
    // The ObjCount comes from whatever layout the chooser showed last.
    const platform::IniDocument ini = BuildWizardFile(state, kNewReportWizard, ThreeImageLayout());
    const WizardFile file(ini);
    EXPECT_EQ(ini.readInt(u"IROBJ", u"ObjCount", -1), 3);
    EXPECT_EQ(file.IRPath(2), QStringLiteral("/ir/2.vni"));
    EXPECT_EQ(file.PhotoPath(1), QString());
    EXPECT_EQ(file.PhotoPath(2), QStringLiteral("/pic/2.jpg"));
    EXPECT_EQ(file.PageTitle(1), QStringLiteral("页1"));
    EXPECT_EQ(file.Section(2), QStringLiteral("变电站"));
    EXPECT_EQ(file.DeviceName(2), QStringLiteral("T2"));
    EXPECT_FALSE(ini.value(u"TEXTOBJ", u"ObjCount"));
    EXPECT_FALSE(ini.value(u"TABLEOBJ", u"ObjCount"));
    // An empty layout gives no tables and ObjCount 0.
    const platform::IniDocument empty = BuildWizardFile(WizardState(), kTemplateWizard, LayoutFile());
    EXPECT_EQ(empty.readInt(u"TABLEOBJ", u"ObjCount", -1), 0);
    EXPECT_EQ(empty.readInt(u"IROBJ", u"ObjCount", -1), 0);
}

TEST(WizardFile, ReadsWhatTheProfileFunctionsWouldFindAndValuesWhole)
{
    // Written as the wizard writes it; asked for as conversion asks.
    QByteArray text = "[IROBJ]\r\nObjCount=1\r\n  obj1_path = /a b/IR0001.VNI \r\n[TEXTOBJ]\r\nOBJ1_Content=";
    // A text of 300 two-byte characters (600 GBK bytes): read whole, not cut
    // at 254 bytes inside a character.
    const QString longText = QString(300, QChar(0x68C0));
    text += platform::toGbk(longText) + "\r\nOBJ2_Content=\r\n";
    const WizardFile file{platform::IniDocument(text)};
    EXPECT_EQ(file.IRPath(1), QStringLiteral("/a b/IR0001.VNI"));
    EXPECT_EQ(file.Text(1), longText);
    EXPECT_EQ(file.Text(2), QString());
    EXPECT_EQ(file.Text(3), QString());
    EXPECT_EQ(file.PhotoPath(1), QString());
}

TEST(WizardFile, WritingReplacesTheFileAndAFailureSaysWhy)
{
    QTemporaryDir dir;
    const QString path = WizardFilePath(dir.path());
    EXPECT_EQ(path, dir.filePath(QStringLiteral("wizard.ini")));
    {
        platform::IniFile old(path);
        ASSERT_TRUE(old.writeString(u"TEXTOBJ", u"OBJ9_Content", u"stale"));
    }
    WizardState state;
    state.astrWizardTexts = {QStringLiteral("new")};
    platform::IniDocument layout;
    layout.writeInt(u"DrawText", u"ObjCount", 1);
    ASSERT_TRUE(WriteWizardFile(path, state, kTemplateWizard, LayoutFile(layout)));
    const WizardFile file = WizardFile::Load(path);
    EXPECT_EQ(file.Text(1), QStringLiteral("new"));
    EXPECT_EQ(file.Text(9), QString()); // each run replaces the file

    QString error;
    EXPECT_FALSE(WriteWizardFile(dir.filePath(QStringLiteral("no/such/wizard.ini")), state, kTemplateWizard,
                                 LayoutFile(layout), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace

// Counts and table sizes past what a layout file may describe: the file is
// damaged, every count reads 0 (nothing loops over the claimed number) and
// the wizard file is refused.
TEST(LayoutFile, CountsBeyondTheMaximumMakeTheFileDamaged)
{
    const struct {
        const char* text;
        bool damaged;
    } cases[] = {
        {"[DrawIR]\nObjCount=2000000000\n", true},
        {"[DrawPhoto]\nObjCount=2000000000\n", true},
        {"[DrawText]\nObjCount=-1\n", true},
        {"[DrawTable]\nObjCount=10001\n", true},
        {"[DrawTable]\nObjCount=1\nOBJ1_Row=2000000000\nOBJ1_Col=1\n", true},
        {"[DrawTable]\nObjCount=1\nOBJ1_Row=1\nOBJ1_Col=-5\n", true},
        // Each side allowed, the cells together not.
        {"[DrawTable]\nObjCount=1\nOBJ1_Row=10000\nOBJ1_Col=10000\n", true},
        {"[DrawTable]\nObjCount=2\nOBJ1_Row=1000\nOBJ1_Col=1000\nOBJ2_Row=1\nOBJ2_Col=1\n", true},
        {"[DrawIR]\nObjCount=10000\n[DrawTable]\nObjCount=1\nOBJ1_Row=1000\nOBJ1_Col=1000\n", false},
        {"[DrawPhoto]\nObjCount=0\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const LayoutFile layout{platform::IniDocument(QByteArray(c.text))};
        EXPECT_EQ(layout.IsDamaged(), c.damaged);
        if (c.damaged) {
            for (int section = 0; section < kLayoutSectionCount; ++section)
                EXPECT_EQ(layout.ObjCount(section), 0);
            EXPECT_EQ(layout.TableRows(1), 0);
            EXPECT_EQ(LayoutPhotoOfImage(layout, 1), 0);
        }
    }

    // The 31-byte file that kept the photo search looping: refused at once,
    // and the wizard file is not written.
    const QByteArray hostile = "[DrawPhoto]\r\nObjCount=2000000000";
    const LayoutFile layout{platform::IniDocument(hostile)};
    ASSERT_TRUE(layout.IsDamaged());
    WizardState state;
    state.SetUsePhoto(0, true);
    const platform::IniDocument built = BuildWizardFile(state, kTemplateWizard, layout);
    EXPECT_EQ(built.readInt(u"IROBJ", u"ObjCount", -1), 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wizard.ini"));
    QString error;
    EXPECT_FALSE(WriteWizardFile(path, state, kTemplateWizard, layout, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("damaged")));
    EXPECT_FALSE(QFileInfo::exists(path));

    // The new-report wizard bounds its own image count the same way.
    WizardState many;
    many.nWizardImageCount = 2000000000;
    const platform::IniDocument own = BuildWizardFile(many, kNewReportWizard, LayoutFile());
    EXPECT_TRUE(own.value(u"IROBJ", LayoutKey(kMaxLayoutObjects, "Path")));
    EXPECT_FALSE(own.value(u"IROBJ", LayoutKey(kMaxLayoutObjects + 1, "Path")));
}
