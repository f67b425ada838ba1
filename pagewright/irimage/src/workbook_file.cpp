#include "irimage/workbook_file.h"

#include "platform/lazy_library.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// libxlsxwriter, opened on the first spreadsheet export.
struct XlsxCalls {
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::worksheet_merge_range) worksheet_merge_range = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    QString error; // why the library cannot be used; empty when it can
};

const XlsxCalls& Xlsx()
{
    return platform::LibraryCalls<XlsxCalls>(XLSXWRITER_SONAME, [](platform::LazyLibrary& lib, XlsxCalls& calls) {
        return lib.resolve(calls.format_set_num_format, "format_set_num_format") &&
               lib.resolve(calls.lxw_strerror, "lxw_strerror") &&
               lib.resolve(calls.workbook_add_format, "workbook_add_format") &&
               lib.resolve(calls.workbook_add_worksheet, "workbook_add_worksheet") &&
               lib.resolve(calls.workbook_close, "workbook_close") &&
               lib.resolve(calls.workbook_new, "workbook_new") &&
               lib.resolve(calls.worksheet_merge_range, "worksheet_merge_range") &&
               lib.resolve(calls.worksheet_write_number, "worksheet_write_number") &&
               lib.resolve(calls.worksheet_write_string, "worksheet_write_string");
    });
}

} // namespace

struct WorkbookFile::Impl {
    QString destination;
    QTemporaryFile scratch;
    lxw_workbook* book = nullptr;
    std::vector<lxw_worksheet*> sheets;
    std::map<std::string, lxw_format*> formats;
    lxw_error error = LXW_NO_ERROR;
    QString errorText;
    bool renameFailed = false;

    void Check(lxw_error e)
    {
        if (error == LXW_NO_ERROR)
            error = e;
    }
    lxw_worksheet* Sheet(int s) const
    {
        return s >= 0 && std::size_t(s) < sheets.size() ? sheets[std::size_t(s)] : nullptr;
    }
};

WorkbookFile::WorkbookFile(const QString& destination) : d(std::make_unique<Impl>())
{
    d->destination = destination;
    if (!Xlsx().error.isEmpty()) {
        d->errorText = Xlsx().error;
        return;
    }
    const QFileInfo info(destination);
    d->scratch.setFileTemplate(info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() +
                               QStringLiteral("-XXXXXX.xlsx"));
    if (!d->scratch.open()) {
        d->errorText = d->scratch.errorString();
        return;
    }
    d->scratch.close();
    d->book = Xlsx().workbook_new(QFile::encodeName(d->scratch.fileName()).constData());
    if (d->book == nullptr)
        d->errorText = QString::fromUtf8(Xlsx().lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
}

WorkbookFile::~WorkbookFile()
{
    // An unfinished workbook is written to the scratch file, which goes.
    if (d->book != nullptr)
        Xlsx().workbook_close(d->book);
}

bool WorkbookFile::IsOpen() const { return d->book != nullptr; }

bool WorkbookFile::AddSheet(const QString& name)
{
    if (d->book == nullptr)
        return false;
    lxw_worksheet* sheet = Xlsx().workbook_add_worksheet(d->book, name.toUtf8().constData());
    if (sheet == nullptr) {
        d->Check(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return false;
    }
    d->sheets.push_back(sheet);
    return true;
}

void WorkbookFile::Put(int sheet, int row, int column, const QString& text)
{
    Put(sheet, row, column, text.toUtf8().constData());
}

void WorkbookFile::Put(int sheet, int row, int column, const char* text)
{
    if (lxw_worksheet* s = d->Sheet(sheet))
        d->Check(Xlsx().worksheet_write_string(s, lxw_row_t(row - 1), lxw_col_t(column - 1), text, nullptr));
}

void WorkbookFile::PutNumber(int sheet, int row, int column, double value, const char* format)
{
    lxw_worksheet* s = d->Sheet(sheet);
    if (s == nullptr)
        return;
    lxw_format* f = nullptr;
    if (format != nullptr && *format != 0) {
        lxw_format*& cached = d->formats[format];
        if (cached == nullptr) {
            cached = Xlsx().workbook_add_format(d->book);
            if (cached != nullptr)
                Xlsx().format_set_num_format(cached, format);
        }
        f = cached;
    }
    d->Check(Xlsx().worksheet_write_number(s, lxw_row_t(row - 1), lxw_col_t(column - 1), value, f));
}

void WorkbookFile::MergeRow(int sheet, int row, const QString& text)
{
    if (lxw_worksheet* s = d->Sheet(sheet))
        d->Check(Xlsx().worksheet_merge_range(s, lxw_row_t(row - 1), 0, lxw_row_t(row - 1), 25, text.toUtf8().constData(),
                                       nullptr));
}

bool WorkbookFile::Commit()
{
    if (d->book == nullptr)
        return false;
    const lxw_error closed = Xlsx().workbook_close(d->book);
    d->book = nullptr;
    d->Check(closed);
    if (d->error != LXW_NO_ERROR) {
        d->errorText = QString::fromUtf8(Xlsx().lxw_strerror(d->error));
        return false;
    }
    // The scratch file was made private; the workbook gets the mode of the
    // file it replaces, else the one any new file of the user gets.
    const QByteArray scratch = QFile::encodeName(d->scratch.fileName());
    const QByteArray destination = QFile::encodeName(d->destination);
    struct stat old {};
    mode_t mode = 0;
    if (::stat(destination.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(scratch.constData(), mode);
    if (std::rename(scratch.constData(), destination.constData()) != 0) {
        d->errorText = QString::fromLocal8Bit(std::strerror(errno));
        d->renameFailed = true;
        return false;
    }
    d->scratch.setAutoRemove(false);
    return true;
}

QString WorkbookFile::Error() const { return d->errorText; }

bool WorkbookFile::RenameFailed() const { return d->renameFailed; }

QString WorkbookSheetName(const QString& pattern, int n)
{
    return pattern.isEmpty() ? QStringLiteral("Page %1").arg(n)
                             : QString(pattern).replace(QLatin1String("%d"), QString::number(n));
}
