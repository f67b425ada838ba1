#include "skin/lazy_icon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>

namespace skin {
namespace {

// The icon once made, shared by every copy of the engine (QIcon copies
// share one engine; a detached copy clones it and keeps the same maker).
struct Maker {
    std::function<QIcon()> make;
    QIcon icon;
    bool made = false;
    bool neverNull = false;

    const QIcon& get()
    {
        if (!made) {
            made = true;
            if (make)
                icon = make();
            make = nullptr;
        }
        return icon;
    }
};

class LazyIconEngine : public QIconEngine {
public:
    explicit LazyIconEngine(std::shared_ptr<Maker> maker) : m_maker(std::move(maker)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return m_maker->neverNull && !m_maker->made ? false : icon().isNull(); }
    QString key() const override { return QStringLiteral("skin-lazy"); }
    QIconEngine* clone() const override { return new LazyIconEngine(m_maker); }

private:
    const QIcon& icon() { return m_maker->get(); }

    std::shared_ptr<Maker> m_maker;
};

} // namespace

QIcon LazyIcon(std::function<QIcon()> make, bool neverNull)
{
    auto maker = std::make_shared<Maker>();
    maker->make = std::move(make);
    maker->neverNull = neverNull;
    return QIcon(new LazyIconEngine(std::move(maker)));
}

} // namespace skin
