// A translated "vantler.txt" (Latin-1, written with octal escapes) replaces the captions, buttons, headers,
// menu items and messages of the dialogs.
#include "SampleUser.h"
#include "UserDriver.h"

#include "settings/TextTable.h"
#include "ui/VantlerDlg.h"
#include "ui/WizardConfiguratorDlg.h"

#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Texts;

const std::string kCaption = "Postkonten \x97 Einrichtung";

// Points the text table at a translation for one test and back at no file afterwards.
class CTranslation
{
public:
    CTranslation()
    {
        const std::string file = m_folder / "vantler.txt";
        const char* lines[][3] = {
            {"Main Dialog", "Caption", kCaption.c_str()},
            {"Main Dialog", "Configure", "Einrichten"},
            {"Main Dialog", "Close", "Schlie\337en"},
            {"Main Dialog", "Name", "Kontoname"},
            {"Main Dialog", "Yes", "Ja"},
            {"Main Dialog", "No", "Nein"},
            {"Main Dialog", "Details", "Konto: %s \x97 %s"},
            {"Main Dialog", "ActionHelp", "Konten markieren\\nund einen Knopf dr\374cken."},
            {"Menu", "File", "&Datei"},
            {"Menu", "SelAll", "&Alle markieren"},
            {"Wizard Configurator Dialog", "NextBtn", "Weiter"},
            {"Wizard Configurator Dialog", "PreviousBtn", "Zur\374ck"},
            {"Wizard Configurator Dialog", "AccOutOf", "Konto\\n%i von %i"},
            {"Wizard Configurator Dialog", "AccNotRdy", "Noch nicht \x97 bereit"},
            // A careless translation: placeholders that a printf-style format would read past its arguments.
            {"Wizard Configurator Dialog", "Details", "%n%s%s%s%%"},
        };
        for (const auto& line : lines)
            EXPECT_TRUE(::WritePrivateProfileStringA(line[0], line[1], line[2], file.c_str()));
        EXPECT_TRUE(g_textTable.Locate(m_folder.Path() + "\\"));
    }
    ~CTranslation() { g_textTable.Locate(m_empty.Path() + "\\"); }

private:
    CTestFolder m_folder;
    CTestFolder m_empty;
};

} // namespace

TEST(Translation, StandardDialogTakesItsTextsFromTheFile)
{
    CSampleUser user;
    CTranslation translation;
    CVantlerDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = OpenedMainDialog(ui, kCaption, "Konten markieren \nund einen Knopf dr\374cken.");
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ(kCaption, gui::Text(dlg));
        // Unconfigure: a key the file lacks keeps its default.
        EXPECT_EQ((Texts{"Einrichten", "Schlie\337en", "Unconfigure", "Konto:  \x97 "}),
                  gui::ItemTexts(dlg, {IDC_CONFIGURE, IDOK, IDC_UNCONFIGURE, IDC_DETAILS_GROUP}));
        HWND list = ::GetDlgItem(dlg, IDC_ACCOUNT_LIST);
        EXPECT_EQ("Kontoname", gui::ColumnTitle(list, 0));
        EXPECT_EQ((Texts{"Old port", "bob@mail.example", "Ja", "Ja", "Nein"}), gui::Row(list, 3));
        EXPECT_EQ("&Datei", gui::MenuText(dlg, 0, MF_BYPOSITION));
        EXPECT_EQ("&Alle markieren\tCtrl+A", gui::MenuText(dlg, ID_EDIT_SELECT_ALL, MF_BYCOMMAND));
        gui::ClickRow(list, 8);
        EXPECT_EQ("Konto: Outlook mail \x97 Outlook", gui::ItemText(dlg, IDC_DETAILS_GROUP));
    });
}

TEST(Translation, WizardTakesItsTextsFromTheFile)
{
    CSampleUser user;
    CTranslation translation;
    CWizardConfiguratorDlg dialog(nullptr);
    gui::RunWithUser(dialog, [&](DWORD ui) {
        HWND dlg = gui::WaitForDialog(ui, kCaption, false);
        ASSERT_NE(nullptr, dlg);
        // The placeholders of the careless translation stay as written where they would read past the
        // arguments.
        EXPECT_EQ((Texts{"Weiter >>", "<< Zur\374ck", "Konto \n1 von 7", "Noch nicht \x97 bereit", "Close",
                         "%nanna@mail.example%"}),
                  gui::ItemTexts(dlg, {IDC_NEXT, IDC_PREVIOUS, IDC_ACCOUNT_OF, IDC_READY_TEXT,
                                       IDC_WIZARD_CLOSE, IDC_DETAILS_GROUP}));
    });
}
