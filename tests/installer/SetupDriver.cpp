// nimbrel-setup-driver: plays the user in the running installer and in the wizard it opens, by messages.
//   nimbrel-setup-driver page TEXT      waits for the installer's page that shows TEXT; prints its texts
//   nimbrel-setup-driver click BUTTON   presses the installer's button captioned BUTTON ("&" left out)
//   nimbrel-setup-driver wizard         waits for the configurator's wizard; prints its texts
//   nimbrel-setup-driver close-wizard   closes the wizard
//   nimbrel-setup-driver answer-until PAGE TITLE
//                                       answers Yes (or OK) to every message box whose title starts with
//                                       TITLE until the installer's page that shows PAGE comes; prints each
//                                       box's text
// Exit code 0 when it was done, 1 when the window or text did not come within 60 s.
#include "tests/gui/UserDriver.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The installer's and the uninstaller's titles start so (the Wine desktop's is "Nimbrel - Wine desktop").
const char* const kSetupTitles[] = {"Nimbrel Setup", "Nimbrel Uninstall"};
const char kWizardTitle[] = "E-mail accounts configurator";
const int kTimeoutMs = 60000;

std::string WithoutAmpersands(std::string text)
{
    std::string plain;
    for (char c : text) {
        if (c != '&')
            plain += c;
    }
    return plain;
}

// Every visible descendant of window, in the order the system lists them.
std::vector<HWND> VisibleChildren(HWND window)
{
    std::vector<HWND> children;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM list) -> BOOL {
            if (::IsWindowVisible(child))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// The installer's window: its title gets each page's subcaption after "Nimbrel Setup" (a space, here), or
// "Nimbrel Uninstall".
HWND FindSetup()
{
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND window, LPARAM result) -> BOOL {
            std::string title = ::IsWindowVisible(window) ? gui::Text(window) : std::string();
            for (const char* start : kSetupTitles) {
                if (title.rfind(start, 0) == 0) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

BOOL ShowsText(HWND window, const std::string& text)
{
    for (HWND child : VisibleChildren(window)) {
        if (WithoutAmpersands(gui::Text(child)).find(text) != std::string::npos)
            return TRUE;
    }
    return FALSE;
}

void PrintTexts(HWND window)
{
    std::printf("%s\n", gui::Text(window).c_str());
    for (HWND child : VisibleChildren(window)) {
        std::string text = gui::Text(child);
        if (!text.empty())
            std::printf("%s\n", text.c_str());
    }
}

int OnPage(const std::string& text)
{
    HWND setup = nullptr;
    BOOL shown = gui::WaitUntil([&] { return (setup = FindSetup()) != nullptr && ShowsText(setup, text); },
                                kTimeoutMs);
    if (!shown)
        return 1;
    // Drawn before the caller takes its picture.
    gui::Sync(setup);
    PrintTexts(setup);
    return 0;
}

int OnClick(const std::string& caption)
{
    HWND button = nullptr;
    gui::WaitUntil(
        [&] {
            HWND setup = FindSetup();
            for (HWND child : setup ? VisibleChildren(setup) : std::vector<HWND>()) {
                if (::IsWindowEnabled(child) && WithoutAmpersands(gui::Text(child)) == caption)
                    button = child;
            }
            return button != nullptr;
        },
        kTimeoutMs);
    if (!button)
        return 1;
    // As the button tells its dialog when it is clicked; a BM_CLICK would need the window in front.
    ::PostMessageA(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    return 0;
}

HWND FindMessageBox(const std::string& titleStart)
{
    std::pair<HWND, const std::string*> search(nullptr, &titleStart);
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* search = reinterpret_cast<std::pair<HWND, const std::string*>*>(parameter);
            if (::IsWindowVisible(window) && gui::IsMessageBox(window) &&
                gui::Text(window).rfind(*search->second, 0) == 0) {
                search->first = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.first;
}

int OnAnswerUntil(const std::string& pageText, const std::string& titleStart)
{
    for (int answered = 0;; ++answered) {
        HWND box = nullptr, setup = nullptr;
        BOOL came = gui::WaitUntil(
            [&] {
                box = FindMessageBox(titleStart);
                setup = FindSetup();
                return box != nullptr || (setup && ShowsText(setup, pageText)) || (!setup && answered > 0);
            },
            kTimeoutMs);
        if (!came)
            return 1;
        if (!box && !setup) {
            std::printf("(the installer ended)\n");
            return 0;
        }
        if (!box) {
            gui::Sync(setup);
            PrintTexts(setup);
            return 0;
        }
        std::printf("%s: %s\n", gui::Text(box).c_str(), gui::MessageText(box).c_str());
        if (!gui::Answer(box, ::GetDlgItem(box, IDYES) ? IDYES : IDOK))
            return 1;
        // The box is gone before the next look, so that it is not answered twice.
        gui::WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5000);
    }
}

HWND FindWizard()
{
    HWND wizard = nullptr;
    gui::WaitUntil(
        [&] {
            wizard = ::FindWindowA(nullptr, kWizardTitle);
            return wizard && ::IsWindowVisible(wizard) && ::GetDlgItem(wizard, IDC_NEXT);
        },
        kTimeoutMs);
    return wizard && ::GetDlgItem(wizard, IDC_NEXT) ? wizard : nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    std::string argument = argc > 2 ? argv[2] : "";
    if (command == "page" && argc == 3)
        return OnPage(argument);
    if (command == "click" && argc == 3)
        return OnClick(argument);
    if (command == "answer-until" && argc == 4)
        return OnAnswerUntil(argument, argv[3]);
    if (command == "wizard" || command == "close-wizard") {
        HWND wizard = FindWizard();
        if (!wizard)
            return 1;
        gui::Sync(wizard);
        if (command == "close-wizard")
            ::PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
        else
            PrintTexts(wizard);
        return 0;
    }
    std::fprintf(stderr, "usage: nimbrel-setup-driver page TEXT | click BUTTON | wizard | close-wizard | "
                         "answer-until PAGE TITLE\n");
    return 2;
}
