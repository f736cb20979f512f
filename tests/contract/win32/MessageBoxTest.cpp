// AskUser without a responder shows a real message box: found, read and answered from another thread.
#include "Prompt.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <tuple>
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

// Saves what the screen shows of a window as a 24-bit BMP file, so a person can look at it.
void SaveWindowPicture(HWND window, const char* path)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<char> pixels(static_cast<size_t>((width * 3 + 3) & ~3) * static_cast<size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof(file), &written, nullptr);
        WriteFile(out, &info, sizeof(info), &written, nullptr);
        WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
        CloseHandle(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

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
            if (const char* shot = getenv("NIMBREL_CONTRACT_SHOT")) {
                Sleep(300);
                SaveWindowPicture(box, shot);
            }
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(visit->button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, visit->button)));
            return 0;
        }
        Sleep(25);
    }
    return 1;
}

TEST(RealMessageBox, AskUserShowsTheQuestionAndReturnsTheButtonPressed)
{
    plat::SetPromptResponder(nullptr, nullptr);
    // Each row: the box's type, the button pressed, the buttons it must show.
    const std::tuple<UINT, int, std::vector<int>> rows[] = {
        {MB_YESNO | MB_ICONQUESTION, IDNO, {IDYES, IDNO}},
        {MB_OKCANCEL | MB_ICONWARNING, IDOK, {IDOK, IDCANCEL}},
    };
    for (const auto& [type, press, buttons] : rows) {
        BoxVisit visit;
        const std::string caption = "Nimbrel contract question " + std::to_string(press);
        visit.caption = caption.c_str();
        visit.button = press;
        HANDLE thread = CreateThread(nullptr, 0, AnswerBox, &visit, 0, nullptr);
        ASSERT_NE(nullptr, thread);
        int answer =
            plat::AskUser(nullptr, "Please close Outlook Express before you go on.", caption.c_str(), type);
        if (answer <= 0)
            InterlockedExchange(&visit.giveUp, 1);
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 2;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        // No box could be shown: Wine without an X display. These cases run only under Xvfb.
        ASSERT_LT(0, answer) << "no display for a message box (MessageBoxA gave " << answer << ")";
        EXPECT_EQ(0u, code) << caption;
        EXPECT_EQ(press, answer) << caption;
        EXPECT_EQ("Please close Outlook Express before you go on.", visit.text) << caption;
        EXPECT_EQ(buttons, visit.buttons) << caption;
    }
}

} // namespace
