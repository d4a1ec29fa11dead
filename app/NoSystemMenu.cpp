// Where windows have no system menu a program may extend, the context menu alone carries the items.
#include "app/SystemMenu.h"

void CSystemMenu::Add(QWidget &, std::vector<SystemMenuItem>) {}

bool CSystemMenu::Handle(const QByteArray &, void *, qintptr *) const
{
    return false;
}
