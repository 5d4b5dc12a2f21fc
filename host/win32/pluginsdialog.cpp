#include "pluginsdialog.h"

#include "mainframe.h"
#include "resourceids.h"

#include <commctrl.h>

#include <string>

void PluginsDialog::exec()
{
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PLUGINS), m_frame.handle(),
                    &PluginsDialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK PluginsDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *self = reinterpret_cast<PluginsDialog *>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->m_dialog = dialog;
        const HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        const struct
        {
            const wchar_t *title;
            int width;
        } columns[] = {{L"Plug-in", 150}, {L"Version", 60}, {L"File", 250}};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<wchar_t *>(columns[i].title);
            column.cx = columns[i].width;
            SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column));
        }
        self->fill();
        return TRUE;
    }
    auto *self = reinterpret_cast<PluginsDialog *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self || message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_UNINSTALL: {
        const auto selected = int(SendMessageW(GetDlgItem(dialog, IDC_PLUGIN_LIST), LVM_GETNEXTITEM,
                                               WPARAM(-1), LVNI_SELECTED));
        if (selected >= 0 && self->m_frame.uninstallPlugin(std::size_t(selected)))
            self->fill();
        return TRUE;
    }
    case IDCANCEL:
    case IDOK:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void PluginsDialog::fill()
{
    const HWND list = GetDlgItem(m_dialog, IDC_PLUGIN_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const MainFrame::InstalledPlugin &plugin : m_frame.plugins()) {
        std::wstring texts[] = {plugin.library->menuText(),
                                plugin.library->version(m_frame.view().handle()),
                                plugin.library->path()};
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = texts[0].data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            item.iSubItem = column;
            item.pszText = texts[column].data();
            SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        }
        ++row;
    }
    if (row > 0) {
        LVITEMW first = {};
        first.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        first.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    }
    EnableWindow(GetDlgItem(m_dialog, IDC_UNINSTALL), row > 0);
}
