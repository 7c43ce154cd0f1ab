// paint_bench: what one paint of the table window costs, on the real window
// under the window host: a tile raised and lowered, the countdown digit
// changing, a discard laid, and the whole window repainted. Prints the window
// thread's CPU time and the wall time per paint, and each case against the
// whole repaint (the median of ten batches for wall time), with what an empty
// paint costs and what the drawing alone costs. Run by hand (built with -DMJ_BENCH=ON):
//   . scripts/wine-env.sh build/win && wine build/win/paint_bench.exe [rounds]; mj_wine_stop
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "shot_support/hand_moves.h"
#include "shot_support/shot_table.h"

namespace {

double threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

double wallMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

struct Result {
    double cpuMs = 0, wallMs = 0;
    int paints = 0, empty = 0;
    // Wall time per paint of each batch: the machine is shared, so the
    // median batch tells more than the mean.
    std::vector<double> batchWall;
    void add(const Result& o) {
        cpuMs += o.cpuMs;
        wallMs += o.wallMs;
        paints += o.paints;
        empty += o.empty;
    }
    [[nodiscard]] double medianWall() const {
        if (batchWall.empty()) return wallMs / std::max(1, paints);
        std::vector<double> v = batchWall;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

// Runs `change` then one paint, `rounds` times; only the paints are timed.
// The thread's CPU clock ticks coarsely under Wine, so CPU time is summed over
// all rounds before it is divided.
Result measure(HWND h, int rounds, const std::function<void(int)>& change) {
    Result r;
    for (int i = 0; i < rounds; ++i) {
        change(i);
        if (!GetUpdateRect(h, nullptr, FALSE)) ++r.empty;
        const double c0 = threadCpuMs(), w0 = wallMs();
        UpdateWindow(h);
        r.wallMs += wallMs() - w0;
        r.cpuMs += threadCpuMs() - c0;
        ++r.paints;
    }
    return r;
}

// The same in ten batches, for the median.
Result measureBatches(HWND h, int rounds, const std::function<void(int)>& change) {
    Result all;
    const int per = std::max(1, rounds / 10);
    for (int b = 0; b < 10; ++b) {
        const Result one = measure(h, per, [&](int i) { change(b * per + i); });
        all.add(one);
        all.batchWall.push_back(one.wallMs / one.paints);
    }
    return all;
}

void report(const char* what, const Result& r, const Result& whole) {
    const double cpu = r.cpuMs / r.paints, wall = r.medianWall();
    const double wholeCpu = whole.cpuMs / whole.paints, wholeWall = whole.medianWall();
    std::printf("%-26s %6d paints  cpu %7.3f ms  wall %7.3f ms  (of a whole repaint: cpu %5.1f %%, wall %5.1f %%)%s\n",
                what, r.paints, cpu, wall, 100.0 * cpu / wholeCpu, 100.0 * wall / wholeWall,
                r.empty ? "  [some changes left nothing to paint]" : "");
}

// The window procedure of the host, while an empty paint stands in for it.
WNDPROC hostProc = nullptr;

LRESULT CALLBACK emptyPaint(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    }
    return CallWindowProcW(hostProc, h, msg, w, l);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    mj::shots::ShotTable shot(1024, 768);
    shot.layWall();
    mj::shots::HandMoves m(shot);
    HWND h = m.show();
    if (!h) {
        std::fprintf(stderr, "paint_bench: no window\n");
        return 1;
    }
    m.deal();
    m.countdown(8);
    m.paint();
    RECT cr;
    GetClientRect(h, &cr);
    std::printf("window %ldx%ld, %d rounds per case\n", cr.right, cr.bottom, rounds);

    const Result whole = measureBatches(h, std::max(10, rounds / 10), [&](int) { InvalidateRect(h, nullptr, FALSE); });
    // Up, then down: two paints a round.
    const Result tile = measureBatches(h, rounds, [&](int i) { m.raise(5, i % 2 == 0); });
    const Result digit = measureBatches(h, rounds, [&](int i) { m.countdown(8 - i % 9); });
    // Laid from the hand, then (untimed) taken back for the next round.
    Result discard;
    for (int b = 0; b < 10; ++b) {
        Result batch;
        for (int i = 0; i < std::max(1, rounds / 10); ++i) {
            batch.add(measure(h, 1, [&](int) { m.discard(13, i % 20); }));
            m.deal();
            m.paint();
        }
        discard.add(batch);
        discard.batchWall.push_back(batch.wallMs / batch.paints);
    }
    // What Wine's paint machinery costs by itself: a paint that draws
    // nothing, for a tile-sized rectangle.
    hostProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&emptyPaint)));
    const Result empty = measureBatches(h, rounds, [&](int) {
        const RECT r{100, 100, 130, 140};
        InvalidateRect(h, &r, FALSE);
    });
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hostProc));

    // The drawing alone, into a buffer of its own: what a paint costs
    // without the window's share (update region, copy to the screen).
    mj::platform::win32::BackBuffer alone;
    alone.resize(cr.right, cr.bottom);
    alone.paintAll(shot.client.mainForm);
    auto drawOnly = [&](const mj::ui::PixelRect& p, int n) {
        Result r;
        const double c0 = threadCpuMs(), w0 = wallMs();
        for (int i = 0; i < n; ++i) alone.paint(shot.client.mainForm, {RECT{p.left, p.top, p.right, p.bottom}});
        r.cpuMs = threadCpuMs() - c0;
        r.wallMs = wallMs() - w0;
        r.paints = n;
        return r;
    };
    const Result wholeDrawn = drawOnly({0, 0, cr.right, cr.bottom}, std::max(10, rounds / 10));
    const Result tileDrawn = drawOnly(mj::table::tileControl(shot.client, 5)->paintedRect(), rounds);
    const Result digitDrawn = drawOnly(shot.client.number->paintedRect(), rounds);

    report("whole window", whole, whole);
    report("one tile raised / lowered", tile, whole);
    report("countdown digit", digit, whole);
    report("discard laid", discard, whole);
    report("empty paint (Wine's floor)", empty, whole);
    std::printf("drawing alone, no window:\n");
    report("  whole window", wholeDrawn, whole);
    report("  one tile", tileDrawn, whole);
    report("  countdown digit", digitDrawn, whole);
    return 0;
}
