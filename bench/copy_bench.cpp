// Copying the used files under Wine, as the program does it: every media file below SOURCE is
// copied into TARGET (which must not exist yet) through the copy subsystem, with the window's
// messages taken between the pieces as during the program's copy, once Wine's start-up is over.
// A second thread sends the window a message every few milliseconds and keeps the longest wait
// for its answer.
//
//   copy_bench.exe SOURCE TARGET
//
// Prints the bytes, the time, the throughput, and the longest wait.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "copy/file_copy.h"
#include "platform/platform.h"

using namespace spurlese;
using Clock = std::chrono::steady_clock;

namespace {

void ListFiles(const std::wstring& folder, std::vector<std::u16string>* files) {
    WIN32_FIND_DATAW found;
    HANDLE listing = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files->push_back(std::u16string(path.begin(), path.end()));
        } else if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
            ListFiles(path, files);
        }
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
}

// What the program's loop does between the pieces of a copy: take every waiting message.
void TakeMessages() {
    platform::Event event;
    while (platform::PollEvent(&event)) {
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_bench SOURCE TARGET\n");
        return 2;
    }
    const std::wstring source = argv[1], target = argv[2];
    std::vector<std::u16string> files;
    ListFiles(source, &files);
    if (!CreateDirectoryW(target.c_str(), nullptr)) {
        std::fprintf(stderr, "copy_bench: cannot make the target folder\n");
        return 1;
    }
    HWND window = CreateWindowW(L"STATIC", L"copy_bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    // In the program a copy starts long after Wine's own processes (services, the desktop) have
    // started; they take the processors for the first seconds of a session.
    for (const auto rested = Clock::now() + std::chrono::seconds(4); Clock::now() < rested;) {
        TakeMessages();
        Sleep(10);
    }

    std::atomic<bool> copying{true}, probeDone{false};
    double longestWait = 0;
    std::thread probe([&] {
        while (copying) {
            const auto sent = Clock::now();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
            longestWait = std::max(
                longestWait, std::chrono::duration<double>(Clock::now() - sent).count() * 1000);
            Sleep(5);
        }
        probeDone = true;
    });

    const auto start = Clock::now();
    const copying::CopyPlan plan =
        copying::PlanCopy(files, std::u16string(source.begin(), source.end()),
                          std::u16string(target.begin(), target.end()));
    copying::CopyObserver observer;
    observer.progress = [](int64_t, int64_t) { TakeMessages(); };
    observer.fileDone = [](const copying::CopySource&, const copying::FileOutcome&) {
        TakeMessages();
        return true;
    };
    const copying::CopySummary summary = copying::RunCopy(plan, observer);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // The probe may be waiting for this thread's answer: answer until it has seen the end.
    copying = false;
    while (!probeDone) {
        TakeMessages();
        Sleep(1);
    }
    probe.join();
    DestroyWindow(window);
    std::printf(
        "copy %lld files, %.1f MB in %.3f s, %.0f MB/s, %lld failed, longest wait for a "
        "message %.0f ms\n",
        static_cast<long long>(summary.copied), summary.bytes / 1e6, seconds,
        summary.bytes / 1e6 / seconds, static_cast<long long>(summary.failed), longestWait);
    return summary.failed == 0 && summary.copied == static_cast<int64_t>(files.size()) ? 0 : 1;
}
