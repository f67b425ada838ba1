// The batch work itself, without dialogs: one report per infrared file from
// a template, or one BMP picture per file. The application's batch command
// gathers the choices and calls these.
#pragma once

#include "irimage/ir_analysis.h"

#include <QString>
#include <QStringList>

class DocumentEnvironment;
class DrawClassRegistry;

// The output file of an input: the input's file name up to its last dot
// (the whole name when it has none), then "." + extension, in folder.
QString BatchOutputName(const QString& folder, const QString& input, const QString& extension);

// What a batch run did.
struct BatchOutcome {
    QString error;          // non-empty: nothing was generated (template problem)
    int written = 0;        // outputs written
    QStringList failed;     // inputs that did not load or render
    QStringList unsaved;    // outputs that could not be written
    QStringList sharedNames; // outputs written by more than one input
};

// Reports: the template is read into a document of its own; its first
// image object takes each file in turn (measurements of the template,
// copied into scratch), photos linked to it take the file's visible photo
// (or keep the template's picture when the file has none), and the report
// is saved under the output name. The template document is closed after.
BatchOutcome RunBatchReports(DocumentEnvironment& env, const DrawClassRegistry& registry,
                             const QString& templatePath, const QStringList& files, const QString& folder,
                             IRAnalysisArray& scratch);

// Pictures: each file rendered with palette, with the colour bar (the whole
// object) or the picture alone, as a BMP under the output name.
BatchOutcome RunBatchPictures(DocumentEnvironment& env, const DrawClassRegistry& registry, const QStringList& files,
                              const QString& folder, bool colourBar, int palette);

// The finishing text, and below it what went wrong, each list under its
// heading.
QString BatchSummary(const QString& finished, const BatchOutcome& outcome, const QString& notLoaded,
                     const QString& notSaved, const QString& sharedNames);
