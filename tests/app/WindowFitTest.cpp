#include "app/AboutDlg.h"
#include "app/FileDialog.h"
#include "app/KeyTableDlg.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"
#include "translations/Translation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// A shown field, list or button beside control that ink, in the parent's coordinates, runs into.
// Labels and frames may overlap as the templates draw them; text over a field may not.
const QWidget *SiblingUnder(const QWidget *control, const QRectF &ink)
{
    for (const QWidget *sibling : control->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const bool field = qobject_cast<const QComboBox *>(sibling) || qobject_cast<const QLineEdit *>(sibling) ||
                           qobject_cast<const QAbstractButton *>(sibling) ||
                           qobject_cast<const QAbstractItemView *>(sibling);
        if (sibling != control && field && sibling->isVisible() &&
            QRectF(sibling->geometry()).intersects(ink.adjusted(1, 1, -1, -1)))
            return sibling;
    }
    return nullptr;
}

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
            // A label grows to its text, so its ink must also stay clear of the controls beside it.
            if (const QWidget *hit = SiblingUnder(control, ink.translated(control->pos())))
                QDebug(&cut.emplaceBack()) << control->objectName() << text << "runs into" << hit->objectName();
        }
    }
    return cut;
}

// The ink of the caption a control paints, in its own coordinates; empty when it paints none.
QRectF CaptionInk(QWidget *control)
{
    CInkDevice device(control->size());
    control->render(&device, QPoint(), QRegion(), QWidget::RenderFlags());
    QRectF ink;
    for (const auto &[text, rect] : device.engine.inks)
        ink |= rect;
    return ink;
}

QList<QWidget *> ShownChildren(const QWidget *window)
{
    QList<QWidget *> shown;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->isVisibleTo(window))
            shown << control;
    }
    return shown;
}

// Where a shown list's item is wider than the field that shows it: "KORVA SB V" for the module.
QStringList CutItems(const QWidget *window)
{
    QStringList cut;
    for (QWidget *control : ShownChildren(window)) {
        auto *combo = qobject_cast<QComboBox *>(control);
        if (!combo)
            continue;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i) {
            // The text keeps a pixel of room on either side of the field.
            if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) > field.width() - 2)
                QDebug(&cut.emplaceBack()) << combo->objectName() << combo->itemText(i) << "in" << field.width();
        }
    }
    return cut;
}

// The left edge of what stands at the right of a radio or check box: the next one's indicator,
// or any other control.
int LeftEdge(const QWidget *control)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(control);
        button && (qobject_cast<const QRadioButton *>(control) || qobject_cast<const QCheckBox *>(control))) {
        QStyleOptionButton option;
        option.initFrom(button);
        const auto element = qobject_cast<const QRadioButton *>(control) ? QStyle::SE_RadioButtonIndicator
                                                                       : QStyle::SE_CheckBoxIndicator;
        return control->x() + control->style()->subElementRect(element, &option, control).left();
    }
    return control->x();
}

// Where a radio's or check box's caption stands no nearer its own indicator than the control at
// its right: a row of radios then reads as captions in front of indicators.
QStringList CaptionsNearerTheNextControl(const QWidget *window)
{
    QStringList wrong;
    for (QWidget *control : ShownChildren(window)) {
        const bool radio = qobject_cast<QRadioButton *>(control);
        if (!radio && !qobject_cast<QCheckBox *>(control))
            continue;
        const QRectF ink = CaptionInk(control);
        if (ink.isEmpty())
            continue;
        QStyleOptionButton option;
        option.initFrom(control);
        const QRect indicator = control->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, control);
        const qreal ownGap = ink.left() - (indicator.right() + 1);
        const qreal inkRight = control->x() + ink.right();
        for (const QWidget *next : control->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const bool sameRow = next->y() < control->y() + control->height() && control->y() < next->y() + next->height();
            if (next == control || !next->isVisible() || qobject_cast<const QGroupBox *>(next) || !sameRow ||
                next->x() <= control->x())
                continue;
            if (const qreal nextGap = LeftEdge(next) - inkRight; nextGap <= ownGap)
                QDebug(&wrong.emplaceBack()) << control->objectName() << ownGap << "from its indicator," << nextGap
                                             << "from" << next->objectName();
        }
    }
    return wrong;
}

// Where a frame draws its lines, in its parent's coordinates: the rows and columns of its own
// painting that ink runs along for most of the frame's width or height. Found in the pixels, so
// that a style drawing its line elsewhere than it says is caught too.
QList<QLine> FrameLines(QGroupBox *frame)
{
    QImage image(frame->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    frame->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const auto inked = [&](int x, int y) { return qAlpha(image.pixel(x, y)) > 0; };
    QList<QLine> found;
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += inked(x, y);
        if (count * 10 >= image.width() * 6)
            found << QLine(0, y, image.width() - 1, y).translated(frame->pos());
    }
    for (int x = 0; x < image.width(); ++x) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            count += inked(x, y);
        if (count * 10 >= image.height() * 6)
            found << QLine(x, 0, x, image.height() - 1).translated(frame->pos());
    }
    return found;
}

// What a control must keep clear of lines, in its parent's coordinates: its caption's ink and, for
// a radio or check box, its indicator.
QList<QRectF> InkAndIndicator(QWidget *control)
{
    QList<QRectF> parts{CaptionInk(control).translated(control->pos()).adjusted(0.5, 0.5, -0.5, -0.5)};
    if (const bool radio = qobject_cast<QRadioButton *>(control); radio || qobject_cast<QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(control);
        parts << QRectF(control->style()
                            ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                             &option, control)
                            .translated(control->pos()));
    }
    return parts;
}

// Where one of a frame's four lines runs through a caption, a note or an indicator of another control.
QStringList FrameLinesThroughCaptions(const QWidget *window)
{
    QStringList crossed;
    const QList<QWidget *> shown = ShownChildren(window);
    for (QWidget *widget : shown) {
        auto *frame = qobject_cast<QGroupBox *>(widget);
        if (!frame)
            continue;
        const QList<QLine> frameLines = FrameLines(frame);
        for (QWidget *control : shown) {
            const bool captioned = qobject_cast<QLabel *>(control) || qobject_cast<QAbstractButton *>(control);
            if (!captioned || control->parentWidget() != frame->parentWidget())
                continue;
            for (const QRectF &part : InkAndIndicator(control)) {
                for (const QLine &line : frameLines) {
                    const QRectF along = QRectF(line.p1(), line.p2()).normalized().adjusted(0, 0, 1, 1);
                    if (!part.isEmpty() && along.intersects(part))
                        QDebug(&crossed.emplaceBack()) << frame->title() << line << "crosses" << control->objectName()
                                                       << part;
                }
            }
        }
    }
    return crossed;
}

const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// "class name: text" for each text with Chinese that root or a control in it shows, or names
// itself by to a screen reader, leaving out the controls that show data.
QStringList ChineseTexts(const QWidget *root, const QList<QWidget *> &data = {})
{
    QStringList found;
    for (const QWidget *widget : QList<const QWidget *>{root} + root->findChildren<const QWidget *>()) {
        QStringList texts{widget->windowTitle(), widget->toolTip(), widget->accessibleName()};
        if (auto *label = qobject_cast<const QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts << button->text();
        if (auto *frame = qobject_cast<const QGroupBox *>(widget))
            texts << frame->title();
        const auto *combo = qobject_cast<const QComboBox *>(widget);
        for (int i = 0; combo && i < combo->count(); ++i)
            texts << combo->itemText(i);
        const auto *tabs = qobject_cast<const QTabBar *>(widget);
        for (int i = 0; tabs && i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        for (const QString &text : texts) {
            if (!data.contains(widget) && text.contains(kChinese))
                found << QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral(": ") + text;
        }
    }
    return found;
}

// Runs action, which may open a message box or a menu, and returns the texts of what opened.
QStringList TextsOfWhatOpens(const std::function<void()> &action)
{
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->accept();
        } else if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *item : menu->actions())
                texts << item->text();
            menu->close();
        }
    });
    action();
    return texts;
}
} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

  private:
    void Click(int id) { dialog->Items().Item<QPushButton>(id)->click(); }

  private slots:
    // The language comes from TAVRIN_LANG, so one program checks the window in each language.
    void initTestCase()
    {
        language = ChooseLanguage(std::nullopt, ProcessEnvironment);
        QVERIFY(InstallTranslation(language));
    }

    // The window with a copy of the shipped settings, whose header lines fill the data labels.
    void init()
    {
        sink = std::make_unique<CRecordingSink>();
        const QString settings = folder.filePath(QStringLiteral("confight.ini"));
        QFile::remove(settings);
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        backend = std::make_unique<CVirtualHidBackend>();
        dialog = std::make_unique<CMainDlg>(*backend, settings.toStdString());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void cleanup()
    {
        dialog.reset();
        backend.reset();
        module.reset();
        sink.reset();
    }

    // At 96 dpi with the template's 9 points the window, less its frame, leaves room on a
    // 1366 x 768 screen for a title bar and a panel.
    void theWindowFitsALaptopScreen()
    {
        QVERIFY2(dialog->width() <= 1366 && dialog->height() <= 700,
                 qPrintable(QStringLiteral("%1 x %2").arg(dialog->width()).arg(dialog->height())));
        QVERIFY(!dialog->findChild<QScrollArea *>()->verticalScrollBar()->isVisible());
    }

    void noCaptionIsCut()
    {
        dialog->Items().SetDlgItemText(MainId::kMaker, "示例科技有限公司");
        CAboutDlg about;
        about.show();
        QStringList cut = CutCaptions(&about);
        for (int page = 0; page < dialog->Tab().TabBar()->count(); ++page) {
            dialog->Tab().TabBar()->setCurrentIndex(page);
            cut << CutCaptions(dialog.get());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // Pixel rules no cut caption catches: a list's item fits its field, a radio's caption stands
    // nearer its own indicator than the next control, and no frame line runs through a caption.
    void theLayoutKeepsItsPixelRules()
    {
        module = std::make_unique<CVirtualModule>();
        AddStandardModule(*backend, *module);
        Click(MainId::kFindModule);
        QCOMPARE(dialog->Items().GetCount(MainId::kModuleName), 1);
        QStringList wrong = CutItems(dialog.get());
        for (int page = 0; page < dialog->Tab().TabBar()->count(); ++page) {
            dialog->Tab().TabBar()->setCurrentIndex(page);
            wrong << CaptionsNearerTheNextControl(dialog.get()) << FrameLinesThroughCaptions(dialog.get());
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // The key table's full form fits beside the window on a laptop's screen, its narrow form the
    // window's page area; no caption of either is cut.
    void theKeyTableFitsBesideTheWindow()
    {
        CKeyTableDlg wide(*dialog, dialog.get(), false), narrow(*dialog, dialog.get(), true);
        for (CKeyTableDlg *table : {&wide, &narrow}) {
            table->show();
            QVERIFY(QTest::qWaitForWindowExposed(table));
            const QStringList cut = CutCaptions(table);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
        }
        QVERIFY2(dialog->width() + wide.width() + 2 * 16 <= 1366 && wide.height() <= 700,
                 qPrintable(QStringLiteral("%1 x %2").arg(wide.width()).arg(wide.height())));
        QCOMPARE(narrow.size(), dialog->Tab().size());
    }

    // Where the screen is too small for the window, the window keeps to the screen and scrolls
    // its content, so every control can still be reached.
    void aSmallScreenScrollsTheWindow()
    {
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

    // In English no Chinese is left in the window, its pages, menu and messages, or the about box,
    // except the settings file's header lines, which are shown as written.
    void noChineseLeftInEnglish()
    {
        if (language != Language::English)
            QSKIP("the window speaks Chinese in this run");
        CMessageBoxSink boxes;
        CMessageSinkScope scope(boxes);
        const QStringList message =
            TextsOfWhatOpens([&] { dialog->Items().Item<QPushButton>(MainId::kFindModule)->click(); });
        QCOMPARE(message.size(), 1);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), dialog->mapToGlobal(QPoint(2, 2)));
        const QStringList menu = TextsOfWhatOpens([&] { QApplication::sendEvent(dialog.get(), &event); });
        QCOMPARE(menu.size(), 5); // a separator, the two key-map items, the key table and the about item
        QStringList found = (message + menu).filter(kChinese);
        const CDialogItems &items = dialog->Items();
        found << ChineseTexts(dialog.get(), {items.GetDlgItem(MainId::kMaker), items.GetDlgItem(MainId::kContact),
                                             items.GetDlgItem(MainId::kWeb)});
        found << ChineseTexts(std::make_unique<CAboutDlg>().get());
        // The key table, its column titles and the names of its parameter rows.
        dialog->ShowKeyTable();
        const QTableWidget *grid = dialog->KeyTable()->Table();
        found << ChineseTexts(dialog->KeyTable());
        for (int column = 0; column < grid->columnCount(); ++column)
            found << grid->horizontalHeaderItem(column)->text();
        for (int row = 0; row < grid->rowCount(); ++row)
            found << grid->item(row, CKeyTableDlg::kKeyColumn)->text();
        found = found.filter(kChinese);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // A counted text takes its plural form: "1 key", "5 keys", "1 module".
    void countsTakeTheirPluralForm()
    {
        if (language != Language::English)
            QSKIP("Chinese has no plural forms");
        const struct {
            const char *source;
            std::vector<std::string> args;
            int count;
            const char *expected;
        } cases[] = {
            {"将向模块写入 %1 个按键的键值，是否继续？", {"1"}, 1, "Write 1 key to"},
            {"将向模块写入 %1 个按键的键值，是否继续？", {"5"}, 5, "Write 5 keys to"},
            {"共 %1 个模块：完成 %2 个，失败 %3 个", {"1", "1", "0"}, 1, "1 module: 1 done, 0 failed"},
            {"键值文件第 %1 行：%2 超出模块的按键数（%3 个按键）", {"3", "KEY-9", "1"}, 1, "line 3: KEY-9 is beyond the module's keys (1 key)"},
        };
        for (const auto &c : cases) {
            const std::string text = TranslateText({c.source, c.args, c.count});
            QVERIFY2(text.find(c.expected) != std::string::npos, text.c_str());
        }
    }

    // Qt's own dialogs, a question's buttons and the file dialog, speak the window's language.
    void qtsOwnDialogsSpeakTheWindowsLanguage()
    {
        QDialogButtonBox question(QDialogButtonBox::Yes | QDialogButtonBox::No);
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        QStringList texts{question.button(QDialogButtonBox::Yes)->text(), question.button(QDialogButtonBox::No)->text()};
        for (const QLabel *label : files.findChildren<QLabel *>())
            texts << label->text();
        // The type its list gives a folder, which Qt's catalog keeps under the dialog's name.
        texts << QFileIconProvider().type(QFileInfo(folder.path()));
        for (const QString &text : texts)
            QVERIFY2(text.isEmpty() || text.contains(kChinese) == (language == Language::Chinese), qPrintable(text));
        QVERIFY(texts.filter(kChinese).size() >= (language == Language::Chinese ? 4 : 0));
    }

    // The program's file dialog lists a file's size and type in the window's language, and its
    // date as the window's locale writes it; Qt's file model alone uses the system's.
    void theFileDialogsListSpeaksTheWindowsLanguage()
    {
        const QString path = folder.filePath(QStringLiteral("keys.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("KEY-1 = A\n") == 10);
        file.close();
        CFileDialog files(nullptr, "载入并写入键值文件", "键值文件 (*.txt)", folder.path());
        files.setOption(QFileDialog::DontUseNativeDialog);
        // The dialog's detail view, whatever model it shows.
        const auto *view = files.findChild<QAbstractItemView *>(QStringLiteral("treeView"));
        QVERIFY(view);
        const auto cell = [view](int column) {
            const QAbstractItemModel *list = view->model();
            for (int row = 0; row < list->rowCount(view->rootIndex()); ++row) {
                if (list->index(row, 0, view->rootIndex()).data().toString() == QLatin1String("keys.txt"))
                    return list->index(row, column, view->rootIndex()).data().toString();
            }
            return QString();
        };
        QTRY_VERIFY(!cell(3).isEmpty());
        QCOMPARE(cell(3), QLocale().toString(QFileInfo(path).lastModified(), QLocale::ShortFormat));
        for (const int column : {1, 2})
            QVERIFY2(cell(column).contains(kChinese) == (language == Language::Chinese), qPrintable(cell(column)));
    }

  private:
    Language language = Language::Chinese;
    QTemporaryDir folder;
    std::unique_ptr<CRecordingSink> sink;
    std::unique_ptr<CVirtualModule> module;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMainDlg> dialog;
};

QTEST_MAIN(WindowFitTest)
#include "WindowFitTest.moc"
