// Times CopySectionFiles against a bare LZOpenFileA/LZCopy/LZClose loop over
// the same compressed files, and prints both medians and their ratio.
//   copy_bench.exe FOLDER [ROUNDS]
// FOLDER holds bench1.dr_ ... bench8.dr_.
#include <windows.h>

#include <commctrl.h>
#include <lzexpand.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "install/copy_phase_win32.h"
#include "setupinfo/setup_state_win32.h"
#include "setupinfo/setup_vocabulary.h"

namespace {

const int kFiles = 8;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

void BareCopies(const std::string& source, const std::string& target) {
    for (int i = 1; i <= kFiles; i++) {
        std::string from = source + "\\bench" + std::to_string(i) + ".dr_";
        std::string to = target + "\\bench" + std::to_string(i) + ".drv";
        OFSTRUCT of1, of2;
        INT in = LZOpenFileA(&from[0], &of1, OF_READ | OF_SHARE_DENY_WRITE);
        INT out = LZOpenFileA(&to[0], &of2, OF_CREATE | OF_WRITE | OF_SHARE_EXCLUSIVE);
        LZCopy(in, out);
        LZClose(in);
        LZClose(out);
    }
}

void PhaseCopies(HWND page, const std::string& source, const std::string& target) {
    std::string text = "[SystemDir]\r\n";
    for (int i = 1; i <= kFiles; i++)
        text += "1,bench" + std::to_string(i) + ".dr_\r\n";
    text += "\x1A";
    SetupText setupText = {(unsigned char*)&text[0], (long)text.size()};
    long position = FindSection(setupText.bytes, setupText.length, "[SystemDir]", kSingleByteCodePage);
    static DiskLabels labels;  // no prompt comes: every file is in the folder
    CopySectionFiles(page, &setupText, position, &labels, source.c_str(), target.c_str());
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

HWND MakePage() {
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP, 0, 0, 460, 240, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (int id = IDC_SOURCE_STATUS; id <= IDC_TARGET_STATUS; id++)
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10,
                        10 + (id - IDC_SOURCE_STATUS) * 20, 440, 16,
                        page, (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
    gSetup.progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 200,
                                         275, 18, page, nullptr, GetModuleHandleA(nullptr), nullptr);
    return page;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: copy_bench FOLDER [ROUNDS]\n");
        return 2;
    }
    std::string source = argv[1];
    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 11;
    InitCommonControls();
    HWND page = MakePage();
    gSetup.expectedBytes = kFiles * 524288;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string target = std::string(temp) + "kelmo_copy_bench";
    CreateDirectoryA(target.c_str(), nullptr);

    std::vector<double> phase, bare;
    for (int round = 0; round <= rounds; round++) {
        // Alternate which goes first, so neither always meets the files the
        // other has just written.
        for (int turn = 0; turn < 2; turn++) {
            bool bareTurn = (turn == 0) == (round % 2 == 0);
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            if (bareTurn) {
                BareCopies(source, target);
            } else {
                gSetup.copiedBytes = 0;
                PhaseCopies(page, source, target);
            }
            QueryPerformanceCounter(&t1);
            if (round > 0)  // the first round warms the file cache
                (bareTurn ? bare : phase).push_back(Seconds(t0, t1));
        }
    }
    for (int i = 1; i <= kFiles; i++)
        DeleteFileA((target + "\\bench" + std::to_string(i) + ".drv").c_str());
    RemoveDirectoryA(target.c_str());
    DestroyWindow(page);

    double medianBare = Median(bare);
    double medianPhase = Median(phase);
    std::printf("files: %d, %d rounds, copied %ld bytes per round\n", kFiles, rounds,
                (long)gSetup.copiedBytes);
    std::printf("bare LZ loop    median %.2f ms\n", medianBare * 1000);
    std::printf("CopySectionFiles median %.2f ms\n", medianPhase * 1000);
    std::printf("phase overhead   %.3f ms per file\n", (medianPhase - medianBare) * 1000 / kFiles);
    std::printf("ratio %.3f (target <= 1.05)\n", medianPhase / medianBare);
    return 0;
}
