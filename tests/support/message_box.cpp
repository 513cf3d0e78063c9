#include "message_box.h"

// A message box's text control; its icon control has one id on Windows and
// another under Wine.
static const int kBoxTextId = 0xFFFF;
static const int kBoxIconIds[] = {0x14, 0x440};
// Another process may hang; a read of its window gives up after this.
static const UINT kReadLimitMs = 2000;

// The buttons the program's boxes have; another kind reads as no box at all.
static const struct { int id; const char* name; } kBoxButtons[] = {{IDOK, "ok"},
                                                                   {IDCANCEL, "cancel"}};

std::string WindowText(HWND window) {
    char text[2048] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG,
                        kReadLimitMs, &ignored);
    text[sizeof text - 1] = '\0';
    return text;
}

bool ControlUsable(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

static bool BoxHasIcon(HWND box) {
    DWORD_PTR icon = 0;
    for (int id : kBoxIconIds) {
        HWND control = GetDlgItem(box, id);
        if (control && IsWindowVisible(control))
            SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kReadLimitMs, &icon);
    }
    return icon != 0;
}

bool ReadMessageBox(HWND box, MessageBoxView* view) {
    view->buttons.clear();
    for (const auto& button : kBoxButtons) {
        if (ControlUsable(box, button.id))
            view->buttons.push_back(button.name);
    }
    HWND text = GetDlgItem(box, kBoxTextId);
    if (!text || view->buttons.empty())
        return false;
    view->caption = WindowText(box);
    view->text = WindowText(text);
    view->icon = BoxHasIcon(box);
    return true;
}

int BoxButtonId(const std::string& name) {
    for (const auto& button : kBoxButtons) {
        if (name == button.name)
            return button.id;
    }
    return IDOK;
}

void PressBoxButton(HWND box, int id) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
}
