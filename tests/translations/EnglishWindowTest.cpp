#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "common/ControlIds.h"
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
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace MainId;

namespace {
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Every text a widget shows, or names itself by to a screen reader.
QStringList TextsOf(const QWidget *widget)
{
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
    return texts;
}

// "class name: text" for each text with Chinese in it, leaving out the widgets that show data.
QStringList ChineseTexts(const QWidget *root, const QList<QWidget *> &data = {})
{
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        widgets << child;
    QStringList found;
    for (const QWidget *widget : widgets) {
        for (const QString &text : TextsOf(widget)) {
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
    QTimer opened; // gone with this call when nothing opens
    opened.setSingleShot(true);
    opened.start(0);
    QObject::connect(&opened, &QTimer::timeout, [&texts] {
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

// The room a control's template rectangle leaves for its caption in this style: beside the
// indicator of a check box or radio, inside a button's margins or a combo box's text field. A
// label that wraps has its height as room, a frame its width less a character at either side.
int Room(const ControlTemplate &control, const QRect &rect, const QFontMetrics &metrics)
{
    QStyle *style = QApplication::style();
    QStyleOptionButton button;
    button.rect = rect;
    QStyleOptionComboBox combo;
    combo.rect = QRect(rect.topLeft(), QSize(rect.width(), QComboBox().sizeHint().height()));
    combo.editable = true;
    switch (control.kind) {
    case CtlKind::PushButton:
        return style->subElementRect(QStyle::SE_PushButtonContents, &button).width();
    case CtlKind::CheckBox:
        return style->subElementRect(QStyle::SE_CheckBoxContents, &button).width();
    case CtlKind::RadioButton:
        return style->subElementRect(QStyle::SE_RadioButtonContents, &button).width();
    case CtlKind::ComboBox:
        return style->subControlRect(QStyle::CC_ComboBox, &combo, QStyle::SC_ComboBoxEditField).width();
    case CtlKind::GroupBox:
        return rect.width() - 2 * metrics.averageCharWidth();
    default:
        return control.cy >= 16 ? rect.height() : rect.width();
    }
}

int Need(const ControlTemplate &control, const QRect &rect, const QFontMetrics &metrics, const std::string &text)
{
    const QString shown = QString::fromStdString(text).remove(QLatin1Char('&'));
    if (control.kind == CtlKind::Label && control.cy >= 16)
        return metrics.boundingRect(rect, Qt::TextWordWrap, shown).height();
    return metrics.horizontalAdvance(shown);
}

// Each shown caption and list item whose translation does not fit its control where its Chinese
// source does; where the source itself does not fit, the translation may need no more room.
QStringList CaptionsThatDoNotFit(const DialogTemplate &dialog)
{
    const DialogTemplate shown = TranslatedTemplate(dialog);
    const QFontMetrics metrics(TemplateFont(dialog));
    const CDialogUnits units(TemplateFont(dialog));
    QStringList found;
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const ControlTemplate &control = dialog.controls[i];
        const QRect rect = units.Rect(control.x, control.y, control.cx, control.cy);
        std::vector<std::string> sources = control.items, texts = shown.controls[i].items;
        sources.push_back(control.caption);
        texts.push_back(shown.controls[i].caption);
        for (std::size_t t = 0; t < texts.size() && !(control.style & kHidden); ++t) {
            const int room = std::max(Room(control, rect, metrics), Need(control, rect, metrics, sources[t]));
            if (Need(control, rect, metrics, texts[t]) > room)
                found << QStringLiteral("%1 in %2: \"%3\" needs %4 px, has %5")
                             .arg(control.id).arg(dialog.id).arg(QString::fromStdString(texts[t]))
                             .arg(Need(control, rect, metrics, texts[t])).arg(room);
        }
    }
    return found;
}
} // namespace

// The window, its pages, menu and messages, and the about box in English: no Chinese left except
// the settings file's header lines, which are shown as written; every caption fits its control.
class EnglishWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    CMessageBoxSink sink;

    // Runs the window, searches without a module and opens its menu; collects what is in Chinese.
    void CheckWindow(QStringList &found)
    {
        const QString settings = folder.filePath(QStringLiteral("confight.ini"));
        QFile::remove(settings);
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        CVirtualHidBackend backend;
        CMainDlg dialog(backend, settings.toStdString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QStringList message =
            TextsOfWhatOpens([&dialog] { dialog.Items().Item<QPushButton>(kFindModule)->click(); });
        QCOMPARE(message.size(), 1);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), dialog.mapToGlobal(QPoint(2, 2)));
        const QStringList menu = TextsOfWhatOpens([&] { QApplication::sendEvent(&dialog, &event); });
        QCOMPARE(menu.size(), 4); // a separator, the two key-map items and the about item
        for (const QString &text : message + menu)
            found << (text.contains(kChinese) ? text : QString());
        found << ChineseTexts(&dialog, {dialog.Items().GetDlgItem(kMaker), dialog.Items().GetDlgItem(kContact),
                                        dialog.Items().GetDlgItem(kWeb)});
        found.removeAll(QString());
    }

private slots:
    void initTestCase() { QVERIFY(InstallTranslation(Language::English)); }

    void noChineseLeft()
    {
        CMessageSinkScope scope(sink);
        QStringList found;
        CheckWindow(found);
        found << ChineseTexts(std::make_unique<CAboutDlg>().get());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void captionsFitTheirControls()
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
