#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "common/ControlIds.h"
#include "resources/DialogItems.h"
#include "resources/GamePadTemplate.h"
#include "resources/KeyboardTemplate.h"
#include "resources/MainTemplate.h"
#include "resources/MouseTemplate.h"
#include "sim/VirtualHidBackend.h"
#include "translations/Translation.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using namespace MainId;

namespace {
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Every text a widget shows, or names itself by to a screen reader.
QStringList TextsOf(const QWidget *widget)
{
    QStringList texts{widget->windowTitle(), widget->toolTip(), widget->accessibleName(),
                      widget->accessibleDescription()};
    if (auto *label = qobject_cast<const QLabel *>(widget))
        texts << label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        texts << button->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(widget))
        texts << frame->title();
    if (auto *combo = qobject_cast<const QComboBox *>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        texts << combo->currentText();
    }
    if (auto *tabs = qobject_cast<const QTabBar *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i);
    }
    if (auto *list = qobject_cast<const QListWidget *>(widget)) {
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
    }
    return texts;
}

// "objectName: text" for each text with Chinese in it, skipping the widgets that show data.
QStringList ChineseTexts(const QWidget *root, const QList<const QWidget *> &data = {})
{
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        widgets << child;
    QStringList found;
    for (const QWidget *widget : widgets) {
        if (data.contains(widget))
            continue;
        for (const QString &text : TextsOf(widget)) {
            if (text.contains(kChinese))
                found << widget->metaObject()->className() + QStringLiteral(" ") + widget->objectName() +
                             QStringLiteral(": ") + text;
        }
    }
    return found;
}

// Runs action, which opens a modal box or a menu, and returns the texts of what opened; closes it.
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

// The room a control's template rectangle leaves for its caption, in this font and style.
QRect CaptionRoom(const ControlTemplate &control, const QRect &rect, const QFont &font, const QString &text)
{
    QStyle *style = QApplication::style();
    QWidget widget;
    widget.setFont(font);
    switch (control.kind) {
    case CtlKind::PushButton:
    case CtlKind::CheckBox:
    case CtlKind::RadioButton: {
        QStyleOptionButton option;
        option.initFrom(&widget);
        option.rect = rect;
        option.text = text;
        const auto element = control.kind == CtlKind::PushButton ? QStyle::SE_PushButtonContents
                             : control.kind == CtlKind::CheckBox ? QStyle::SE_CheckBoxContents
                                                                 : QStyle::SE_RadioButtonContents;
        return style->subElementRect(element, &option, &widget);
    }
    case CtlKind::ComboBox: {
        QStyleOptionComboBox option;
        option.initFrom(&widget);
        option.rect = QRect(rect.topLeft(), QSize(rect.width(), QComboBox().sizeHint().height()));
        option.editable = true;
        return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &widget);
    }
    default:
        return rect;
    }
}

// The room a text needs: its width, or for a label that wraps, its height within the label.
int Need(const ControlTemplate &control, const QFontMetrics &metrics, const QRect &room, const QString &text)
{
    if (control.kind == CtlKind::Label && control.cy >= 16)
        return metrics.boundingRect(room, Qt::TextWordWrap, text).height();
    // A frame's title stands inside its border, a character's width in from either side.
    if (control.kind == CtlKind::GroupBox)
        return metrics.horizontalAdvance(text) + 2 * metrics.averageCharWidth();
    return metrics.horizontalAdvance(text);
}

// Each shown caption and list item of a template whose translation does not fit its control where
// its Chinese source does (where the source itself does not fit, the translation may need no
// more than the source).
QStringList CaptionsThatDoNotFit(const DialogTemplate &dialog)
{
    const DialogTemplate shown = TranslatedTemplate(dialog);
    const QFont font = TemplateFont(dialog);
    const QFontMetrics metrics(font);
    const CDialogUnits units(font);
    QStringList found;
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate &control = dialog.controls[i];
        if (control.style & kHidden)
            continue;
        const QRect rect = units.Rect(control.x, control.y, control.cx, control.cy);
        std::vector<std::pair<std::string, std::string>> texts{{control.caption, shown.controls[i].caption}};
        for (std::size_t item = 0; item < control.items.size(); ++item)
            texts.emplace_back(control.items[item], shown.controls[i].items[item]);
        for (const auto &[source, translation] : texts) {
            const QString text = QString::fromStdString(translation).remove(QLatin1Char('&'));
            const QRect room = CaptionRoom(control, rect, font, text);
            const bool wraps = control.kind == CtlKind::Label && control.cy >= 16;
            const int has = std::max(wraps ? room.height() : room.width(),
                                     Need(control, metrics, room, QString::fromStdString(source).remove(QLatin1Char('&'))));
            const int need = Need(control, metrics, room, text);
            if (need > has)
                found << QStringLiteral("%1 in dialog %2: \"%3\" needs %4 px, has %5 px")
                             .arg(control.id)
                             .arg(dialog.id)
                             .arg(text)
                             .arg(need)
                             .arg(has);
        }
    }
    return found;
}
} // namespace

// The window, its pages, its menu, its messages and the about box in English: no text left in
// Chinese except the header lines of the settings file, which are shown as written.
class EnglishWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<CVirtualModule> module;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMessageBoxSink> sink;
    std::unique_ptr<CMessageSinkScope> sinkScope;
    std::unique_ptr<CMainDlg> dialog;

    void Open(bool withModule)
    {
        const QString settings = folder->filePath(QStringLiteral("confight.ini"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        module = std::make_unique<CVirtualModule>();
        backend = std::make_unique<CVirtualHidBackend>();
        if (withModule)
            AddStandardModule(*backend, *module);
        dialog = std::make_unique<CMainDlg>(*backend, settings.toStdString());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QStringList ClickFindModule()
    {
        return TextsOfWhatOpens([this] { dialog->Items().Item<QPushButton>(kFindModule)->click(); });
    }

private slots:
    void initTestCase() { QVERIFY(InstallTranslation(Language::English)); }

    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        sink = std::make_unique<CMessageBoxSink>();
        sinkScope = std::make_unique<CMessageSinkScope>(*sink);
    }

    void cleanup()
    {
        dialog.reset();
        backend.reset();
        module.reset();
        sinkScope.reset();
        sink.reset();
    }

    void windowAndPagesAfterASearchAreEnglish()
    {
        Open(true);
        QVERIFY(ClickFindModule().isEmpty());
        QCOMPARE(dialog->Items().GetDlgItemText(kFindModule), std::string("Find module"));
        const QList<const QWidget *> headerLines{dialog->Items().GetDlgItem(kMaker), dialog->Items().GetDlgItem(kContact),
                                                 dialog->Items().GetDlgItem(kWeb)};
        const QStringList found = ChineseTexts(dialog.get(), headerLines);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void menuAndMessagesAreEnglish()
    {
        Open(false);
        QStringList texts = ClickFindModule();
        QCOMPARE(texts.size(), 1);
        texts << TextsOfWhatOpens([this] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), dialog->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(dialog.get(), &event);
        });
        QCOMPARE(texts.size(), 3); // the message, the separator and the about item
        for (const QString &text : texts)
            QVERIFY2(!text.contains(kChinese), qPrintable(text));
    }

    void aboutBoxIsEnglish()
    {
        CAboutDlg about;
        const QStringList found = ChineseTexts(&about);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void englishCaptionsFitTheirControls()
    {
        QStringList found;
        for (const DialogTemplate *dialog :
             {&MainDlgTemplate(), &AboutDlgTemplate(), &KeyboardTemplate(), &MouseTemplate(), &GamePadTemplate()})
            found << CaptionsThatDoNotFit(*dialog);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(EnglishWindowTest)
#include "EnglishWindowTest.moc"
