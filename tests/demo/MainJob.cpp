// The system's main job, as an author and a user do it: the maker lists a
// sample InstallData and writes the package through its dialog, a
// distribution folder is assembled, the installer runs through its pages to
// Finish, a second run is cancelled, and every window is photographed.
//   main_job <sample InstallData> <output folder>
#include "tests/support/TestHttpServer.h"

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/BmpBuilder.h"
#include "tests/support/GuiRig.h"
#include "tests/support/MakerRig.h"
#include "tests/support/WineTestUtil.h"

using guirig::CGuiRig;

namespace {

const DWORD kWindowTimeout = 60000;
const DWORD kInstallTimeout = 300000;
const char kAppName[] = "サンプル ツール 1.0";
const char kFinishedText[] = "ウィザードはプログラムを正常にインストールしました。";
const char kInterruptedText[] = "ウィザードはプログラムのインストールを完了する前に中断されました。";

std::string g_Shots;

bool Fail(const char *what)
{
    std::fprintf(stderr, "main job: %s\n", what);
    return false;
}

// Saves the window's part of the screen as <name>.bmp in the shots folder.
bool Photograph(HWND window, const char *name)
{
    Sleep(300);
    guirig::Screenshot screen;
    if (!window || !guirig::CaptureScreen(&screen))
        return Fail("no screenshot");
    RECT r = CGuiRig::WindowRect(window);
    r.left = r.left < 0 ? 0 : r.left;
    r.top = r.top < 0 ? 0 : r.top;
    r.right = r.right > screen.width ? screen.width : r.right;
    r.bottom = r.bottom > screen.height ? screen.height : r.bottom;
    guirig::Screenshot part;
    part.width = r.right - r.left;
    part.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.pixels.push_back(screen.At(x, y));
    std::printf("  screenshot %s\n", name);
    return guirig::SaveBmp(part, g_Shots + "\\" + name + ".bmp");
}

// Five page pictures: a tall one for the welcome, interrupted and finished
// pages and a banner for the folder and progress pages.
std::vector<std::string> MakePictures(const std::string &folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    bmptest::BmpKind kind = {"24", 40, 24, bmptest::kRgb, false, 0, {0, 0, 0}};
    const bmptest::Rgb sky = {70, 130, 200}, leaf = {60, 160, 90}, sun = {240, 200, 60}, dusk = {200, 90, 80};
    const bmptest::Picture pictures[5] = {
        bmptest::Quarters(160, 300, sky, leaf, sun, sky),
        bmptest::Quarters(160, 300, dusk, sky, dusk, leaf),
        bmptest::Quarters(500, 60, sky, sun, leaf, sky),
        bmptest::Quarters(500, 60, leaf, sky, sun, leaf),
        bmptest::Quarters(160, 300, sun, leaf, sky, sun),
    };
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(folder + "\\page" + std::to_string(i + 1) + ".bmp");
        wtest::WriteWholeFile(paths.back(), bmptest::MakeBmp(pictures[i], kind));
    }
    return paths;
}

bool MakePackage(const std::string &build, const std::vector<std::string> &pictures)
{
    makertest::MakerProcess maker;
    if (!maker.Start(build))
        return Fail("the maker's dialog did not come up");
    maker.SetText(1001, kAppName);
    const int fields[5] = {1002, 1005, 1006, 1007, 1008};
    for (int i = 0; i < 5; ++i)
        maker.SetText(fields[i], pictures[static_cast<size_t>(i)]);
    Photograph(maker.Dialog(), "1-maker");
    makertest::ClickResult click = maker.Click(1014);
    if (!click.handled)
        return Fail(("Create was answered by: " + click.box.text).c_str());
    DWORD code = 0;
    maker.Close(&code);
    return true;
}

HWND WaitForPageWithText(CGuiRig &rig, const char *text, DWORD timeout)
{
    HWND page = nullptr;
    guirig::WaitUntil(
        [&] {
            page = rig.FindWindowMatching([text](HWND w) { return CGuiRig::HasChildText(w, text); });
            return page != nullptr;
        },
        timeout);
    return page;
}

// Through the welcome and folder pages into the progress page.
HWND StartInstall(CGuiRig &rig, const std::string &dist, const std::string &target, bool photograph)
{
    if (!rig.Start(dist + "\\Parvelo.exe", "", dist))
        return nullptr;
    HWND welcome = rig.WaitForWindowWithControls({1001, 1002, 1004, 1008}, kWindowTimeout);
    if (!welcome)
        return nullptr;
    if (photograph)
        Photograph(welcome, "2-welcome");
    CGuiRig::Click(welcome, 1002);
    HWND folder = rig.WaitForWindowWithControls({1011, 1013}, kWindowTimeout);
    if (!folder)
        return nullptr;
    CGuiRig::SetControlText(folder, 1013, target);
    if (photograph)
        Photograph(folder, "3-folder");
    CGuiRig::Click(folder, 1011);
    // The new folder is made once the user agrees.
    wtest::MessageBoxInfo box;
    if (rig.WaitForMessageBox(&box, kWindowTimeout))
        wtest::AnswerMessageBox(box.hwnd, IDOK);
    return rig.WaitForWindowWithControls({1005, 1014, 1015}, kWindowTimeout);
}

bool InstallToFinish(const std::string &dist, const std::string &target)
{
    CGuiRig rig;
    HWND progress = StartInstall(rig, dist, target, true);
    if (!progress)
        return Fail("the progress page did not come up");
    // Photographed while the slow download is on its way.
    guirig::WaitUntil([&] { return CGuiRig::ControlText(progress, 1015).find("http://") == 0; }, kInstallTimeout);
    Sleep(1000);
    if (!IsWindowVisible(progress))
        return Fail("the download ended before the progress page was photographed");
    Photograph(progress, "4-progress");
    HWND finished = WaitForPageWithText(rig, kFinishedText, kInstallTimeout);
    if (!finished)
        return Fail("the finished page did not come up");
    Photograph(finished, "5-finished");
    CGuiRig::Click(finished, 1002);
    // Finish runs the post-install list, which asks first.
    wtest::MessageBoxInfo box;
    if (!rig.WaitForMessageBox(&box, kWindowTimeout))
        return Fail("the post-install question did not come");
    Photograph(box.hwnd, "7-postinstall");
    wtest::AnswerMessageBox(box.hwnd, IDOK);
    DWORD code = 1;
    return rig.WaitForExit(kWindowTimeout, &code) || Fail("the installer did not end");
}

bool InstallAndCancel(const std::string &dist, const std::string &target)
{
    CGuiRig rig;
    HWND progress = StartInstall(rig, dist, target, false);
    if (!progress)
        return Fail("the progress page did not come up");
    CGuiRig::Click(progress, 1002);
    HWND interrupted = WaitForPageWithText(rig, kInterruptedText, kWindowTimeout);
    if (!interrupted)
        return Fail("the interrupted page did not come up");
    Photograph(interrupted, "6-interrupted");
    CGuiRig::Click(interrupted, 1002);
    DWORD code = 1;
    return rig.WaitForExit(kWindowTimeout, &code) || Fail("the installer did not end");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: main_job <sample InstallData> <output folder>\n");
        return 2;
    }
    std::string sample = wtest::HostToWindowsPath(argv[1]);
    std::string out = wtest::HostToWindowsPath(argv[2]);
    std::string build = out + "\\build";
    std::string dist = out + "\\dist";
    g_Shots = out + "\\screenshots";
    for (const std::string &folder : {out, build, g_Shots})
        CreateDirectoryA(folder.c_str(), nullptr);

    // A manual to download at installation time, sent slowly enough for the
    // progress page to be seen.
    CTestHttpServer server;
    if (!server.Start())
        return Fail("no HTTP server"), 1;
    std::string manual;
    for (int i = 0; manual.size() < 1200000; ++i)
        manual += "Parvelo sample manual, line " + std::to_string(i) + "\r\n";
    server.AddFile("/sample/manual.txt", manual, CTestHttpServer::kSlow);
    server.SetSlowPace(16384, 100);

    std::printf("Author: building a package from %s\n", argv[1]);
    wtest::CopyTree(sample, build + "\\InstallData");
    CreateDirectoryA((build + "\\InstallData\\logs").c_str(), nullptr);
    wtest::WriteWholeFile(build + "\\InstallData\\docs\\manual.url",
                          "[InternetShortcut]\r\nURL=" + server.Url("/sample/manual.txt") + "\r\n");
    std::vector<std::string> pictures = MakePictures(out + "\\pictures");
    if (!MakePackage(build, pictures))
        return 1;

    wtest::CopyTree(build + "\\InstallData", dist);
    DeleteFileA((dist + "\\docs\\manual.url").c_str());
    for (const char *name : {"ParveloInfo.txt", "DialogBmp.pak", "Parvelo.txt"})
        CopyFileA((build + "\\" + name).c_str(), (dist + "\\" + name).c_str(), FALSE);
    CopyFileA(wtest::HostToWindowsPath(PARVELO_EXE).c_str(), (dist + "\\Parvelo.exe").c_str(), FALSE);
    // A post-install list the author writes by hand: one harmless program
    // of the system's own.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    wtest::WriteWholeFile(dist + "\\ParveloAfter.txt",
                          std::string(system) + "\\hostname.exe\tサンプル ツールの設定\r\n");

    std::printf("User: installing from %s\n", dist.c_str());
    if (!InstallToFinish(dist, out + "\\installed\\"))
        return 1;
    std::printf("User: a second run, cancelled on the progress page\n");
    if (!InstallAndCancel(dist, out + "\\cancelled\\"))
        return 1;
    server.Stop();

    std::printf("\nPackage:      %s\\ParveloInfo.txt, DialogBmp.pak, Parvelo.txt\n", build.c_str());
    std::printf("Distribution: %s\n", dist.c_str());
    std::printf("Installed:    %s\\installed\n", out.c_str());
    for (const std::string &item : wtest::ListTree(out + "\\installed"))
        std::printf("              %s\n", item.c_str());
    return 0;
}
