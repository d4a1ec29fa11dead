#pragma once

#include "common/DlgControls.h"
#include "resources/DialogTemplate.h"

#include <QFont>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QCheckBox>
#include <QRadioButton>

#include <functional>

class QWidget;

// An automatic radio button as the dialog manager knows it: a click checks it and clears every
// other radio of its group; clicking a checked one leaves it checked. Setting the check state in
// code touches only this button, so two radios of one group can be checked at once.
class CAutoRadioButton final : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override;
    // The whole rectangle takes the click, not only the indicator and the caption.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    // The arrow keys move the focus to the nearest radio of the group in their direction, and
    // choose nothing: Qt's own move takes only radios that are Tab stops in a group like these.
    void keyPressEvent(QKeyEvent *event) override;
};

// An automatic check box whose whole rectangle takes the click.
class CAutoCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

// Gives widget the look of the template's dialogs where it differs from the application style's.
void UseDialogStyle(QWidget *widget);

// The template as this run shows it: its title, captions and list items in the run's language;
// what the program sets later (header lines, key names, numbers) is data, shown as it is. A text
// marked in the dialog's own context, "Tavrin 131", takes that translation before the common one
// of "Tavrin": so a word can be translated in one sense on one page and in another elsewhere.
DialogTemplate TranslatedTemplate(const DialogTemplate &dialog);

// The font a template names, with fallbacks for systems that lack it.
QFont TemplateFont(const DialogTemplate &dialog);

// Dialog units to pixels: one horizontal unit is a quarter of the font's average character
// width, one vertical unit an eighth of its character height (its pixel size).
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont &font);
    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int cx, int cy) const;
    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

private:
    int m_nBaseX;
    int m_nBaseY;
};

// Builds the controls of a template into a host widget and reaches them by identifier. The Qt
// side of the dialog-controls seam.
class CDialogItems final : public IDlgControls {
public:
    // Makes a control the builder does not know itself (the tab host); returning nullptr lets
    // the builder make its default widget.
    using Factory = std::function<QWidget *(const ControlTemplate &, QWidget *parent)>;

    CDialogItems(const DialogTemplate &dialog, QWidget *host, const Factory &factory = {});

    QWidget *GetDlgItem(int id) const { return m_items.value(id, nullptr); }
    template <class T> T *Item(int id) const { return qobject_cast<T *>(GetDlgItem(id)); }
    const CDialogUnits &Units() const { return m_units; }

    bool IsDlgButtonChecked(int id) const override;
    void CheckDlgButton(int id, bool checked) override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, const std::string &text) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    int GetCount(int id) const override;
    void ResetContent(int id) override;
    void AddString(int id, const std::string &text) override;
    void EnableWindow(int id, bool enable) override;
    bool IsWindowEnabled(int id) const override;

private:
    QWidget *Create(const ControlTemplate &control, QWidget *host, const Factory &factory);

    CDialogUnits m_units;
    QHash<int, QWidget *> m_items;
};
