// AskUser without a responder shows a real message box: found, read and answered from another thread.
#include "Prompt.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct BoxVisit
{
    volatile LONG giveUp = 0;
    const char* caption = "";
    int button = IDCANCEL;
    std::string text = "<no box>";
    std::vector<int> buttons;
};

DWORD WINAPI AnswerBox(void* param)
{
    BoxVisit* visit = static_cast<BoxVisit*>(param);
    for (int attempt = 0; attempt < 400 && !visit->giveUp; ++attempt) {
        HWND box = FindWindowA("#32770", visit->caption);
        if (box && IsWindowVisible(box)) {
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            visit->text = text;
            for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
                if (GetDlgItem(box, id))
                    visit->buttons.push_back(id);
            }
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(visit->button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, visit->button)));
            return 0;
        }
        Sleep(25);
    }
    return 1;
}

// The program's one question: OK and Cancel; the button pressed is the one that is not the default.
TEST(RealMessageBox, AskUserShowsTheQuestionAndReturnsTheButtonPressed)
{
    plat::SetPromptResponder(nullptr, nullptr);
    BoxVisit visit;
    visit.caption = "Nimbrel contract question";
    visit.button = IDCANCEL;
    HANDLE thread = CreateThread(nullptr, 0, AnswerBox, &visit, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    const int answer = plat::AskUser(nullptr, "Please close Outlook Express before you go on.", visit.caption,
                                     MB_OKCANCEL | MB_ICONQUESTION);
    if (answer <= 0)
        InterlockedExchange(&visit.giveUp, 1);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 2;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    // No box could be shown: Wine without an X display. These cases run only under Xvfb.
    ASSERT_LT(0, answer) << "no display for a message box (MessageBoxA gave " << answer << ")";
    EXPECT_EQ(0u, code);
    EXPECT_EQ(IDCANCEL, answer);
    EXPECT_EQ("Please close Outlook Express before you go on.", visit.text);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), visit.buttons);
}

} // namespace
