// CDialog: template loading, the modal loop and the dialog procedure that feeds the message table.
#include "ui/Dialog.h"

#include <cstring>
#include <vector>

CDialog* CDialog::s_mainWindow = nullptr;

namespace {

// The template with WS_VISIBLE taken out: the modal loop shows the window itself once initialisation is over,
// so a dialog that ends during initialisation is never seen.
BOOL LoadHiddenTemplate(UINT templateId, std::vector<BYTE>& bytes)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    if (!resource)
        return FALSE;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    DWORD size = ::SizeofResource(instance, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size < sizeof(DLGTEMPLATE))
        return FALSE;
    bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    WORD signature = 0;
    std::memcpy(&signature, bytes.data() + 2, sizeof(signature));
    // An extended template keeps its style behind version, signature, help id and extended style.
    size_t styleOffset = signature == 0xFFFF ? 12 : 0;
    DWORD style = 0;
    std::memcpy(&style, bytes.data() + styleOffset, sizeof(style));
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(bytes.data() + styleOffset, &style, sizeof(style));
    return TRUE;
}

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
BOOL ReturnsDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    if (s_mainWindow == this)
        s_mainWindow = nullptr;
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal()
{
    std::vector<BYTE> dialogTemplate;
    if (!LoadHiddenTemplate(m_templateId, dialogTemplate))
        return -1;
    HWND owner = m_parent;
    if (!owner && s_mainWindow && s_mainWindow != this && s_mainWindow->m_hWnd)
        owner = s_mainWindow->m_hWnd;
    // While the dialog runs its owner takes no input, as with any modal window.
    BOOL ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);

    m_continueModal = TRUE;
    m_result = -1;
    HWND created = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                                reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                                owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (created && m_continueModal) {
        ::ShowWindow(created, SW_SHOWNORMAL);
        ::SetForegroundWindow(created);
        MSG msg;
        while (m_continueModal) {
            BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got < 0)
                break;
            if (!PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (created && ::IsWindow(created))
        ::DestroyWindow(created);
    m_hWnd = nullptr;
    return created ? m_result : -1;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_continueModal = FALSE;
    // Wakes the loop when the dialog ends from outside a message of its own.
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(m_hWnd, saveAndValidate);
    BOOL wasExchanging = m_exchanging;
    m_exchanging = TRUE;
    DoDataExchange(dx);
    m_exchanging = wasExchanging;
    return !dx.m_failed;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && IsCommandCode(wParam, lParam)) {
            OnOK();
            result = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL && IsCommandCode(wParam, lParam)) {
            OnCancel();
            result = 0;
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnCancel();
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        dialog->m_hWnd = hWnd;
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    LRESULT result = 0;
    if (!dialog->ProcessMessage(message, wParam, lParam, result))
        return FALSE;
    if (ReturnsDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
