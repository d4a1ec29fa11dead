#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"
#include "translations/Translation.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEngine>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <memory>

namespace {
// A paint engine that draws nothing and notes where each piece of text would leave ink, without
// the clipping a widget's own painting has: text cut at a control's edge shows up outside it.
class CInkEngine final : public QPaintEngine {
  public:
    CInkEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}
    void drawTextItem(const QPointF &origin, const QTextItem &item) override
    {
        const QRectF ink = QFontMetricsF(item.font()).tightBoundingRect(item.text()).translated(origin);
        inks.append({item.text(), m_transform.mapRect(ink)});
    }

    QList<QPair<QString, QRectF>> inks;

  private:
    QTransform m_transform;
};

// An image of a widget's size and resolution that paints into the ink engine.
class CInkDevice final : public QImage {
  public:
    explicit CInkDevice(const QSize &size) : QImage(size, QImage::Format_ARGB32) {}
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable CInkEngine engine;
};

// Where the caption of every shown text control of window leaves ink that its own rectangle, or
// the area its parent shows, does not hold.
QStringList CutCaptions(const QWidget *window)
{
    QStringList cut;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const bool captioned = qobject_cast<QLabel *>(control) || qobject_cast<QAbstractButton *>(control) ||
                               qobject_cast<QGroupBox *>(control);
        if (!captioned || !control->isVisibleTo(window) || qobject_cast<QTabBar *>(control->parentWidget()))
            continue;
        CInkDevice device(control->size());
        control->render(&device, QPoint(), QRegion(), QWidget::RenderFlags());
        // The outline's box, rounded outwards, may reach a pixel beyond the ink painted.
        const QRectF own = QRectF(control->rect()).adjusted(-1, -1, 1, 1);
        const QRectF inParent =
            QRectF(control->parentWidget()->rect()).translated(-control->pos()).adjusted(-1, -1, 1, 1);
        for (const auto &[text, ink] : device.engine.inks) {
            if (!ink.isEmpty() && (!own.contains(ink) || !inParent.contains(ink)))
                QDebug(&cut.emplaceBack()) << control->objectName() << text << ink << "in" << control->size();
        }
    }
    return cut;
}
} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

  private:
    void Open()
    {
        backend = std::make_unique<CVirtualHidBackend>();
        dialog = std::make_unique<CMainDlg>(*backend, SettingsLocation("/nonexistent/tavrin/confight.ini"));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

  private slots:
    // The language comes from TAVRIN_LANG, so one program checks the window in each language.
    void initTestCase() { QVERIFY(InstallTranslation(ChooseLanguage(std::nullopt, ProcessEnvironment))); }

    void init() { sink = std::make_unique<CRecordingSink>(); }

    void cleanup()
    {
        dialog.reset();
        backend.reset();
        sink.reset();
    }

    // At 96 dpi with the template's 9 points the window, less its frame, leaves room on a
    // 1366 x 768 screen for a title bar and a panel.
    void theWindowFitsALaptopScreen()
    {
        Open();
        QVERIFY2(dialog->width() <= 1366 && dialog->height() <= 700,
                 qPrintable(QStringLiteral("%1 x %2").arg(dialog->width()).arg(dialog->height())));
        QVERIFY(!dialog->findChild<QScrollArea *>()->verticalScrollBar()->isVisible());
    }

    void noCaptionIsCut()
    {
        Open();
        dialog->Items().SetDlgItemText(MainId::kMaker, "示例科技有限公司");
        for (int page = 0; page < dialog->Tab().TabBar()->count(); ++page) {
            dialog->Tab().TabBar()->setCurrentIndex(page);
            const QStringList cut = CutCaptions(dialog.get());
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        }
        CAboutDlg about;
        about.show();
        const QStringList cut = CutCaptions(&about);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // Where the screen is too small for the window, the window keeps to the screen and scrolls
    // its content, so every control can still be reached.
    void aSmallScreenScrollsTheWindow()
    {
        Open();
        const QSize full = dialog->size();
        dialog->FitToArea(QSize(full.width() + 200, full.height() / 2));
        QVERIFY(dialog->height() <= full.height() / 2);
        auto *scroll = dialog->findChild<QScrollArea *>();
        QTRY_VERIFY(scroll->verticalScrollBar()->isVisible());
        QWidget *notice = dialog->Items().GetDlgItem(MainId::kNotice);
        scroll->ensureWidgetVisible(notice);
        const QRect shown(notice->mapTo(dialog.get(), QPoint()), notice->size());
        QVERIFY(dialog->rect().contains(shown));
    }

  private:
    std::unique_ptr<CRecordingSink> sink;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMainDlg> dialog;
};

QTEST_MAIN(WindowFitTest)
#include "WindowFitTest.moc"
