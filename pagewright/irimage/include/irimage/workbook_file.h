// WorkbookFile: an .xlsx workbook written to a scratch file in the
// destination's folder and renamed over the destination only once the
// workbook closed without error, so a failed export keeps an existing file.
// Sheets by number from 0, cells by row and column from 1.
#pragma once

#include <QString>

#include <memory>

class WorkbookFile {
public:
    explicit WorkbookFile(const QString& destination);
    ~WorkbookFile();
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    // False when the scratch file or the workbook could not be made
    // (Error() says why).
    bool IsOpen() const;
    bool AddSheet(const QString& name);
    void Put(int sheet, int row, int column, const QString& text);
    void Put(int sheet, int row, int column, const char* text);
    // A number cell; format: an Excel number format ("0.00"), empty for
    // none.
    void PutNumber(int sheet, int row, int column, double value, const char* format = nullptr);
    // Merges columns A to Z of a row, holding text.
    void MergeRow(int sheet, int row, const QString& text);
    // Writes the workbook and renames it over the destination. False with
    // the reason in Error(); the destination is then as it was and the
    // scratch file is gone.
    bool Commit();
    QString Error() const;
    // The failure was the final rename (the destination is held or not
    // writable).
    bool RenameFailed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The name of sheet n from a "第%d页" pattern: the pattern with n, or
// "Page n" when the pattern is empty.
QString WorkbookSheetName(const QString& pattern, int n);
