// Helpers of the rich-text tests: fixtures, a plain description of a
// document, external programs.
#pragma once

#include "content/rich_text_format.h"
#include "content/rtf_reader.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace content_test {

inline QByteArray Fixture(const char* name)
{
    QFile f(QStringLiteral(CONTENT_FIXTURES "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << name;
    return f.readAll();
}

// One fragment of a paragraph as the tests compare it.
struct Piece {
    QString text;
    QString face;
    double points = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    long color = -1; // -1: auto
    bool operator==(const Piece&) const = default;
};

struct Para {
    Qt::Alignment align = Qt::AlignLeft;
    std::vector<Piece> pieces;
    int left = 0; // indents in twips
    int right = 0;
    int first = 0;
    bool operator==(const Para&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Piece& p)
{
    return os << "{\"" << p.text.toStdString() << "\" " << p.face.toStdString() << ' ' << p.points
              << (p.bold ? " b" : "") << (p.italic ? " i" : "") << (p.underline ? " u" : "") << " c=" << p.color
              << '}';
}

inline std::ostream& operator<<(std::ostream& os, const Para& p)
{
    os << "[align " << int(p.align) << " indents " << p.left << ',' << p.right << ',' << p.first << ':';
    for (const Piece& piece : p.pieces)
        os << ' ' << piece;
    return os << ']';
}

inline Piece PieceOf(const QString& text, const QTextCharFormat& f)
{
    Piece p;
    p.text = text;
    p.face = rich_text::FaceOf(f);
    p.points = f.fontPointSize();
    p.bold = f.fontWeight() >= QFont::Bold;
    p.italic = f.fontItalic();
    p.underline = f.fontUnderline();
    COLORREF c = 0;
    if (rich_text::ExplicitColorOf(f, c))
        p.color = static_cast<long>(c);
    return p;
}

// The paragraphs of a document with their fragments (an empty paragraph:
// one piece without text in the paragraph's format).
inline std::vector<Para> Describe(const QTextDocument& doc)
{
    std::vector<Para> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Para para;
        para.align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        para.left = qRound(b.blockFormat().leftMargin() * rich_text::kTwipsPerPixel);
        para.right = qRound(b.blockFormat().rightMargin() * rich_text::kTwipsPerPixel);
        para.first = qRound(b.blockFormat().textIndent() * rich_text::kTwipsPerPixel);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            para.pieces.push_back(PieceOf(it.fragment().text(), it.fragment().charFormat()));
        if (para.pieces.empty())
            para.pieces.push_back(PieceOf(QString(), b.charFormat()));
        out.push_back(para);
    }
    return out;
}

// The texts of the paragraphs.
inline QStringList Texts(const QTextDocument& doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

// Runs a program; its standard output, or a failure.
inline QByteArray RunProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
                      const QString& workDir = {})
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return {};
    }
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

// GBK bytes decoded by the system's iconv, independently of the reader.
inline QString IconvGbk(const QByteArray& gbk)
{
    return QString::fromUtf8(RunProgram(QStringLiteral(CONTENT_ICONV), {"-f", "GBK", "-t", "UTF-8"}, gbk));
}

} // namespace content_test

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
