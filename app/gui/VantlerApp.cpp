// CVantlerApp: the start-up sequence, from the settings to the closing of the main window.
#include "app/gui/VantlerApp.h"

#include "core/OriginalsJournal.h"
#include "platform/Environment.h"
#include "settings/ProductSettings.h"
#include "settings/TextTable.h"
#include "ui/MainCaption.h"
#include "ui/ModeSelectDlg.h"
#include "ui/VantlerDlg.h"
#include "ui/Window.h"
#include "ui/WizardConfiguratorDlg.h"

#include <commctrl.h>

#include <algorithm>

CVantlerApp theApp;

BOOL CVantlerApp::InitInstance()
{
    g_productSettings.Load();
    g_textTable.Locate(g_productSettings.m_installDir);
    g_originalsJournal.UseDefaultPath();

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    // One instance: a window with our (possibly translated) title means the program already runs.
    std::string caption = LookUpMainCaption();
    if (HWND running = ::FindWindowW(nullptr, DisplayText(caption).c_str())) {
        ::ShowWindow(running, SW_RESTORE);
        ::SetForegroundWindow(running);
        return FALSE;
    }

    std::string commandLine = plat::CommandLineText();
    std::transform(commandLine.begin(), commandLine.end(), commandLine.begin(),
                   [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    BOOL install = commandLine.find("/install") != std::string::npos;
    BOOL uninstall = !install && commandLine.find("/uninstall") != std::string::npos;

    CModeSelectDlg modeSelect(nullptr);
    if (!install && !uninstall && modeSelect.DoModal() != IDOK)
        return FALSE;

    if (modeSelect.m_mode == CModeSelectDlg::MODE_STANDARD || uninstall) {
        CVantlerDlg dialog(nullptr);
        CDialog::SetMainWindow(&dialog);
        INT_PTR result = dialog.DoModal();
        if (uninstall)
            m_exitCode = static_cast<int>(result);
    } else {
        CWizardConfiguratorDlg dialog(nullptr);
        CDialog::SetMainWindow(&dialog);
        dialog.DoModal();
    }
    return FALSE;
}
