// The picture control's animation, measured in the Windows tier's environment:
// the worker's CPU time per displayed frame, the whole process's share of one
// core, and how far each displayed frame's period lies from the GIF's delay.
// Usage: AnimationBench GIF FRAMES   (run under Wine with a display)
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PictureProbe.h"

namespace {

double Ms100ns(const FILETIME& a, const FILETIME& b)
{
    auto v = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(v(a) + v(b)) / 10000.0;
}

double ThreadCpuMs(HANDLE h)
{
    FILETIME c, e, k, u;
    return ::GetThreadTimes(h, &c, &e, &k, &u) ? Ms100ns(k, u) : 0;
}

double ProcessCpuMs()
{
    FILETIME c, e, k, u;
    return ::GetProcessTimes(::GetCurrentProcess(), &c, &e, &k, &u) ? Ms100ns(k, u) : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: AnimationBench GIF FRAMES\n");
        return 2;
    }
    const size_t nWanted = static_cast<size_t>(std::atoi(argv[2]));
    ::CoInitialize(nullptr);
    HWND hHost = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr, nullptr,
                                   nullptr, nullptr);
    HWND hStatic = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hHost, nullptr,
                                     nullptr, nullptr);
    PictureProbe picture;
    picture.SubclassWindow(hStatic);
    if (!picture.Load(std::wstring(argv[1], argv[1] + std::strlen(argv[1])).c_str()) || !picture.HasAnimation()) {
        std::fprintf(stderr, "%s: not an animation\n", argv[1]);
        return 1;
    }
    const DWORD nDelayMs = CAnimatedPicture::FrameWaitMs(picture.Frame(0).nDelayCs);
    picture.Draw();
    HANDLE hWorker = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), picture.Worker(), ::GetCurrentProcess(), &hWorker, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);

    // Frame changes as the screen gets them: the first paint of each frame.
    std::vector<double> shown;
    int nLast = -1;
    double cpu0 = 0, worker0 = 0, wall0 = 0;
    while (shown.size() < nWanted + 1) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        for (const auto& p : picture.m_paints) {
            if (p.nFrame == nLast) continue;
            nLast = p.nFrame;
            shown.push_back(p.ms);
            if (shown.size() == 1) {
                cpu0 = ProcessCpuMs();
                worker0 = ThreadCpuMs(hWorker);
                wall0 = PictureProbe::NowMs();
            }
        }
        picture.m_paints.clear();
    }
    const double cpu = ProcessCpuMs() - cpu0, worker = ThreadCpuMs(hWorker) - worker0;
    const double wall = PictureProbe::NowMs() - wall0;
    picture.Stop();
    ::CloseHandle(hWorker);

    double sum = 0, worst = 0;
    const size_t n = shown.size() - 1;
    for (size_t i = 0; i < n; ++i) {
        const double err = shown[i + 1] - shown[i] - nDelayMs;
        sum += err;
        worst = std::max(worst, std::fabs(err));
    }
    std::printf("%s: %zu frames of %lu ms over %.0f ms\n", argv[1], n, nDelayMs, wall);
    std::printf("  worker CPU per frame   %.3f ms\n", worker / n);
    std::printf("  process CPU            %.2f %% of one core\n", 100.0 * cpu / wall);
    std::printf("  frame period error     mean %+.2f ms, worst %.2f ms\n", sum / n, worst);
    ::DestroyWindow(hHost);
    ::CoUninitialize();
    return 0;
}
