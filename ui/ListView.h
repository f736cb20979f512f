// CListView: the report-view list control calls of the account list, through the ANSI messages.
#pragma once

#include "ui/Window.h"

#include <commctrl.h>

class CListView : public CWindow
{
public:
    int InsertColumn(int index, const std::string& title, int width) const;
    BOOL SetColumnTitle(int index, const std::string& title) const;
    void SetColumnWidth(int index, int width) const { Send(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)); }
    int GetColumnWidth(int index) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, index)); }
    // Wide enough for the longest cell and for the header text, whichever is wider.
    void FitColumn(int index) const;
    HWND GetHeader() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER)); }

    // Inserts a row with its label, image and item value; returns its index, -1 on failure.
    int InsertItem(int row, const std::string& text, int image, LPARAM data) const;
    BOOL SetItemText(int row, int column, const std::string& text) const;
    std::string GetItemText(int row, int column) const;
    LPARAM GetItemData(int row) const;
    int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    void DeleteAllItems() const { Send(LVM_DELETEALLITEMS); }

    // The row's check box, kept in its state image (1 unchecked, 2 checked).
    BOOL GetCheck(int row) const;
    void SetCheck(int row, BOOL checked) const;
    int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
    int GetSelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    int HitTest(LVHITTESTINFO& info) const { return static_cast<int>(Send(LVM_HITTEST, 0, (LPARAM)&info)); }

    void AddExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    HIMAGELIST SetSmallImageList(HIMAGELIST list) const;
    BOOL SortItems(PFNLVCOMPARE compare, LPARAM parameter) const;
};
