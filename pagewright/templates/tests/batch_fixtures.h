// The inputs of the batch tests: camera files from the fixture generator
// and a small report template.
#pragma once

#include "../../irimage/tests/test_support.h"

#include "document/draw_photo.h"

#include <QImage>
#include <QProcess>

namespace batchtest {

inline QString Generate(const QString& path, const QStringList& options)
{
    QProcess gen;
    gen.start(QStringLiteral(TEMPLATES_TEST_PYTHON),
              QStringList{QStringLiteral(TEMPLATES_TEST_SOURCE "/tools/vnigen.py"), QStringLiteral("image"),
                          QStringLiteral("--model"), QStringLiteral("VN410K4")} +
                  options + QStringList{QStringLiteral("-o"), path});
    EXPECT_TRUE(gen.waitForFinished(60000));
    EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    return path;
}

inline QStringList Size(int w, int h) { return {QStringLiteral("--width"), QString::number(w), QStringLiteral("--height"), QString::number(h)}; }

class BatchEnvironment : public irtest::TestEnvironment {
public:
    QString TemporaryFolder() const override { return scratch.path(); }
    QTemporaryDir scratch;
};

// The batch inputs, shared by the tests: three good files (the second
// without a visible photo), one truncated file, and the first again from
// another folder under the same name.
struct Inputs {
    QTemporaryDir dir;
    QString a, b, c, corrupt, twin;
    Inputs()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("other")));
        a = Generate(dir.filePath(QStringLiteral("IR0001.VNI")), Size(160, 120) << QStringLiteral("--photo"));
        b = Generate(dir.filePath(QStringLiteral("IR0002.vni")), Size(200, 150));
        c = Generate(dir.filePath(QStringLiteral("IR.2013.05.VNI")), Size(240, 180) << QStringLiteral("--photo"));
        corrupt = Generate(dir.filePath(QStringLiteral("bad.VNI")), Size(160, 120) << QStringLiteral("--truncate")
                                                                                      << QStringLiteral("300"));
        twin = dir.filePath(QStringLiteral("other/IR0001.VNI"));
        QFile::copy(c, twin);
    }
};

inline const Inputs& SharedInputs()
{
    static const Inputs inputs;
    return inputs;
}

// A template: an image (number 1) with a spot, a photo linked to it and one
// linked to image 2, both showing a 50 x 40 picture of their own.
inline QString MakeTemplate(DocumentEnvironment& env, const QString& folder)
{
    const QString picture = QDir(folder).filePath(QStringLiteral("template-photo.bmp"));
    QImage img(50, 40, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    EXPECT_TRUE(img.save(picture, "BMP"));
    CDI_RptDoc doc(&env, &irtest::Registry());
    DrawView view;
    doc.SetView(&view);
    auto* image = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000))));
    image->SetNumber(1);
    EXPECT_TRUE(image->LoadIRFile(irtest::Fixture("k4.vni")));
    auto* linked = static_cast<CDrawPhoto*>(doc.AddNoUndo(std::make_unique<CDrawPhoto>(&view, DocRect(5000, -100, 6000, -1000))));
    linked->imageNumber = 1;
    EXPECT_TRUE(linked->LoadPicture(picture));
    auto* other = static_cast<CDrawPhoto*>(doc.AddNoUndo(std::make_unique<CDrawPhoto>(&view, DocRect(5000, -2000, 6000, -3000))));
    other->imageNumber = 2;
    EXPECT_TRUE(other->LoadPicture(picture));
    const QString path = QDir(folder).filePath(QStringLiteral("template.rpm"));
    EXPECT_TRUE(doc.SaveToPath(path)) << doc.GetLastError().toStdString();
    doc.SetView(nullptr);
    return path;
}

} // namespace batchtest
