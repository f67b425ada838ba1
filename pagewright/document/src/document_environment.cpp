#include "document/document_environment.h"

#include "platform/program_folder.h"

#include <QDialog>
#include <QDir>

#include <algorithm>
#include <cstdio>

namespace {

struct Text {
    int id;
    const char* text;
};

constexpr Text kTexts[] = {
    {doc_string::kAppTitle, "Pagewright"},
    {doc_string::kLock, "锁定(&L)"},
    {doc_string::kUnlock, "解锁(&U)"},
    {doc_string::kReport, "Report"},
    {doc_string::kVersionMismatch, "版本不符，请先保存一次，再编辑。"},
    {doc_string::kHideNumbers, "隐藏编号(&H)"},
    {doc_string::kShowNumbers, "显示编号(&X)"},
    {doc_string::kOpenFailed, "无法打开文件“%1”。\n%2"},
    {doc_string::kBadFormat, "文件已损坏或不是报表文件。"},
    {doc_string::kUnknownObject, "报表中含有本程序不能识别的对象。"},
    {doc_string::kNewerVersion, "报表由较新版本的程序保存（版本 %1），本程序不能读取。"},
    {doc_string::kSaveFailed, "无法保存文件“%1”。\n%2"},
    {doc_string::kAskToSave, "是否保存对“%1”的修改？"},
    {doc_string::kUndoReset, "撤销记录与报表内容不符，已清除撤销记录。"},
    {doc_string::kPropertiesTitle, "Analysis Objects Property"},
    {doc_string::kEmbeddedObject, "报表中含有嵌入对象，本平台不能打开。"},
    {doc_string::kNone, "None"},
    {doc_string::kTempReadout, "温度:%.1f 宽度:%.1f"},
    {doc_string::kDeletePage, "确定要删除当前页吗？"},
    {doc_string::kExportedOpenIt, "报表成功导出，要打开导出文档吗？"},
    {doc_string::kOpenDocumentCaption, "打开文档"},
    {doc_string::kTargetInUse, "目标文件被占用。请先关闭。"},
    {doc_string::kTempUnitText, "℃"},
    {doc_string::kTempUnitText + 1, "℉"},
    {doc_string::kTempUnitText + 2, " K"},
    {doc_string::kLengthUnitText, "m"},
    {doc_string::kLengthUnitText + 1, "ft"},
    {doc_string::kNoAnalysis, "(无)"},
    {doc_string::kLineWord, "线"},
    {doc_string::kPointWord, "点"},
    {doc_string::kAreaWord, "区域"},
    {doc_string::kIRSettingsTitle, "设置...."},
    {doc_string::kIsothermWord, "等温"},
    {doc_string::kEmissivityRange10, "请填入一个0.1到1之间的数字！"},
    {doc_string::kEmissivityRange1, "请填入一个0.01到1之间的数字！"},
    {doc_string::kTemperature, "温度"},
    {doc_string::kMaxTemperature, "最高温度"},
    {doc_string::kMinTemperature, "最低温度"},
    {doc_string::kAvgTemperature, "平均温度"},
    {doc_string::kEnterNumber, "请输入一个数字。"},
    {doc_string::kEnterInteger, "请输入一个整数。"},
    {doc_string::kNumberRange, "请输入一个介于 %1 和 %2 之间的数字。"},
    {doc_string::kIntegerRange, "请输入一个介于 %1 和 %2 之间的整数。"},
};

} // namespace

QString DocumentEnvironment::LoadString(int id) const
{
    for (const Text& t : kTexts) {
        if (t.id == id)
            return QString::fromUtf8(t.text);
    }
    return {};
}

int DocumentEnvironment::MessageBox(const QString& text, int type, int stringId)
{
    (void)stringId;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    const int buttons = type & 0xF;
    return (buttons == kYesNo || buttons == kYesNoCancel) ? kAnswerNo : kAnswerOk;
}

QString DocumentEnvironment::MessageBoxCaption(int stringId) const
{
    return stringId == doc_string::kExportedOpenIt ? LoadString(doc_string::kOpenDocumentCaption) : QString();
}

bool DocumentEnvironment::RunDialog(QDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

namespace {

std::vector<DocumentEnvironment::TempUnitObserver>& UnitObservers()
{
    static std::vector<DocumentEnvironment::TempUnitObserver> observers;
    return observers;
}

} // namespace

void DocumentEnvironment::AddTempUnitObserver(TempUnitObserver observer)
{
    auto& observers = UnitObservers();
    if (std::find(observers.begin(), observers.end(), observer) == observers.end())
        observers.push_back(observer);
}

void DocumentEnvironment::SetTempUnit(int unit)
{
    if (unit < 0 || unit > 2)
        unit = 0;
    if (unit == m_tempUnit)
        return;
    m_tempUnit = unit;
    TempUnitChanged();
    for (TempUnitObserver observer : UnitObservers())
        observer(*this);
}

QString DocumentEnvironment::FindProgramFile(const QString& name) const
{
    const QString folder = ProgramFolder();
    return folder.isEmpty() ? QString() : platform::ResolveProgramFile(folder, name);
}

QString DocumentEnvironment::TemporaryFolder() const
{
    return QDir::tempPath();
}

DocumentEnvironment& DefaultDocumentEnvironment()
{
    static DocumentEnvironment env;
    return env;
}
