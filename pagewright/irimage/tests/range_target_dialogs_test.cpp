// The colour-scale range dialog (scale ends, conversions, sliders, steps,
// typing, automatic range, one undo step per opening) and the target dialog.
#include "irimage/scale_range_dlg.h"
#include "irimage/target_select_dlg.h"

#include "document/draw_rect.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include "skin/commit_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct RangeFixture {
    explicit RangeFixture(int unit, float imageMax, float imageMin)
        : doc(nullptr), dlg(&doc, unit, imageMax, imageMin)
    {
        doc.SetView(&view);
        view.Select(doc.AddNoUndo(std::make_unique<CDrawRect>(&view, DocRect(0, -100, 1000, -1000))));
        QObject::connect(&dlg, &CScaleRangeDlg::rangeChanged,
                         [this](int upper, int lower) { sent.emplace_back(upper, lower); });
    }
    ~RangeFixture()
    {
        dlg.hide();
        doc.SetView(nullptr);
    }
    QSlider* Slider(int id) { return dlg.GetDlgItemAs<QSlider>(id); }
    CCommitEdit* Edit(int id) { return dlg.GetDlgItemAs<CCommitEdit>(id); }

    DrawView view;
    CDI_RptDoc doc;
    CScaleRangeDlg dlg;
    std::vector<std::pair<int, int>> sent;
};

} // namespace

TEST(ScaleRangeDialog, SliderEndsSpanThreeTimesTheImageRangeAboveAbsoluteZero)
{
    struct Case {
        int unit;
        float max, min, upper, lower;
        float top, bottom;
    };
    const Case cases[] = {
        {0, 40, 20, 35, 25, 60, 0},
        {0, -200, -250, -210, -240, -150, -273.2f},
        {1, 40, 20, 35, 25, 140, 32},
        {2, -200, -250, -210, -240, 123.2f, 0},
        {0, 30, 30, 30, 30, 30.1f, 30},   // a flat image still gives a tenth
        {0, 40, 20, 90, -10, 90, -10},    // the values widen the scale
    };
    for (const Case& c : cases) {
        RangeFixture f(c.unit, c.max, c.min);
        f.dlg.SetRange(c.upper, c.lower, c.upper, c.lower);
        f.dlg.show();
        EXPECT_NEAR(f.dlg.ScaleTop(), c.top, 1e-3) << c.unit << " " << c.max;
        EXPECT_NEAR(f.dlg.ScaleBottom(), c.bottom, 1e-3) << c.unit << " " << c.max;
        EXPECT_EQ(f.Slider(CScaleRangeDlg::kUpperSlider)->value(),
                  CScaleRangeDlg::Position(f.dlg.Upper(), f.dlg.ScaleTop(), f.dlg.ScaleBottom()));
        EXPECT_TRUE(f.sent.empty());
    }
}

TEST(ScaleRangeDialog, ValuesAreSentInTenthsOfCelsiusRoundedHalfAwayFromZero)
{
    struct Case {
        float value;
        int unit;
        int tenths;
    };
    const Case cases[] = {{36.6f, 0, 366},  {-10.1f, 0, -101}, {-0.05f, 0, -1},   {0.04f, 0, 0},
                          {97.9f, 1, 366},  {13.8f, 1, -101},  {263.0f, 2, -102}, {262.9f, 2, -103},
                          {309.8f, 2, 366}, {273.2f, 2, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CScaleRangeDlg::ToTenthsCelsius(c.value, c.unit), c.tenths) << c.value << " unit " << c.unit;
    // Positions and values of the sliders over 0..60.
    EXPECT_EQ(CScaleRangeDlg::Position(45.0f, 60.0f, 0.0f), 25);
    EXPECT_EQ(CScaleRangeDlg::Position(60.0f, 60.0f, 0.0f), 0);
    EXPECT_EQ(CScaleRangeDlg::Position(0.0f, 60.0f, 0.0f), 100);
    EXPECT_FLOAT_EQ(CScaleRangeDlg::ValueAt(25, 60.0f, 0.0f), 45.0f);
    EXPECT_FLOAT_EQ(CScaleRangeDlg::ValueAt(33, 60.0f, 0.0f), 40.2f);

    // SetRange rounds to a tenth and converts; GetRange converts back.
    RangeFixture f(1, 40, 20);
    f.dlg.SetRange(30.04f, 20.06f, 36.6f, -10.1f);
    EXPECT_NEAR(f.dlg.Upper(), 97.88f, 1e-3);
    EXPECT_NEAR(f.dlg.Lower(), 13.82f, 1e-3);
    float pu = 0, pl = 0, u = 0, l = 0;
    f.dlg.GetRange(&pu, &pl, &u, &l);
    EXPECT_NEAR(pu, 30.0f, 1e-3);
    EXPECT_NEAR(pl, 20.1f, 1e-3);
    EXPECT_NEAR(u, 36.6f, 1e-3);
    EXPECT_NEAR(l, -10.1f, 1e-3);
}

TEST(ScaleRangeDialog, SlidersStepsAndTypingSendEveryChange)
{
    RangeFixture f(0, 40, 20);
    f.dlg.SetRange(36.6f, 25, 36.6f, 25);
    f.dlg.show();
    QSlider* upper = f.Slider(CScaleRangeDlg::kUpperSlider);
    QSlider* lower = f.Slider(CScaleRangeDlg::kLowerSlider);

    upper->setValue(33); // 40.2
    ASSERT_EQ(f.sent.size(), 1u);
    EXPECT_EQ(f.sent.back(), std::make_pair(402, 250));
    // The two values may not cross: the moved one is held at the other.
    lower->setValue(10); // 54.0 > 40.2
    EXPECT_EQ(f.sent.back(), std::make_pair(402, 402));
    EXPECT_EQ(f.Edit(CScaleRangeDlg::kLowerEdit)->text(), QStringLiteral("40.2"));
    lower->setValue(75); // 15.0
    EXPECT_EQ(f.sent.back(), std::make_pair(402, 150));

}

TEST(ScaleRangeDialog, KeepRangeStepsAndTypingKeepBothInsideTheScale)
{
    RangeFixture f(0, 40, 20);
    f.dlg.SetRange(40, 20, 40, 20);
    f.dlg.show();
    QSlider* upper = f.Slider(CScaleRangeDlg::kUpperSlider);
    QSlider* lower = f.Slider(CScaleRangeDlg::kLowerSlider);
    // Keep range: the other value moves by the same amount.
    f.dlg.GetDlgItemAs<QCheckBox>(CScaleRangeDlg::kKeepRange)->setChecked(true);
    upper->setValue(25); // 45.0: five degrees up
    ASSERT_EQ(f.sent.size(), 1u);
    EXPECT_EQ(f.sent.back(), std::make_pair(450, 250));
    lower->setValue(100); // 0.0: 25 degrees down
    EXPECT_EQ(f.sent.back(), std::make_pair(200, 0));
    // A move that would push the other value past the scale end puts the
    // slider back.
    lower->setValue(0); // the upper value would reach 80
    EXPECT_EQ(f.sent.size(), 2u);
    EXPECT_EQ(lower->value(), 100);
    EXPECT_EQ(upper->value(), CScaleRangeDlg::Position(20, 60, 0));

    // Steps of a tenth, refused beyond the scale.
    f.dlg.GetDlgItemAs<QCheckBox>(CScaleRangeDlg::kKeepRange)->setChecked(false);
    f.dlg.ClickButton(CScaleRangeDlg::kUpperPlus);
    EXPECT_EQ(f.sent.back(), std::make_pair(201, 0));
    f.dlg.ClickButton(CScaleRangeDlg::kLowerMinus); // below the bottom
    EXPECT_EQ(f.sent.size(), 3u);
    f.dlg.ClickButton(CScaleRangeDlg::kLowerPlus);
    EXPECT_EQ(f.sent.back(), std::make_pair(201, 1));

    // Typing commits on leaving the field (or Enter), rounded to a tenth,
    // the lower value kept below the upper.
    CCommitEdit* edit = f.Edit(CScaleRangeDlg::kUpperEdit);
    edit->setText(QStringLiteral("38.26"));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &press);
    QApplication::sendEvent(edit, &release);
    EXPECT_EQ(f.sent.back(), std::make_pair(383, 1));
    EXPECT_TRUE(f.dlg.isVisible()); // Enter presses no button
    edit->setText(QStringLiteral("-5"));
    emit edit->focusLost();
    EXPECT_EQ(f.sent.back(), std::make_pair(1, 1));
    const std::size_t beforeJunk = f.sent.size();
    edit->setText(QStringLiteral("warm"));
    emit edit->focusLost();
    EXPECT_EQ(f.sent.size(), beforeJunk);
    EXPECT_EQ(edit->text(), QStringLiteral("0.1"));

    QDir().mkpath(QStringLiteral(IRIMAGE_TEST_ARTIFACTS));
    f.dlg.grab().save(QStringLiteral(IRIMAGE_TEST_ARTIFACTS "/scale-range-dialog.png"));
    // The image's own range, cut to a tenth.
    f.dlg.ClickButton(CScaleRangeDlg::kAutoRange);
    EXPECT_EQ(f.sent.back(), std::make_pair(400, 200));
    EXPECT_FLOAT_EQ(f.dlg.ScaleTop(), 60.0f);
}

TEST(ScaleRangeDialog, OneUndoStepFromOpeningToClosingAndNoneWithoutAChange)
{
    {
        RangeFixture f(0, 40, 20);
        f.dlg.SetRange(35, 25, 35, 25);
        f.dlg.show();
        f.dlg.ClickButton(CScaleRangeDlg::kClose);
        EXPECT_FALSE(f.dlg.isVisible());
        EXPECT_EQ(f.doc.GetUndoCount(), 0);
    }
    {
        RangeFixture f(2, 40, 20);
        f.dlg.SetRange(35, 25, 35, 25);
        f.dlg.show();
        f.dlg.ClickButton(CScaleRangeDlg::kUpperPlus);
        f.Slider(CScaleRangeDlg::kLowerSlider)->setValue(80);
        f.dlg.ClickButton(CScaleRangeDlg::kAutoRange);
        EXPECT_EQ(f.sent.size(), 3u);
        EXPECT_EQ(f.doc.GetUndoCount(), 0); // the step is open until the dialog closes
        f.dlg.ClickButton(CScaleRangeDlg::kClose);
        EXPECT_EQ(f.doc.GetUndoCount(), 1);
    }
}

TEST(TargetDialog, EntriesKeepTheirKindAndNumber)
{
    DocumentEnvironment env;
    IRAnalysisArray analyses;
    const std::pair<int, int> items[] = {{1, 1}, {2, 1}, {3, 100}, {4, 101}, {1, 100}, {9, 5}, {3, 2}};
    for (const auto& [kind, number] : items) {
        IRAnalysisItem item;
        item.kind = kind;
        item.number = number;
        analyses.Add(item);
    }
    CTargetSelectDlg dlg(analyses, env);
    dlg.show();
    auto* combo = dlg.GetDlgItemAs<QComboBox>(CTargetSelectDlg::kTargetCombo);
    ASSERT_NE(combo, nullptr);
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    EXPECT_EQ(names, (QStringList{QStringLiteral("点01"), QStringLiteral("线01"), QStringLiteral("区域100"),
                                  QStringLiteral("区域101"), QStringLiteral("点100"), QStringLiteral("区域02")}));
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(dlg.m_nIndex, -1);
    // Each entry answers with its own analysis: 100 and 101 apart, the
    // ellipse as an area.
    const int expected[] = {0, 1, 2, 3, 4, 6};
    for (int entry = 0; entry < combo->count(); ++entry) {
        CTargetSelectDlg again(analyses, env);
        again.show();
        again.GetDlgItemAs<QComboBox>(CTargetSelectDlg::kTargetCombo)->setCurrentIndex(entry);
        again.ClickButton(CDialog::kIdOk);
        EXPECT_EQ(again.m_nIndex, expected[entry]) << entry;
    }
    IRAnalysisArray none;
    CTargetSelectDlg empty(none, env);
    empty.show();
    empty.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(empty.m_nIndex, -1);
    dlg.hide();
}
