#include "resources/DialogItems.h"

#include "translations/Translation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QTableWidget>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {
// Height in dialog units from which a label wraps its text.
constexpr int kTwoLines = 16;
// Height in dialog units of a row that holds an edit or a closed combo box.
constexpr int kComboRow = 14;

// Frames and tabs as the dialog manager draws them: a frame's line runs through the middle of its
// caption rather than below it, and a tab is little taller than its title, so that what a template
// places inside a frame or below a tab row keeps the room the template gives it.
class CDialogStyle final : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        if (const auto *frame = qstyleoption_cast<const QStyleOptionGroupBox *>(option); frame && control == CC_GroupBox)
            return FramePart(*frame, part);
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        if (const auto *frame = qstyleoption_cast<const QStyleOptionGroupBox *>(option); frame && control == CC_GroupBox)
            DrawFrame(*frame, painter);
        else
            QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabVSpace)
            return kTabTextSpace;
        // A caption close to its own indicator, as the dialog manager draws it: in a row of
        // radios packed side by side it then stands clearly apart from the next one's indicator.
        if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing)
            return kCaptionSpace;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    // The caption stands at the frame's top left, a little in from its corner, with a gap in the
    // line around it; the line runs through the caption's middle, and what the template puts in
    // the frame stands below the caption. A frame without a caption has its line along its top.
    static QRect FramePart(const QStyleOptionGroupBox &frame, SubControl part)
    {
        const QRect &rect = frame.rect;
        const int captionHeight = frame.text.isEmpty() ? 0 : frame.fontMetrics.height();
        switch (part) {
        case SC_GroupBoxLabel:
            return frame.text.isEmpty() ? QRect()
                                        : QRect(rect.left() + kCaptionIndent, rect.top(),
                                                frame.fontMetrics.horizontalAdvance(frame.text) + 2 * kCaptionGap,
                                                captionHeight);
        case SC_GroupBoxFrame:
            return rect.adjusted(0, captionHeight / 2, 0, 0);
        case SC_GroupBoxContents:
            return rect.adjusted(kLineWidth, std::max(captionHeight, kLineWidth), -kLineWidth, -kLineWidth);
        default:
            return {};
        }
    }
    // An etched line, as the dialog manager draws a frame: a shadow line with a light one inside.
    void DrawFrame(const QStyleOptionGroupBox &frame, QPainter *painter) const
    {
        const QRect lines = FramePart(frame, SC_GroupBoxFrame);
        const QRect caption = FramePart(frame, SC_GroupBoxLabel);
        painter->save();
        painter->setClipRegion(QRegion(frame.rect) - caption);
        painter->setPen(frame.palette.color(QPalette::Mid));
        painter->drawRect(lines.adjusted(0, 0, -2, -2));
        painter->setPen(frame.palette.color(QPalette::Light));
        painter->drawRect(lines.adjusted(1, 1, -1, -1));
        painter->restore();
        if (caption.isEmpty())
            return;
        int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!styleHint(SH_UnderlineShortcut, &frame, nullptr, nullptr))
            flags |= Qt::TextHideMnemonic;
        drawItemText(painter, caption, flags, frame.palette, frame.state & State_Enabled, frame.text, QPalette::WindowText);
    }

    static constexpr int kCaptionIndent = 6;
    static constexpr int kCaptionGap = 2;
    static constexpr int kLineWidth = 2;
    static constexpr int kTabTextSpace = 2;
    static constexpr int kCaptionSpace = 3;
};

// One look for every control that takes it, made once for the application.
QStyle *DialogStyle()
{
    static QPointer<CDialogStyle> style;
    if (!style) {
        style = new CDialogStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// (a * b) / c rounded to the nearest integer, as the dialog manager scales its units.
int MulDiv(int a, int b, int c)
{
    return (a * b + c / 2) / c;
}

Qt::Alignment TextAlignment(unsigned style)
{
    if (style & kAlignCenter)
        return Qt::AlignHCenter | Qt::AlignTop;
    if (style & kAlignRight)
        return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

QWidget *MakeDefaultWidget(const ControlTemplate &control, QWidget *parent)
{
    const QString caption = FromUtf8(control.caption);
    switch (control.kind) {
    case CtlKind::Label: {
        auto *label = new QLabel(caption, parent);
        // Texts come from data and settings files: never interpret them as rich text.
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(TextAlignment(control.style));
        label->setWordWrap(control.cy >= kTwoLines);
        return label;
    }
    case CtlKind::GroupBox: {
        auto *frame = new QGroupBox(caption, parent);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        UseDialogStyle(frame);
        return frame;
    }
    case CtlKind::PushButton: {
        auto *button = new QPushButton(caption, parent);
        button->setDefault(control.style & kDefaultButton);
        button->setAutoDefault(false);
        return button;
    }
    case CtlKind::CheckBox: {
        auto *box = new CAutoCheckBox(caption, parent);
        UseDialogStyle(box);
        return box;
    }
    case CtlKind::RadioButton: {
        // Its group, which is not exclusive, rules its check state. Left auto-exclusive, it is a
        // radio button to a screen reader rather than a check box.
        auto *radio = new CAutoRadioButton(caption, parent);
        UseDialogStyle(radio);
        return radio;
    }
    case CtlKind::Edit: {
        auto *edit = new QLineEdit(caption, parent);
        edit->setAlignment(TextAlignment(control.style) & Qt::AlignHorizontal_Mask);
        return edit;
    }
    case CtlKind::ComboBox: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(!(control.style & kDropDownList));
        combo->setInsertPolicy(QComboBox::NoInsert);
        for (const auto &item : control.items)
            combo->addItem(FromUtf8(item));
        combo->setCurrentIndex(-1);
        return combo;
    }
    case CtlKind::ListBox: {
        auto *list = new QListWidget(parent);
        list->setVerticalScrollBarPolicy(control.style & kVScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        return list;
    }
    case CtlKind::ListView: {
        auto *table = new QTableWidget(parent);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->verticalHeader()->hide();
        // Tab leaves the list; the arrow keys move within it.
        table->setTabKeyNavigation(false);
        return table;
    }
    case CtlKind::TabControl:
        return new QWidget(parent);
    case CtlKind::Icon: {
        auto *icon = new QLabel(parent);
        icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        return icon;
    }
    }
    return new QWidget(parent);
}

// A text marked in the dialog's own context takes that translation, any other the common one.
std::string Translated(const QByteArray &ownContext, const std::string &source)
{
    if (source.empty())
        return source;
    const QString own = QCoreApplication::translate(ownContext.constData(), source.c_str());
    return (own != FromUtf8(source) ? own : TranslatedText(source)).toStdString();
}

bool IsField(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QListWidget *>(widget);
}

// Whether the control is shown with its dialog; the dialog itself may not be shown yet.
bool IsShown(const QWidget *widget)
{
    return widget->isVisibleTo(widget->parentWidget());
}

bool SameRow(const QRect &a, const QRect &b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// The label standing next to a field on its row, looked for on its left first, then on its right;
// a control nearer to the field than any label on that side means there is none there.
QLabel *LabelBeside(const QWidget *field, const QList<QWidget *> &built)
{
    const QRect rect = field->geometry();
    for (const int side : {-1, 1}) {
        QWidget *nearest = nullptr;
        for (QWidget *widget : built) {
            const int distance = side * (widget->x() - rect.x());
            if (widget == field || distance <= 0 || qobject_cast<QGroupBox *>(widget) ||
                IsShown(widget) != IsShown(field) || !SameRow(widget->geometry(), rect))
                continue;
            if (!nearest || distance < side * (nearest->x() - rect.x()))
                nearest = widget;
        }
        auto *label = qobject_cast<QLabel *>(nearest);
        if (label && !label->text().isEmpty())
            return label;
    }
    return nullptr;
}

// The innermost frame with a caption around a field.
QGroupBox *FrameAround(const QWidget *field, const QList<QWidget *> &built)
{
    QGroupBox *innermost = nullptr;
    for (QWidget *widget : built) {
        auto *frame = qobject_cast<QGroupBox *>(widget);
        if (frame && !frame->title().isEmpty() && frame->geometry().contains(field->geometry()) &&
            (!innermost || innermost->geometry().contains(frame->geometry())))
            innermost = frame;
    }
    return innermost;
}

// A screen reader names an edit, combo box or list by the label beside it, which becomes its
// buddy so the relation is exposed as well; with no label there, by the frame around it.
void NameField(QWidget *field, const QList<QWidget *> &built)
{
    QString name;
    if (QLabel *label = LabelBeside(field, built)) {
        label->setBuddy(field);
        name = label->text();
    } else if (QGroupBox *frame = FrameAround(field, built)) {
        name = frame->title();
        field->setAccessibleName(name);
    }
    // The text field of an editable combo box is an accessible object of its own.
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(name);
}
// A radio group is one Tab stop, the arrow keys move within it: the stop is the checked radio,
// else the first that can take the focus. Qt moves the stop to a radio that takes the focus.
void SetTabStop(QButtonGroup *group, const QWidget *host)
{
    const QList<QAbstractButton *> radios = group->buttons();
    QAbstractButton *stop = group->checkedButton();
    for (auto it = radios.begin(); !stop && it != radios.end(); ++it) {
        if ((*it)->isEnabledTo(host) && IsShown(*it))
            stop = *it;
    }
    for (QAbstractButton *radio : radios)
        radio->setFocusPolicy(radio == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void KeepTabStops(QButtonGroup *group, const QWidget *host)
{
    SetTabStop(group, host);
    for (QAbstractButton *radio : group->buttons()) {
        QObject::connect(radio, &QAbstractButton::toggled, group, [group, host](bool checked) {
            if (checked)
                SetTabStop(group, host);
        });
    }
}
} // namespace

void CAutoRadioButton::nextCheckState()
{
    setChecked(true);
    if (QButtonGroup *buttons = group()) {
        for (QAbstractButton *other : buttons->buttons()) {
            if (other != this)
                other->setChecked(false);
        }
    }
}

void CAutoRadioButton::keyPressEvent(QKeyEvent *event)
{
    static const QHash<int, QPoint> directions = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    const auto direction = directions.find(event->key());
    if (direction == directions.end() || !group()) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    // Nearest along the direction, a step across it counting twice.
    QAbstractButton *nearest = nullptr;
    int best = 0;
    const QPoint centre = geometry().center();
    for (QAbstractButton *radio : group()->buttons()) {
        const QPoint offset = radio->geometry().center() - centre;
        const int along = offset.x() * direction->x() + offset.y() * direction->y();
        const int across = std::abs(offset.x() * direction->y() - offset.y() * direction->x());
        if (radio == this || along <= 0 || !radio->isEnabled() || !radio->isVisible())
            continue;
        if (!nearest || along + 2 * across < best) {
            nearest = radio;
            best = along + 2 * across;
        }
    }
    if (nearest)
        nearest->setFocus(event->key() == Qt::Key_Up || event->key() == Qt::Key_Left ? Qt::BacktabFocusReason
                                                                                      : Qt::TabFocusReason);
}

void UseDialogStyle(QWidget *widget)
{
    widget->setStyle(DialogStyle());
}

DialogTemplate TranslatedTemplate(const DialogTemplate &dialog)
{
    const QByteArray ownContext = QByteArray(kTextContext) + ' ' + QByteArray::number(dialog.id);
    DialogTemplate shown = dialog;
    shown.caption = Translated(ownContext, dialog.caption);
    for (ControlTemplate &control : shown.controls) {
        control.caption = Translated(ownContext, control.caption);
        for (std::string &item : control.items)
            item = Translated(ownContext, item);
    }
    return shown;
}

QFont TemplateFont(const DialogTemplate &dialog)
{
    QFont font;
    font.setFamilies({QString::fromStdString(dialog.fontName), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(dialog.pointSize);
    return font;
}

CDialogUnits::CDialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (width / 26 + 1) / 2;
    // The character height of the font itself: a CJK fallback's line spacing is a third larger.
    m_nBaseY = QFontInfo(font).pixelSize();
}

int CDialogUnits::X(int units) const
{
    return MulDiv(units, m_nBaseX, 4);
}

int CDialogUnits::Y(int units) const
{
    return MulDiv(units, m_nBaseY, 8);
}

QRect CDialogUnits::Rect(int x, int y, int cx, int cy) const
{
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

CDialogItems::CDialogItems(const DialogTemplate &source, QWidget *host, const Factory &factory)
    : m_units(TemplateFont(source))
{
    const DialogTemplate dialog = TranslatedTemplate(source);
    host->setFont(TemplateFont(dialog));
    host->setWindowTitle(FromUtf8(dialog.caption));
    host->resize(m_units.X(dialog.cx), m_units.Y(dialog.cy));

    QButtonGroup *radioGroup = nullptr;
    QList<QButtonGroup *> radioGroups;
    QList<QWidget *> frames;
    QList<QWidget *> built;
    for (const auto &control : dialog.controls) {
        QWidget *widget = Create(control, host, factory);
        built.append(widget);
        if (control.style & kGroup)
            radioGroup = nullptr;
        if (auto *radio = qobject_cast<CAutoRadioButton *>(widget)) {
            if (!radioGroup) {
                radioGroup = new QButtonGroup(host);
                radioGroups.append(radioGroup);
                radioGroup->setExclusive(false);
            }
            radioGroup->addButton(radio);
        }
        if (control.kind == CtlKind::GroupBox)
            frames.append(widget);
    }
    for (QButtonGroup *group : radioGroups)
        KeepTabStops(group, host);
    // The dialog manager stacks the first control on top; frames stay behind what they surround.
    for (auto it = built.crbegin(); it != built.crend(); ++it)
        (*it)->raise();
    for (QWidget *frame : frames)
        frame->lower();
    for (QWidget *widget : built) {
        if (IsField(widget))
            NameField(widget, built);
    }
}

QWidget *CDialogItems::Create(const ControlTemplate &control, QWidget *host, const Factory &factory)
{
    QWidget *widget = factory ? factory(control, host) : nullptr;
    if (!widget)
        widget = MakeDefaultWidget(control, host);
    QRect rect = m_units.Rect(control.x, control.y, control.cx, control.cy);
    // A combo box's template height is that of its open list; closed it is as tall as it needs,
    // but no taller than an edit row of the template, where the next row starts.
    if (control.kind == CtlKind::ComboBox)
        rect.setHeight(std::min(widget->sizeHint().height(), m_units.Y(kComboRow)));
    // A one-line label is as tall as a line of its font, centred on its row: a CJK font's line is
    // taller than the character height the units come from.
    if (control.kind == CtlKind::Label && control.cy < kTwoLines && rect.height() < widget->fontMetrics().height()) {
        const int grow = widget->fontMetrics().height() - rect.height();
        rect.adjust(0, -grow / 2, 0, grow - grow / 2);
    }
    // A one-line label grows to its text where this font is wider than the template's.
    if (control.kind == CtlKind::Label && control.cy < kTwoLines && !(control.style & (kAlignCenter | kAlignRight)))
        rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    widget->setGeometry(rect);
    if (control.style & (kHidden | kDisabled))
        widget->setEnabled(false);
    if (control.style & kHidden)
        widget->setVisible(false);
    if (control.id != kNoId) {
        widget->setObjectName(QString::number(control.id));
        m_items.insert(control.id, widget);
    }
    return widget;
}

bool CDialogItems::IsDlgButtonChecked(int id) const
{
    const auto *button = Item<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialogItems::CheckDlgButton(int id, bool checked)
{
    if (auto *button = Item<QAbstractButton>(id))
        button->setChecked(checked);
}

std::string CDialogItems::GetDlgItemText(int id) const
{
    QWidget *widget = GetDlgItem(id);
    QString text;
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        text = edit->text();
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        text = combo->currentText();
    else if (auto *label = qobject_cast<QLabel *>(widget))
        text = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        text = button->text();
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        text = frame->title();
    return text.toStdString();
}

void CDialogItems::SetDlgItemText(int id, const std::string &utf8)
{
    QWidget *widget = GetDlgItem(id);
    const QString text = FromUtf8(utf8);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->setEditText(text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(widget))
        frame->setTitle(text);
}

int CDialogItems::GetCurSel(int id) const
{
    QWidget *widget = GetDlgItem(id);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *list = qobject_cast<QListWidget *>(widget))
        return list->currentRow();
    return -1;
}

void CDialogItems::SetCurSel(int id, int index)
{
    QWidget *widget = GetDlgItem(id);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        // Show the start of a text wider than the field, not its end.
        if (QLineEdit *edit = combo->lineEdit())
            edit->home(false);
    } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
        list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
    }
}

int CDialogItems::GetCount(int id) const
{
    QWidget *widget = GetDlgItem(id);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->count();
    if (auto *list = qobject_cast<QListWidget *>(widget))
        return list->count();
    return 0;
}

void CDialogItems::ResetContent(int id)
{
    QWidget *widget = GetDlgItem(id);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->clear();
        combo->clearEditText();
    } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
        list->clear();
    }
}

void CDialogItems::AddString(int id, const std::string &text)
{
    QWidget *widget = GetDlgItem(id);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        // Adding an item must not select it; the dialog manager leaves the selection alone.
        const int selected = combo->currentIndex();
        const QString edited = combo->currentText();
        combo->addItem(FromUtf8(text));
        if (combo->currentIndex() != selected) {
            combo->setCurrentIndex(selected);
            combo->setEditText(edited);
        }
    } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
        list->addItem(FromUtf8(text));
    }
}

void CDialogItems::EnableWindow(int id, bool enable)
{
    if (QWidget *widget = GetDlgItem(id))
        widget->setEnabled(enable);
}

bool CDialogItems::IsWindowEnabled(int id) const
{
    const QWidget *widget = GetDlgItem(id);
    return widget && widget->isEnabled();
}
