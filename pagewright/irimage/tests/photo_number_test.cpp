// A photo bound to an image by the image-number command takes the image's
// visible photo through a scratch file that does not stay.
#include "test_support.h"

#include "document/draw_photo.h"
#include "document/draw_view.h"
#include "document/image_number_dlg.h"
#include "document/rpt_doc.h"

#include <QProcess>

using namespace irtest;

namespace {

class NumberEnvironment : public TestEnvironment {
public:
    bool RunDialog(QDialog& dialog) override
    {
        auto* numberDialog = dynamic_cast<CImageNumberDlg*>(&dialog);
        if (numberDialog == nullptr)
            return false;
        numberDialog->m_number = number;
        return true;
    }
    QString TemporaryFolder() const override { return scratch.path(); }
    int number = 1;
    QTemporaryDir scratch;
};

// An image file made by the fixture generator.
QString Generate(const QTemporaryDir& dir, const QString& name, const QStringList& options)
{
    const QString path = dir.filePath(name);
    QProcess gen;
    gen.start(QStringLiteral(IRIMAGE_TEST_PYTHON),
              QStringList{QStringLiteral(IRIMAGE_TEST_SCRIPTS "/../../../tools/vnigen.py"), QStringLiteral("image")} +
                  options + QStringList{QStringLiteral("-o"), path});
    EXPECT_TRUE(gen.waitForFinished(60000));
    EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    return path;
}

} // namespace

TEST(PhotoImageNumber, TheImagesVisiblePhotoIsLoadedAndNoFileStays)
{
    QTemporaryDir dir;
    const QString withPhoto = Generate(dir, QStringLiteral("photo.vni"),
                                       {QStringLiteral("--model"), QStringLiteral("VN410K4"), QStringLiteral("--width"),
                                        QStringLiteral("160"), QStringLiteral("--height"), QStringLiteral("120"),
                                        QStringLiteral("--photo")});
    const QString without = Generate(dir, QStringLiteral("plain.vni"),
                                     {QStringLiteral("--model"), QStringLiteral("VN410K4")});
    NumberEnvironment env;
    CDI_RptDoc doc(&env, &Registry());
    DrawView view;
    doc.SetView(&view);
    auto* image = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(100, -100, 4000, -3000))));
    image->SetNumber(2);
    ASSERT_TRUE(image->LoadIRFile(withPhoto));
    auto* plain = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(100, -4000, 4000, -7000))));
    plain->SetNumber(3);
    ASSERT_TRUE(plain->LoadIRFile(without));
    view.RebuildIRObjects();
    auto* photo = static_cast<CDrawPhoto*>(doc.AddNoUndo(std::make_unique<CDrawPhoto>(&view, DocRect(5000, -3000, 6000, -2000))));
    view.Select(photo);

    env.number = 2;
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(photo->imageNumber, 2);
    ASSERT_TRUE(photo->HasPicture());
    EXPECT_EQ(photo->pictureWidth, 160);
    EXPECT_EQ(photo->pictureHeight, 120);
    EXPECT_EQ(photo->position, DocRect(5000, -3000, 6333, -2000));
    EXPECT_EQ(doc.GetUndoCount(), 1);
    EXPECT_TRUE(QDir(env.scratch.path()).entryList(QDir::Files).isEmpty());

    // An image without a photo writes nothing and leaves nothing.
    EXPECT_TRUE(plain->WriteVisiblePhoto(env.scratch.path()).isEmpty());
    EXPECT_TRUE(QDir(env.scratch.path()).entryList(QDir::Files).isEmpty());
    env.number = 3;
    photo->DoCommand(CDrawPhoto::kImageNumber, QString(), 0);
    EXPECT_EQ(photo->imageNumber, 3);
    EXPECT_EQ(photo->pictureWidth, 160);
    EXPECT_EQ(doc.GetUndoCount(), 2);
    doc.SetView(nullptr);
}
