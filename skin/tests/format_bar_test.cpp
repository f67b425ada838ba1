// The text format bar: sizes in twips, the font list, and what it tells
// the text being edited.
#include "test_support.h"

#include "skin/font_combos.h"
#include "skin/skin_resources.h"
#include "skin/text_format_bar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <algorithm>
#include <iterator>
#include <set>

namespace {

TEST(FontSize, TwipsOfTheTypedText)
{
    struct Case {
        const char* text;
        int twips;
    };
    const Case cases[] = {
        {"12", 240},     {"10.5", 210},  {"0.9", 18},    {"abc", -2},    {"-3", 0},      {"", -1},
        {"  \t", -1},    {"nan", -2},    {"inf", -2},    {"10,5", -2},   {"1e99", 32761}, {"+12", 240},
        {"1e1", 200},    {" 9 ", 180},   {".5", 10},     {"1.", 20},     {"1e", -2},     {"0x10", -2},
        {"1e999", 32761}, {"1e-999", 0}, {"1638", 32760}, {"1639", 32761}, {"12pt", -2},  {"-", -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFontSizeCombo::ParseTwips(QString::fromUtf8(c.text)), c.twips) << c.text;
}

TEST(FontSize, ShownAsWholeOrHalfPoints)
{
    EXPECT_EQ(CFontSizeCombo::TwipsToText(240), QStringLiteral("12"));
    EXPECT_EQ(CFontSizeCombo::TwipsToText(210), QStringLiteral("10.5"));
    EXPECT_EQ(CFontSizeCombo::TwipsToText(215), QStringLiteral("11")); // rounds to half points
    EXPECT_EQ(CFontSizeCombo::TwipsToText(0), QStringLiteral("0"));
    EXPECT_EQ(CFontSizeCombo::TwipsToText(-1), QString());
}

// A comma locale changes nothing: the point is always ".".
TEST(FontSize, ReadsThePointUnderACommaLocale)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                     dir.filePath(QStringLiteral("de_DE.UTF-8"))});
    ASSERT_TRUE(localedef.waitForFinished(30000));
    ASSERT_EQ(localedef.exitCode(), 0) << localedef.readAllStandardError().toStdString();
    const QByteArray oldPath = qgetenv("LOCPATH");
    qputenv("LOCPATH", QFile::encodeName(dir.path()));
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    // The locale took: the C library reads "10.5" as 10.
    EXPECT_EQ(std::strtod("10.5", nullptr), 10.0);
    const int point = CFontSizeCombo::ParseTwips(QStringLiteral("10.5"));
    const int comma = CFontSizeCombo::ParseTwips(QStringLiteral("10,5"));
    std::setlocale(LC_NUMERIC, "C");
    if (oldPath.isNull())
        qunsetenv("LOCPATH");
    else
        qputenv("LOCPATH", oldPath);
    EXPECT_EQ(point, 210);
    EXPECT_EQ(comma, -2);
}

// The families fontconfig lists for a language, first name of each line.
std::set<QString> fontconfigFamilies(const char* lang)
{
    QProcess fc;
    fc.start(QStringLiteral("fc-list"), {QStringLiteral(":scalable=true:lang=%1").arg(QLatin1String(lang)),
                                         QStringLiteral("family")});
    EXPECT_TRUE(fc.waitForFinished(30000));
    std::set<QString> names;
    for (const QString& line : QString::fromUtf8(fc.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString first = line.section(QLatin1Char(','), 0, 0).trimmed();
        if (!first.isEmpty())
            names.insert(first);
    }
    return names;
}

TEST(FontNames, ListTheScalableChineseAndLatinFaces)
{
    EnsureQApplication();
    const std::set<QString> chinese = fontconfigFamilies("zh-cn");
    const std::set<QString> latin = fontconfigFamilies("en");
    ASSERT_FALSE(chinese.empty());
    ASSERT_FALSE(latin.empty());
    std::multiset<QString> expected;
    for (const QString& f : chinese)
        expected.insert(latin.count(f) ? f + QStringLiteral(" (中文 GB2312)") : f);
    for (const QString& f : latin)
        expected.insert(chinese.count(f) ? f + QStringLiteral(" (西方)") : f);

    CFontNameCombo combo;
    combo.FillFonts(DEFAULT_CHARSET);
    std::multiset<QString> shown;
    for (int i = 0; i < combo.count(); ++i) {
        shown.insert(combo.itemText(i));
        const FontRecord* rec = combo.GetRecord(i);
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(rec->flags, FontRecord::kTrueType); // no printer fonts
        EXPECT_TRUE(rec->charSet == GB2312_CHARSET || rec->charSet == ANSI_CHARSET);
    }
    std::vector<QString> missing, extra;
    std::set_difference(expected.begin(), expected.end(), shown.begin(), shown.end(), std::back_inserter(missing));
    std::set_difference(shown.begin(), shown.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
    EXPECT_TRUE(extra.empty()) << ::testing::PrintToString(extra);

    // One script only: no suffixes.
    combo.FillFonts(GB2312_CHARSET);
    EXPECT_EQ(combo.count(), int(chinese.size()));
    for (int i = 0; i < combo.count(); ++i)
        EXPECT_FALSE(combo.itemText(i).endsWith(QLatin1Char(')'))) << combo.itemText(i).toStdString();
}

TEST(FontNames, SelectFaceFindsTheEntryOfItsScript)
{
    EnsureQApplication();
    CFontNameCombo combo;
    combo.FillFonts(DEFAULT_CHARSET);
    // A face of both scripts: each set picks its own entry.
    QString both;
    for (int i = 0; i < combo.count() && both.isEmpty(); ++i) {
        if (combo.itemText(i).endsWith(QStringLiteral(" (西方)")))
            both = combo.GetRecord(i)->face;
    }
    ASSERT_FALSE(both.isEmpty());
    combo.SelectFace(both, GB2312_CHARSET);
    EXPECT_EQ(combo.currentText(), both + QStringLiteral(" (中文 GB2312)"));
    combo.SelectFace(both, ANSI_CHARSET);
    EXPECT_EQ(combo.currentText(), both + QStringLiteral(" (西方)"));
    combo.SelectFace(QStringLiteral("No Such Face"), DEFAULT_CHARSET);
    EXPECT_EQ(combo.currentText(), QStringLiteral("No Such Face"));
}

// Records every notification, and answers queries with its format.
struct FakeEditor : FormatBarReceiver {
    struct Note {
        std::uint32_t code;
        platform::CHARFORMAT format;
    };
    std::vector<Note> notes;
    platform::CHARFORMAT current;

    void OnFormatBarNotify(int barId, std::uint32_t code, platform::CHARFORMAT* format) override
    {
        EXPECT_EQ(barId, CTextFormatBar::kBarId);
        if (code == FMTN_QUERY && format != nullptr)
            *format = current;
        EXPECT_EQ(format != nullptr, code == FMTN_QUERY || code == FMTN_APPLY);
        notes.push_back({code, format != nullptr ? *format : platform::CHARFORMAT{}});
    }
    std::vector<std::uint32_t> codes() const
    {
        std::vector<std::uint32_t> out;
        for (const Note& n : notes)
            out.push_back(n.code);
        return out;
    }
};

class FormatBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skinState = MakeSkin(0);
        skin::ToolBarResource res;
        res.id = 231;
        res.width = 16;
        res.height = 16;
        res.commands = {CTextFormatBar::kFontNameId, CTextFormatBar::kFontSizeId, skin::kSeparator, 104, 108};
        res.bitmap = QImage(4 * 16, 17, QImage::Format_RGB32);
        res.bitmap.fill(qRgb(192, 192, 192));
        skin::RegisterToolBar(res);
        bar = std::make_unique<CTextFormatBar>();
        bar->SetControlId(CTextFormatBar::kBarId);
        ASSERT_TRUE(bar->LoadToolBarEx(231));
        bar->PositionCombos();
        bar->SetReceiver(&editor);
        bar->SetMessageHandler([this](int id, const QString&) { messages.push_back(id); });
        editor.current.dwMask = platform::CFM_FACE | platform::CFM_CHARSET | platform::CFM_SIZE;
        editor.current.SetFaceName(QStringLiteral("DejaVu Sans"));
        editor.current.bCharSet = ANSI_CHARSET;
        editor.current.yHeight = 240;
        bar->show();
    }

    static void focus(QWidget* w, QEvent::Type type)
    {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }
    static void key(QWidget* w, int k)
    {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    std::unique_ptr<skin::SkinState> skinState;
    std::unique_ptr<CTextFormatBar> bar;
    FakeEditor editor;
    std::vector<int> messages;
};

TEST_F(FormatBarTest, CombosTakeTheFirstTwoButtons)
{
    EXPECT_EQ(bar->GetButtonKind(0), kButtonControl);
    EXPECT_EQ(bar->GetButtonKind(1), kButtonControl);
    EXPECT_EQ(bar->GetButtonKind(3), kButtonPlain);
    EXPECT_TRUE(bar->GetFontNameCombo()->isVisible());
    EXPECT_TRUE(bar->GetFontSizeCombo()->isVisible());
    EXPECT_EQ(bar->GetFontNameCombo()->width(), 48 * bar->GetCharSize().width());
    EXPECT_EQ(bar->GetFontSizeCombo()->width(), 10 * bar->GetCharSize().width());
    EXPECT_EQ(bar->GetFontSizeCombo()->GetLimitText(), 4);
    EXPECT_LT(bar->GetFontSizeCombo()->geometry().right(), bar->GetButton(104)->geometry().left());
    EXPECT_LT(bar->GetFontNameCombo()->geometry().right(), bar->GetFontSizeCombo()->geometry().left());
    // The name list: entries at least 15 high, with the scalable-font mark.
    CFontNameCombo* name = bar->GetFontNameCombo();
    name->showPopup();
    EXPECT_GE(name->view()->visualRect(name->model()->index(0, 0)).height(), 15);
    SaveShot(name->view()->grab().toImage(), "fontnames");
    name->hidePopup();
    SaveShot(bar->grab().toImage(), "formatbar");
}

TEST_F(FormatBarTest, NotifiesInOrderAndAppliesTheSize)
{
    bar->OnUpdateCmdUI(true);
    EXPECT_EQ(bar->GetFontSizeCombo()->currentText(), QStringLiteral("12"));
    EXPECT_EQ(bar->GetFontNameCombo()->currentText(), QStringLiteral("DejaVu Sans"));
    CFontSizeCombo* size = bar->GetFontSizeCombo();
    focus(size, QEvent::FocusIn);
    size->setEditText(QStringLiteral("10.5"));
    focus(size, QEvent::FocusOut);
    EXPECT_EQ(editor.codes(), (std::vector<std::uint32_t>{FMTN_QUERY, NM_SETFOCUS, NM_KILLFOCUS, FMTN_APPLY}));
    const platform::CHARFORMAT& applied = editor.notes.back().format;
    EXPECT_EQ(applied.cbSize, 60u);
    EXPECT_EQ(applied.dwMask, platform::CFM_SIZE);
    EXPECT_EQ(applied.yHeight, 210);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FormatBarTest, BadSizesRaiseTheirMessageAndSendNothing)
{
    struct Case {
        const char* text;
        int message; // 0: applied
        int twips;
    };
    const Case cases[] = {
        {"12", 0, 240},   {"0.9", CTextFormatBar::kNumberRange, 0}, {"abc", CTextFormatBar::kEnterNumber, 0},
        {"-3", CTextFormatBar::kNumberRange, 0}, {"nan", CTextFormatBar::kEnterNumber, 0},
        {"1e99", CTextFormatBar::kNumberRange, 0}, {"", 0, 0},
    };
    for (const Case& c : cases) {
        editor.notes.clear();
        messages.clear();
        bar->GetFontSizeCombo()->setEditText(QString::fromUtf8(c.text));
        bar->ApplyFontSize();
        ASSERT_FALSE(editor.notes.empty()) << c.text;
        EXPECT_EQ(editor.notes[0].code, NM_KILLFOCUS) << c.text;
        if (c.message != 0) {
            EXPECT_EQ(messages, std::vector<int>{c.message}) << c.text;
            EXPECT_EQ(editor.notes.size(), 1u) << c.text;
        } else if (c.twips == 0) {
            EXPECT_TRUE(messages.empty()) << c.text; // empty: nothing
            EXPECT_EQ(editor.notes.size(), 1u) << c.text;
        } else {
            ASSERT_EQ(editor.notes.size(), 2u) << c.text;
            EXPECT_EQ(editor.notes[1].format.yHeight, c.twips) << c.text;
        }
    }
}

TEST_F(FormatBarTest, AppliesTheFaceOrArial)
{
    CFontNameCombo* name = bar->GetFontNameCombo();
    const int i = name->FindStringExact(QStringLiteral("DejaVu Sans Mono"));
    ASSERT_GE(i, 0);
    name->setCurrentIndex(i);
    bar->ApplyFontName();
    ASSERT_EQ(editor.codes(), (std::vector<std::uint32_t>{NM_KILLFOCUS, FMTN_APPLY}));
    platform::CHARFORMAT cf = editor.notes[1].format;
    EXPECT_EQ(cf.dwMask, 0x28000000u);
    EXPECT_EQ(cf.FaceName(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(cf.bCharSet, ANSI_CHARSET);
    EXPECT_EQ(cf.bPitchAndFamily, 0x31);
    editor.notes.clear();
    name->setEditText(QStringLiteral("Nothing Like It"));
    bar->ApplyFontName();
    cf = editor.notes.back().format;
    EXPECT_EQ(cf.FaceName(), QStringLiteral("Arial"));
    EXPECT_EQ(cf.bCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(cf.bPitchAndFamily, 0);
}

TEST_F(FormatBarTest, EscapeRestoresBothCombosAndEnterReturns)
{
    bar->OnUpdateCmdUI(true);
    bar->GetFontNameCombo()->setEditText(QStringLiteral("Typed"));
    bar->GetFontSizeCombo()->setEditText(QStringLiteral("99"));
    editor.notes.clear();
    key(bar->GetFontSizeCombo(), Qt::Key_Escape);
    EXPECT_EQ(editor.codes(), (std::vector<std::uint32_t>{FMTN_QUERY, NM_RETURN}));
    EXPECT_EQ(bar->GetFontNameCombo()->currentText(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(bar->GetFontSizeCombo()->currentText(), QStringLiteral("12"));
    editor.notes.clear();
    key(bar->GetFontNameCombo(), Qt::Key_Return);
    EXPECT_EQ(editor.codes(), (std::vector<std::uint32_t>{NM_RETURN}));
    // Down opens the list.
    key(bar->GetFontSizeCombo(), Qt::Key_Down);
    EXPECT_TRUE(bar->GetFontSizeCombo()->view()->isVisible());
    bar->GetFontSizeCombo()->hidePopup();
    EXPECT_EQ(editor.codes().back(), NM_RETURN); // the list closed
}

TEST_F(FormatBarTest, QueryWithoutASizeEmptiesTheField)
{
    editor.current.dwMask = platform::CFM_FACE | platform::CFM_CHARSET;
    bar->OnUpdateCmdUI(true);
    EXPECT_EQ(bar->GetFontSizeCombo()->currentText(), QString());
    EXPECT_EQ(bar->GetFontSizeCombo()->GetCurrentTwips(), -1);
}

// A query that names no face (no text edited in the report in front)
// empties the name as well, and without a report both stay empty: the bar
// never shows a format no text in front has.
TEST_F(FormatBarTest, WhatNoTextNamesShowsEmpty)
{
    bar->OnUpdateCmdUI(true);
    ASSERT_EQ(bar->GetFontNameCombo()->currentText(), QStringLiteral("DejaVu Sans"));
    ASSERT_EQ(bar->GetFontSizeCombo()->currentText(), QStringLiteral("12"));
    editor.current.dwMask = platform::CFM_SIZE;
    bar->OnUpdateCmdUI(true);
    EXPECT_EQ(bar->GetFontNameCombo()->currentText(), QString());
    EXPECT_EQ(bar->GetFontSizeCombo()->currentText(), QStringLiteral("12"));

    editor.current.dwMask = platform::CFM_FACE | platform::CFM_CHARSET | platform::CFM_SIZE;
    bar->OnUpdateCmdUI(true);
    ASSERT_EQ(bar->GetFontNameCombo()->currentText(), QStringLiteral("DejaVu Sans"));
    bar->OnUpdateCmdUI(false);
    EXPECT_EQ(bar->GetFontNameCombo()->currentText(), QString());
    EXPECT_EQ(bar->GetFontSizeCombo()->currentText(), QString());
}

TEST_F(FormatBarTest, CombosComeBackWithAView)
{
    bar->OnUpdateCmdUI(false);
    EXPECT_FALSE(bar->GetFontNameCombo()->isEnabled());
    EXPECT_FALSE(bar->GetFontSizeCombo()->isEnabled());
    EXPECT_TRUE(editor.notes.empty()); // no view: nobody asked
    bar->OnUpdateCmdUI(true);
    EXPECT_TRUE(bar->GetFontNameCombo()->isEnabled());
    EXPECT_TRUE(bar->GetFontSizeCombo()->isEnabled());
}

TEST_F(FormatBarTest, DroppingTheSizesListsTheStockSizes)
{
    bar->OnUpdateCmdUI(true);
    CFontSizeCombo* size = bar->GetFontSizeCombo();
    size->showPopup();
    EXPECT_EQ(size->count(), 16);
    EXPECT_EQ(size->itemText(0), QStringLiteral("8"));
    EXPECT_EQ(size->itemText(15), QStringLiteral("72"));
    EXPECT_EQ(size->currentText(), QStringLiteral("12"));
    size->hidePopup();
    // A face not in the list: no sizes.
    bar->GetFontNameCombo()->setEditText(QStringLiteral("Nothing Like It"));
    size->setEditText(QStringLiteral("abc"));
    size->showPopup();
    EXPECT_EQ(size->count(), 0);
    EXPECT_EQ(messages, std::vector<int>{CTextFormatBar::kEnterNumber});
    EXPECT_EQ(size->currentText(), QStringLiteral("12")); // the kept size
    size->hidePopup();
}

} // namespace
