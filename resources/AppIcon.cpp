#include "resources/AppIcon.h"

#include "resources/MainTemplate.h"

#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace {
// The application icon's files, each decoded the first time a window asks for its size. Qt's own
// engine decodes every file as it is added, at start-up, for sizes no window may show.
class CAppIconEngine final : public QIconEngine {
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return QPixmap::fromImage(Image(ShippedSize(size)));
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int shipped = ShippedSize(size);
        return QSize(shipped, shipped);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int size : kAppIconSizes)
            sizes << QSize(size, size);
        return sizes;
    }
    QString key() const override { return QStringLiteral("tavrin-app-icon"); }
    QIconEngine *clone() const override { return new CAppIconEngine(*this); }

private:
    // The largest size shipped that fits size, else the smallest.
    static int ShippedSize(const QSize &size)
    {
        int best = kAppIconSizes[0];
        for (const int shipped : kAppIconSizes) {
            if (shipped <= std::min(size.width(), size.height()))
                best = shipped;
        }
        return best;
    }
    // Images rather than pixmaps: the cache may outlive the application object.
    const QImage &Image(int size)
    {
        auto decoded = m_decoded.find(size);
        if (decoded == m_decoded.end()) {
            QImageReader reader(QString::fromLatin1(kAppIconPrefix) + QString::number(size) + QStringLiteral(".png"));
            decoded = m_decoded.insert(size, reader.read());
        }
        return *decoded;
    }

    QHash<int, QImage> m_decoded;
};
} // namespace

QIcon AppIcon()
{
    // One icon, and one decoding of each size, for every window.
    static const QIcon icon(new CAppIconEngine);
    return icon;
}
