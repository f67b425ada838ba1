// The save-file prompt of the image object's commands: a file dialog with a
// proposed name and a "text|pattern|...||" filter, run through the
// environment (tests answer it).
#pragma once

#include <QString>

class DocumentEnvironment;

// The spreadsheet exports' file type.
inline constexpr char kExcelFileFilter[] = "Excel File (*.xlsx)|*.xlsx||";

// The chosen path (empty when cancelled); *filterIndex receives the chosen
// filter, counted from 1.
QString PromptIRSaveFile(DocumentEnvironment& env, const QString& proposed, const QString& filter,
                         int* filterIndex = nullptr);

// path with "." + extension appended unless its extension is already that
// (without regard to case when anyCase, else exactly as given or in upper
// case).
QString WithExtension(const QString& path, const QString& extension, bool anyCase);
