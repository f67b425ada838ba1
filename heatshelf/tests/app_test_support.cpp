#include "app_test_support.h"

#include "platform/program_folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <cstring>

// Fontconfig keeps its caches for the life of the process and leaves them
// to the operating system at exit; the leak checker is told so.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

void EnsureQApplication()
{
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "heatshelf_app_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

StartupSandbox::StartupSandbox()
{
    EnsureQApplication();
    SetMessageBoxHook([this](const MessageBoxRequest& r) {
        messages.push_back(r);
        return IDOK_ANSWER;
    });
}

StartupSandbox::~StartupSandbox() { SetMessageBoxHook({}); }

heatshelf::StartupOptions StartupSandbox::Options() const
{
    heatshelf::StartupOptions o;
    o.programFolder = ProgramFolder();
    o.defaultDataFolder = QStringLiteral(HEATSHELF_DEFAULT_DATA);
    o.configFolder = m_root.filePath(QStringLiteral("config"));
    o.executableFolder = m_root.filePath(QStringLiteral("bin"));
    o.showMainFrame = false;
    return o;
}

std::unique_ptr<heatshelf::CHeatshelfApp> StartupSandbox::Start(heatshelf::StartupOptions options)
{
    auto app = std::make_unique<heatshelf::CHeatshelfApp>(std::move(options));
    if (!app->InitInstance())
        return nullptr;
    return app;
}

void StartupSandbox::Seed() const { platform::SeedProgramFolder(ProgramFolder(), QStringLiteral(HEATSHELF_DEFAULT_DATA)); }

void StartupSandbox::WriteProgramFile(const QString& name, const QByteArray& bytes) const
{
    QDir().mkpath(ProgramFolder());
    QFile f(ProgramFolder() + QLatin1Char('/') + name);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

namespace {

void put16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void put32(QByteArray& b, int at, std::int64_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray header(int width, int height, int bits, int colours, int imageSize)
{
    const int tableBytes = colours * 4;
    QByteArray b(54 + tableBytes, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, 54 + tableBytes + imageSize);
    put32(b, 10, 54 + tableBytes);
    put32(b, 14, 40);
    put32(b, 18, width);
    put32(b, 22, height);
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 34, imageSize);
    put32(b, 46, colours);
    return b;
}

} // namespace

QByteArray Bmp8(const std::vector<QRgb>& table, const std::vector<int>& row, int height)
{
    const int width = int(row.size());
    const int stride = (width + 3) & ~3;
    QByteArray b = header(width, height, 8, int(table.size()), stride * height);
    for (std::size_t i = 0; i < table.size(); ++i) {
        b[54 + 4 * int(i)] = char(qBlue(table[i]));
        b[55 + 4 * int(i)] = char(qGreen(table[i]));
        b[56 + 4 * int(i)] = char(qRed(table[i]));
    }
    for (int y = 0; y < height; ++y) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < width; ++x)
            line[x] = char(row[std::size_t(x)]);
        b += line;
    }
    return b;
}

QByteArray Bmp24(int width, int height, const std::vector<QRgb>& pixels)
{
    const int stride = (width * 3 + 3) & ~3;
    QByteArray b = header(width, height, 24, 0, stride * height);
    for (int y = 0; y < height; ++y) {
        QByteArray line(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb c = pixels[std::size_t(y * width + x)];
            line[3 * x] = char(qBlue(c));
            line[3 * x + 1] = char(qGreen(c));
            line[3 * x + 2] = char(qRed(c));
        }
        b += line;
    }
    return b;
}

QImage Grab(QWidget& w)
{
    if (!w.isVisible())
        w.show();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void SaveShot(const QImage& image, const QString& name)
{
    QDir().mkpath(QStringLiteral(HEATSHELF_SHOT_DIR));
    image.save(QStringLiteral(HEATSHELF_SHOT_DIR) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}
