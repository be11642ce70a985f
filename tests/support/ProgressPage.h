// A hidden window with the progress page's controls (bar 1005, fields 1014
// and 1015), run by a thread of its own that pumps its messages and records
// what the install worker sends it.
#ifndef PARVELO_TESTS_SUPPORT_PROGRESSPAGE_H
#define PARVELO_TESTS_SUPPORT_PROGRESSPAGE_H

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ProgressPage {
public:
    ProgressPage();
    ~ProgressPage();
    ProgressPage(const ProgressPage &) = delete;
    ProgressPage &operator=(const ProgressPage &) = delete;

    HWND Window();
    int Position();
    std::string Text(int id);

    // Called on the page's thread when the bar moves or the destination
    // field changes; a test uses them to abort at a chosen point.
    std::function<void(int)> onPosition;
    std::function<void(const std::string &)> onDest;

    std::atomic<int> finished{0};
    std::atomic<int> failed{0};
    std::atomic<int> positionMessages{0};
    std::atomic<int> rangeMax{0};
    std::mutex shownMutex;
    std::vector<std::string> shownSources;
    std::vector<std::string> shownDests;

private:
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTextChange(int id);
    void Run();

    std::thread m_Thread;
    std::mutex m_Mutex;
    std::condition_variable m_Ready;
    HWND m_hWnd = nullptr;
    WNDPROC m_BarProc = nullptr;
};

#endif
