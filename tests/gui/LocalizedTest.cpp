// A translated "vantler.txt" replaces the captions, buttons, headers, menu items and messages of the dialogs.
#include "SampleUser.h"
#include "UserDriver.h"

#include "settings/TextTable.h"
#include "ui/VantlerDlg.h"
#include "ui/WizardConfiguratorDlg.h"

#include <gtest/gtest.h>

namespace {

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
            {"Main Dialog", "Close",
             "Schlie\xdf"
             "en"},
            {"Main Dialog", "Name", "Kontoname"},
            {"Main Dialog", "Yes", "Ja"},
            {"Main Dialog", "No", "Nein"},
            {"Main Dialog", "Details", "Konto: %s \x97 %s"},
            {"Main Dialog", "ActionHelp",
             "Konten markieren\\nund einen Knopf dr\xfc"
             "cken."},
            {"Menu", "File", "&Datei"},
            {"Menu", "SelAll", "&Alle markieren"},
            {"Wizard Configurator Dialog", "NextBtn", "Weiter"},
            {"Wizard Configurator Dialog", "PreviousBtn",
             "Zur\xfc"
             "ck"},
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
        HWND dlg = OpenedMainDialog(ui, kCaption,
                                    "Konten markieren \nund einen Knopf dr\xfc"
                                    "cken.");
        ASSERT_NE(nullptr, dlg);
        EXPECT_EQ(kCaption, gui::Text(dlg));
        EXPECT_EQ("Einrichten", gui::ItemText(dlg, IDC_CONFIGURE));
        EXPECT_EQ("Schlie\xdf"
                  "en",
                  gui::ItemText(dlg, IDOK));
        EXPECT_EQ("Unconfigure", gui::ItemText(dlg, IDC_UNCONFIGURE))
            << "a key the file lacks keeps its default";
        EXPECT_EQ("Konto:  \x97 ", gui::ItemText(dlg, IDC_DETAILS_GROUP));
        HWND list = ::GetDlgItem(dlg, IDC_ACCOUNT_LIST);
        EXPECT_EQ("Kontoname", gui::ColumnTitle(list, 0));
        EXPECT_EQ((std::vector<std::string>{"Old port", "bob@mail.example", "Ja", "Ja", "Nein"}),
                  gui::Row(list, 3));
        char text[64] = {};
        ::GetMenuStringA(::GetMenu(dlg), 0, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ("&Datei", text);
        ::GetMenuStringA(::GetMenu(dlg), ID_EDIT_SELECT_ALL, text, sizeof(text), MF_BYCOMMAND);
        EXPECT_STREQ("&Alle markieren\tCtrl+A", text);
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
        EXPECT_EQ("Weiter >>", gui::ItemText(dlg, IDC_NEXT));
        EXPECT_EQ("<< Zur\xfc"
                  "ck",
                  gui::ItemText(dlg, IDC_PREVIOUS));
        EXPECT_EQ("Konto \n1 von 7", gui::ItemText(dlg, IDC_ACCOUNT_OF));
        EXPECT_EQ("Noch nicht \x97 bereit", gui::ItemText(dlg, IDC_READY_TEXT));
        EXPECT_EQ("Close", gui::ItemText(dlg, IDC_WIZARD_CLOSE));
        EXPECT_EQ("%nanna@mail.example%", gui::ItemText(dlg, IDC_DETAILS_GROUP));
    });
}
