#include "heatshelf/result_rows.h"

#include <QFileInfo>

#include <cstdint>

#include "heatshelf/ir_image.h"
#include "platform/codepage.h"

namespace heatshelf {
namespace {

QString fmt(const char* format, double v) { return QString::asprintf(format, v); }

// Stored coordinates (image pixels) on the list's 320-wide scale, toward zero.
struct Positions {
    int imageWidth;
    QString operator()(int v) const {
        const int64_t s = imageWidth > 0 ? int64_t{v} * 320 / imageWidth : v;
        return QString::number(s);
    }
};

// Each present record, with its row name: points and rectangles by their
// record's number, lines by the number of lines listed.
template <typename Point, typename Rectangle, typename Line>
void forEachRecord(const CIrImage& image, Point&& point, Rectangle&& rect, Line&& line) {
    for (int i = 0; i < 4; ++i) {
        if (image.points()[i].state != 2) point(QStringLiteral("SP%1").arg(i + 1), image.points()[i]);
    }
    for (int i = 0; i < 3; ++i) {
        if (image.rects()[i].state != 2) rect(QStringLiteral("AR%1").arg(i + 1), image.rects()[i]);
    }
    int listed = 0;
    for (int i = 0; i < 3; ++i) {
        if (image.lines()[i].state != 2) line(QStringLiteral("LN%1").arg(++listed), image.lines()[i]);
    }
}

std::vector<Column> columnsOf(int category) {
    const auto ids = [](std::initializer_list<int> list, int width) {
        std::vector<Column> out;
        for (int id : list) out.push_back({Cell::id(id), width});
        return out;
    };
    switch (category) {
    case kValues:
        return ids({1026, 1027}, 80);
    case kPositions: {
        std::vector<Column> out = ids({1026}, 80);
        for (const char* t : {"X1", "Y1", "X2", "Y2"}) out.push_back({Cell::of(QLatin1String(t)), 80});
        for (const Column& c : ids({1032, 1033}, 80)) out.push_back(c);
        return out;
    }
    case kParameters:
        return ids({1026, 1034, 1036, 1035, 1037}, 80);
    case kFileData:
        return ids({1026, 1042}, 160);
    default:
        return {};
    }
}

std::vector<Cell> row(std::initializer_list<QString> texts, size_t columns) {
    std::vector<Cell> out;
    for (const QString& t : texts) out.push_back(Cell::of(t));
    out.resize(columns);
    return out;
}

void addValues(const CIrImage& image, ResultTable& t) {
    const size_t n = t.columns.size();
    const auto value = [](float v) { return fmt("%4.1f", static_cast<double>(v) * 0.01); };
    forEachRecord(
        image, [&](const QString& name, const IfrPointInfo& p) { t.rows.push_back(row({name, value(p.value100)}, n)); },
        [&](const QString& name, const IfrRectInfo& r) { t.rows.push_back(row({name, value(r.value100)}, n)); },
        [&](const QString& name, const IfrLineInfo& l) { t.rows.push_back(row({name, value(l.value100)}, n)); });
}

void addPositions(const CIrImage& image, ResultTable& t) {
    const size_t n = t.columns.size();
    const Positions s{image.imageWidth()};
    const auto plus = [&](int a, int b) { return QString::number(s(a).toLongLong() + s(b).toLongLong()); };
    forEachRecord(
        image, [&](const QString& name, const IfrPointInfo& p) { t.rows.push_back(row({name, s(p.x), s(p.y)}, n)); },
        [&](const QString& name, const IfrRectInfo& r) {
            t.rows.push_back(row({name, s(r.x), s(r.y), plus(r.x, r.width), plus(r.y, r.height), s(r.width),
                                  s(r.height)},
                                 n));
        },
        [&](const QString& name, const IfrLineInfo& l) {
            t.rows.push_back(row({name, s(l.x1), s(l.y1), s(l.x2), s(l.y2)}, n));
        });
}

void addParameters(const CIrImage& image, ResultTable& t) {
    const size_t n = t.columns.size();
    const QString ambient = fmt("%4.1f", static_cast<double>(image.ambient()));
    const bool hundredths = image.scheme() == 3 && image.fileVersion() != 6;
    const auto emissivity = [](int e100) { return fmt("%3.2f", e100 * 0.01); };
    const auto distance = [&](int d) { return fmt("%4.2f", hundredths ? d * 0.01 : static_cast<double>(d)); };
    // Columns: name, emissivity, ambient, distance, (empty).
    const auto add = [&](const QString& name, const QString& e, const QString& d) {
        t.rows.push_back(row({name, e, ambient, d, QString()}, n));
    };
    forEachRecord(
        image,
        [&](const QString& name, const IfrPointInfo& p) {
            add(name, p.emissivity100 == 0 ? QStringLiteral("0.90") : emissivity(p.emissivity100),
                p.distance == 0 ? QString() : distance(p.distance));
        },
        [&](const QString& name, const IfrRectInfo& r) { add(name, emissivity(r.emissivity100), distance(r.distance)); },
        [&](const QString& name, const IfrLineInfo& l) { add(name, emissivity(l.emissivity100), distance(l.distance)); });
}

void addFileData(const CIrImage& image, const QString& currentFile, ResultTable& t) {
    const QFileInfo fi(currentFile);
    const bool present = !currentFile.isEmpty() && fi.exists();
    const auto add = [&](int label, Cell value) {
        t.rows.push_back({Cell::id(label), present ? std::move(value) : Cell{}});
    };
    const QDateTime written = present ? fi.lastModified() : QDateTime();
    add(1038, Cell::of(written.toString(QStringLiteral("yyyy-MM-dd"))));
    add(1039, Cell::of(written.toString(QStringLiteral("HH:mm:ss"))));
    add(1040, Cell::of(fi.fileName()));
    add(1041, Cell::of(platform::fromGbk(image.deviceModel())));
    const unsigned value = image.lastDeviceValue();
    add(1043, value <= 3 ? Cell::id(1044 + static_cast<int>(value)) : Cell{});
}

}  // namespace

ResultTable BuildResultTable(int category, const CIrImage* image, const QString& currentFile) {
    ResultTable t;
    t.columns = columnsOf(category);
    if (image == nullptr || t.columns.empty()) return t;
    switch (category) {
    case kValues:
        addValues(*image, t);
        break;
    case kPositions:
        addPositions(*image, t);
        break;
    case kParameters:
        addParameters(*image, t);
        break;
    case kFileData:
        addFileData(*image, currentFile, t);
        break;
    default:
        break;
    }
    return t;
}

}  // namespace heatshelf
