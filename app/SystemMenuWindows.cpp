#include "app/SystemMenu.h"

#include <QWidget>

#include <windows.h>

void CSystemMenu::Add(QWidget &window, std::vector<SystemMenuItem> items)
{
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const SystemMenuItem &item : items)
        AppendMenuW(menu, MF_STRING, item.id, reinterpret_cast<LPCWSTR>(item.text.utf16()));
    m_items = std::move(items);
}

bool CSystemMenu::Handle(const QByteArray &, void *message, qintptr *result) const
{
    const auto *msg = static_cast<const MSG *>(message);
    if (msg->message != WM_SYSCOMMAND)
        return false;
    // The system uses the low four bits of the command.
    const auto command = static_cast<int>(msg->wParam & 0xFFF0);
    for (const SystemMenuItem &item : m_items) {
        if (item.id == command) {
            item.choose();
            *result = 0;
            return true;
        }
    }
    return false;
}
