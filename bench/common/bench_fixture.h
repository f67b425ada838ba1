// Set-up shared by the report designer's benchmarks: the one application
// object of a benchmark program, registries of draw classes, and a document
// environment with the program's palettes.
#pragma once

#include "document/document_environment.h"
#include "document/draw_class.h"

#include "bench_application.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <initializer_list>

namespace bench {

using DrawRegistration = void (*)(DrawClassRegistry&);

// The basic draw classes and those each registration adds.
inline DrawClassRegistry BasicRegistryWith(std::initializer_list<DrawRegistration> registrations)
{
    DrawClassRegistry registry = DrawClassRegistry::MakeBasic();
    for (DrawRegistration add : registrations)
        add(registry);
    return registry;
}

// The palette table as the program hands it out: for each ruler file
// "nruler1.bmp" ... of the folder, 256 entries of blue, green, red, 0 taken
// from its first row (zeros for a missing file).
inline QByteArray PaletteTableOf(const QString& folder, int count)
{
    QByteArray table;
    for (int i = 1; i <= count; ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("nruler%1.bmp").arg(i)));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        for (int k = 0; k < 256; ++k)
            table.append(bytes.mid(54 + 3 * k, 3).leftJustified(3, '\0')).append('\0');
    }
    return table;
}

// A program folder with the default data and its 10 palettes.
class PaletteEnvironment : public DocumentEnvironment {
public:
    explicit PaletteEnvironment(const QString& programFolder)
        : m_folder(programFolder)
        , m_table(PaletteTableOf(programFolder, kPalettes))
    {
    }
    QString ProgramFolder() const override { return m_folder; }
    int PaletteCount() const override { return kPalettes; }
    QByteArray PaletteTable() const override { return m_table; }

private:
    static constexpr int kPalettes = 10;
    QString m_folder;
    QByteArray m_table;
};

} // namespace bench
