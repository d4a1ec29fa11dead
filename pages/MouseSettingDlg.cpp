#include "pages/MouseSettingDlg.h"

#include "pages/MouseAssignment.h"
#include "pages/MouseIds.h"
#include "resources/MouseTemplate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>

MouseSettingDlg *g_pMouseSettingDlg = nullptr;

namespace {
const MouseMove *MoveOfCountField(const CDialogItems &items, const QObject *watched)
{
    for (const MouseMove &move : kMouseMoves) {
        if (items.GetDlgItem(move.countField) == watched)
            return &move;
    }
    return nullptr;
}
} // namespace

MouseSettingDlg::MouseSettingDlg(QWidget *parent) : CPageDlg(MouseTemplate(), parent)
{
    for (const int radio : {MouseId::kMoveNone, MouseId::kWheelNone})
        connect(Items().Item<QAbstractButton>(radio), &QAbstractButton::clicked, this,
                [this, radio] { ClickMouseRadio(Items(), radio); });
    for (const MouseMove &move : kMouseMoves) {
        connect(Items().Item<QAbstractButton>(move.button), &QAbstractButton::clicked, this,
                [this, radio = move.button] { ClickMouseRadio(Items(), radio); });
        QWidget *field = Items().GetDlgItem(move.countField);
        field->installEventFilter(this);
        // No label stands beside a count field: it is named after its direction.
        field->setAccessibleName(Items().Item<QAbstractButton>(move.button)->text());
    }
    g_pMouseSettingDlg = this;
}

// The pages go with their window; the write-key operation must not reach one that has gone.
MouseSettingDlg::~MouseSettingDlg()
{
    if (g_pMouseSettingDlg == this)
        g_pMouseSettingDlg = nullptr;
}

const PageClass &MouseSettingDlg::Class()
{
    static const PageClass record{"MouseSettingDlg", MouseId::kTemplate,
                                  [](QWidget *parent) -> CPageDlg * { return new MouseSettingDlg(parent); }};
    return record;
}

std::string MouseSettingDlg::GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                              std::optional<UserText> &refusal)
{
    return GetMouseAssignment(Items(), value1, value2, refusal);
}

bool MouseSettingDlg::eventFilter(QObject *watched, QEvent *event)
{
    const MouseMove *move = MoveOfCountField(Items(), watched);
    if (!move)
        return CPageDlg::eventFilter(watched, event);
    if (IsTakeFieldEvent(event)) {
        auto *field = Items().Item<QLineEdit>(move->countField);
        field->setFocus(Qt::MouseFocusReason);
        field->end(false);
        ChooseMoveByCountField(Items(), *move);
        return true;
    }
    // The field never saw the press, so dragging on from it must not select either.
    if (event->type() == QEvent::MouseMove && (static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton))
        return true;
    return CPageDlg::eventFilter(watched, event);
}
