// PropertySheet and PropertyPage: pages initialised when first shown, values
// checked when a page is left and on OK, OK and Cancel reaching only the
// pages that were shown, creation by class name.
#include "document/document_environment.h"
#include "document/property_sheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class RecordingEnvironment : public DocumentEnvironment {
public:
    int MessageBox(const QString& text, int type, int stringId) override
    {
        (void)type;
        texts << text;
        ids.push_back(stringId);
        return kAnswerOk;
    }
    bool RunDialog(QDialog& dialog) override { return answer ? answer(static_cast<PropertySheet&>(dialog)) : false; }

    QStringList texts;
    std::vector<int> ids;
    std::function<bool(PropertySheet&)> answer;
};

// A page with a number between 0 and 10, a count and a check box.
class NumberPage : public PropertyPage {
public:
    explicit NumberPage(const QString& caption) : PropertyPage(500, caption)
    {
        auto* layout = new QVBoxLayout(this);
        auto* number = new QLineEdit(this);
        SetControlId(number, 10);
        auto* count = new QLineEdit(this);
        SetControlId(count, 11);
        auto* check = new QCheckBox(QStringLiteral("开"), this);
        SetControlId(check, 12);
        layout->addWidget(number);
        layout->addWidget(count);
        layout->addWidget(check);
    }

    bool OnInitDialog() override
    {
        ++inits;
        return PropertyPage::OnInitDialog();
    }
    void OnOK() override { ++oks; }
    void OnCancel() override { ++cancels; }

    void SetNumberText(const QString& text) { GetDlgItemAs<QLineEdit>(10)->setText(text); }
    QString NumberText() const { return GetDlgItemAs<QLineEdit>(10)->text(); }

    float number = 2.5f;
    int count = 3;
    int on = 1;
    int inits = 0, oks = 0, cancels = 0;

protected:
    void DoDataExchange(DataExchange& dx) override
    {
        dx.Text(10, number);
        dx.MinMax(number, 0.0f, 10.0f);
        dx.Text(11, count);
        dx.MinMax(count, 1, 5);
        dx.Check(12, on);
    }
};

struct Sheet {
    RecordingEnvironment env;
    PropertySheet sheet{env, QStringLiteral("设置....")};
    NumberPage* first = static_cast<NumberPage*>(sheet.AddPage(new NumberPage(QStringLiteral("一"))));
    NumberPage* second = static_cast<NumberPage*>(sheet.AddPage(new NumberPage(QStringLiteral("二"))));
    NumberPage* third = static_cast<NumberPage*>(sheet.AddPage(new NumberPage(QStringLiteral("三"))));
};

} // namespace

TEST(PropertySheet, PagesAreInitialisedWhenFirstShownAndOkReachesOnlyThose)
{
    Sheet s;
    s.second->number = 7.25f;
    s.env.answer = [&](PropertySheet& sheet) {
        EXPECT_EQ(s.first->inits, 1) << "the first page is shown when the sheet opens";
        EXPECT_EQ(s.second->inits, 0);
        EXPECT_EQ(s.first->NumberText(), QStringLiteral("2.5"));
        EXPECT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(s.second->NumberText(), QStringLiteral("7.25"));
        s.second->SetNumberText(QStringLiteral(" 9.5 "));
        EXPECT_TRUE(sheet.SetActivePage(0));
        EXPECT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(s.second->inits, 1) << "once only";
        sheet.PressButton(PropertySheet::kIdOk);
        return sheet.result() == QDialog::Accepted;
    };
    EXPECT_EQ(s.sheet.DoModal(), PropertySheet::kIdOk);
    EXPECT_FLOAT_EQ(s.second->number, 9.5f);
    EXPECT_EQ(s.first->oks, 1);
    EXPECT_EQ(s.second->oks, 1);
    EXPECT_EQ(s.third->oks, 0) << "never shown";
    EXPECT_EQ(s.third->inits, 0);
    EXPECT_TRUE(s.env.ids.empty());
}

TEST(PropertySheet, ARefusedValueKeepsThePageAndTheSheet)
{
    const struct {
        int id;
        const char* text;
        int message;
        const char* shown;
    } cases[] = {
        {10, "10.5", doc_string::kNumberRange, "请输入一个介于 0 和 10 之间的数字。"},
        {10, "-0.001", doc_string::kNumberRange, "请输入一个介于 0 和 10 之间的数字。"},
        {10, "x1", doc_string::kEnterNumber, "请输入一个数字。"},
        {10, "", doc_string::kEnterNumber, "请输入一个数字。"},
        {10, "1e39", doc_string::kEnterNumber, "请输入一个数字。"},
        {11, "6", doc_string::kIntegerRange, "请输入一个介于 1 和 5 之间的整数。"},
        {11, "2.5", doc_string::kEnterInteger, "请输入一个整数。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Sheet s;
        s.env.answer = [&](PropertySheet& sheet) {
            if (c.id == 10)
                s.first->GetDlgItemAs<QLineEdit>(11)->setText(QStringLiteral("4"));
            s.first->GetDlgItemAs<QLineEdit>(c.id)->setText(QString::fromLatin1(c.text));
            EXPECT_FALSE(sheet.SetActivePage(2));
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            sheet.PressButton(PropertySheet::kIdOk);
            EXPECT_NE(sheet.result(), QDialog::Accepted) << "OK checks the active page";
            sheet.PressButton(PropertySheet::kIdCancel);
            return sheet.result() == QDialog::Accepted;
        };
        EXPECT_EQ(s.sheet.DoModal(), PropertySheet::kIdCancel);
        ASSERT_EQ(s.env.ids.size(), 2u);
        EXPECT_EQ(s.env.ids[0], c.message);
        EXPECT_EQ(s.env.texts[0], QString::fromUtf8(c.shown));
        EXPECT_EQ(s.first->oks, 0);
        EXPECT_EQ(s.first->cancels, 1);
        EXPECT_EQ(s.second->cancels, 0);
        if (c.id == 10) {
            EXPECT_EQ(s.first->count, 3) << "a refused pass stores nothing after the failure";
        }
    }
}

TEST(PropertySheet, TabsFollowTheActivePageAndRefuseToLeaveABadOne)
{
    Sheet s;
    s.env.answer = [&](PropertySheet& sheet) {
        auto* tabs = sheet.findChild<QTabBar*>();
        EXPECT_NE(tabs, nullptr);
        if (tabs == nullptr)
            return false;
        EXPECT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("二"));
        tabs->setCurrentIndex(2);
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        s.third->SetNumberText(QStringLiteral("99"));
        tabs->setCurrentIndex(0);
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        EXPECT_EQ(tabs->currentIndex(), 2) << "the tab returns to the page kept";
        return false;
    };
    s.sheet.DoModal();
    EXPECT_FALSE(s.sheet.HasApplyButton());
}

TEST(PropertySheet, PagesAreCreatedByClassName)
{
    RegisterPropertyPageClass(QStringLiteral("NumberPage"), [] { return new NumberPage(QStringLiteral("数")); });
    EXPECT_TRUE(IsPropertyPageClassRegistered(QStringLiteral("NumberPage")));
    std::unique_ptr<PropertyPage> page(CreatePropertyPage(QStringLiteral("NumberPage")));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Caption(), QStringLiteral("数"));
    EXPECT_EQ(CreatePropertyPage(QStringLiteral("NoSuchPage")), nullptr);
}
