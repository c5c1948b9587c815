#include <QFile>
#include <QTest>

#include "artworkpainter.h"
#include "ui/artwork.h"

using namespace dedur;

// The images in resources/ are what the generator draws: artwork changes go
// through its source.
class ArtworkTest : public QObject {
    Q_OBJECT
  private slots:
    void resourcesMatchTheGenerator() {
        for (int id : artwork::paletteImageIds()) {
            const QImage stored = paletteImage(id).toImage().convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!stored.isNull(), qPrintable(QString("no image %1").arg(id)));
            QCOMPARE(stored.size(), QSize(24, 24));
            QVERIFY2(stored == artwork::paletteImage(id).convertToFormat(QImage::Format_RGB32),
                     qPrintable(QString("image %1 differs from its source").arg(id)));
        }
        for (int id : artwork::cursorIds()) {
            const QImage stored =
                QImage(QString(":/cursors/%1.png").arg(id)).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(stored.size(), QSize(32, 32));
            QVERIFY(stored == artwork::cursorImage(id).convertToFormat(QImage::Format_ARGB32));
        }
    }

    void desktopIconsMatchTheGenerator() {
        const QString folder = QString(DEDUR_RESOURCES) + "/icons/hicolor/";
        for (int size : artwork::desktopIconSizes()) {
            const QImage stored(folder + QString("%1x%1/apps/dedur.png").arg(size));
            QCOMPARE(stored.size(), QSize(size, size));
            QVERIFY2(stored.convertToFormat(QImage::Format_ARGB32) == artwork::programIcon(size),
                     qPrintable(QString("icon %1 differs from its source").arg(size)));
        }
        QFile svg(folder + "scalable/apps/dedur.svg");
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QCOMPARE(svg.readAll(), artwork::programIconSvg());
    }
};

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
