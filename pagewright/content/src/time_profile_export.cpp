// CDrawTimeProfile: the shown curves as a workbook (.xlsx).
//
// One sheet ("第1页"): cell A1 "对象序号", row 1 the names of the shown
// curves collected, in curve order, column A the time indices 1 to n, below each name
// its samples as numbers rounded to two decimals (format "0.00").
#include "content/draw_time_profile.h"

#include "content/chart_helpers.h"
#include "document/document_environment.h"
#include "document/rpt_doc.h"
#include "document/word_wait_dlg.h"
#include "irimage/ir_file_prompt.h"
#include "irimage/ir_strings.h"
#include "irimage/workbook_file.h"

#include <algorithm>
#include <cmath>

QString CDrawTimeProfile::WorkbookPath(const QString& path)
{
    return WithExtension(path, QStringLiteral("xlsx"), false);
}

bool CDrawTimeProfile::WriteWorkbook(const QString& path, QString* error) const
{
    const DocumentEnvironment& env = Env();
    WorkbookFile book(path);
    if (!book.IsOpen() || !book.AddSheet(WorkbookSheetName(IRString(env, ir_string::kSheetName), 1))) {
        if (error != nullptr)
            *error = book.Error();
        return false;
    }
    book.Put(0, 1, 1, chart::Text(env, chart::text::kObjectSerial));
    const int n = GetMaxSampleCount();
    for (int t = 0; t < n; ++t)
        book.PutNumber(0, t + 2, 1, t + 1);
    int column = 2;
    const int curves = std::clamp(int(m_nCurveCount), 0, int(kCurves));
    for (int i = 0; i < curves; ++i) {
        const std::size_t s = std::size_t(i);
        if (m_curves[s].shown == 0)
            continue;
        book.Put(0, 1, column, m_strCurveName[s]);
        const int count = std::min<int>(n, int(m_samples[s].size()));
        for (int t = 0; t < count; ++t)
            book.PutNumber(0, t + 2, column, std::round(double(m_samples[s][std::size_t(t)]) * 100.0) / 100.0, "0.00");
        ++column;
    }
    if (!book.Commit()) {
        // A destination the finished workbook cannot replace is held.
        if (error != nullptr)
            *error = book.RenameFailed() ? IRString(env, ir_string::kTargetInUse) : book.Error();
        return false;
    }
    return true;
}

int CDrawTimeProfile::ExportToExcel()
{
    DocumentEnvironment& env = Env();
    const QString chosen =
        PromptIRSaveFile(env, QStringLiteral("TimeProfile.xlsx"), QString::fromLatin1(kExcelFileFilter));
    if (chosen.isEmpty())
        return 1;
    const QString path = WorkbookPath(chosen);
    QString error;
    bool written = false;
    {
        const auto wait = ShowWaitNotice(IRString(env, ir_string::kExporting));
        written = WriteWorkbook(path, &error);
    }
    if (!written) {
        env.MessageBox(error, DocumentEnvironment::kIconExclamation, 0);
        return 1;
    }
    if (env.MessageBox(IRString(env, ir_string::kOpenExported),
                       DocumentEnvironment::kYesNo | DocumentEnvironment::kIconQuestion,
                       ir_string::kOpenExported) == DocumentEnvironment::kAnswerYes)
        env.OpenWithDefaultApplication(path);
    return 1;
}
