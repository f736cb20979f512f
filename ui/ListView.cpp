// CListView: rows, columns, check states and sorting of a report-view list.
#include "ui/ListView.h"

#include "WideText.h"

#include <vector>

int CListView::InsertColumn(int index, const std::string& title, int width) const
{
    std::wstring wide = DisplayText(title);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = &wide[0];
    column.iSubItem = index;
    return static_cast<int>(Send(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

BOOL CListView::SetColumnTitle(int index, const std::string& title) const
{
    std::wstring wide = DisplayText(title);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = &wide[0];
    return Send(LVM_SETCOLUMNW, index, reinterpret_cast<LPARAM>(&column)) != 0;
}

int CListView::InsertItem(int row, const std::string& text, int image, LPARAM data) const
{
    std::wstring wide = DisplayText(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = &wide[0];
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListView::SetItemText(int row, int column, const std::string& text) const
{
    std::wstring wide = DisplayText(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &wide[0];
    return Send(LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListView::GetItemText(int row, int column) const
{
    std::vector<wchar_t> buffer(1024, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    int length = static_cast<int>(Send(LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    std::string text;
    if (length > 0 && !plat::ToUtf8(buffer.data(), static_cast<size_t>(length), text))
        text.clear();
    return text;
}

LPARAM CListView::GetItemData(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

BOOL CListView::GetCheck(int row) const
{
    UINT state = static_cast<UINT>(Send(LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void CListView::SetCheck(int row, BOOL checked) const
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    Send(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

HIMAGELIST CListView::SetSmallImageList(HIMAGELIST list) const
{
    return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list)));
}

BOOL CListView::SortItems(PFNLVCOMPARE compare, LPARAM parameter) const
{
    return Send(LVM_SORTITEMS, parameter, reinterpret_cast<LPARAM>(compare)) != 0;
}

void CListView::FitColumn(int index) const
{
    SetColumnWidth(index, LVSCW_AUTOSIZE);
    int width = GetColumnWidth(index);
    SetColumnWidth(index, LVSCW_AUTOSIZE_USEHEADER);
    if (GetColumnWidth(index) > width)
        width = GetColumnWidth(index);
    // The header text measured in the header's own font, with the room its dividers and padding take.
    HWND header = GetHeader();
    char title[256] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof(title);
    if (header && ::SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) {
        HDC dc = ::GetDC(header);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(header, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        ::GetTextExtentPoint32A(dc, title, lstrlenA(title), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(header, dc);
        if (extent.cx + 16 > width)
            width = extent.cx + 16;
    }
    SetColumnWidth(index, width);
}
