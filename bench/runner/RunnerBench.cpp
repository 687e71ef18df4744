// Measures how fast the command runner drains a child that prints 50 MB in one
// million lines into the output list, and the longest time the event loop was held
// up meanwhile (a 1 ms timer records the gaps between its ticks).
//
//   cmake -DASMORA_BUILD_BENCH=ON -S . -B .build && cmake --build .build --target runner_bench
//   QT_QPA_PLATFORM=offscreen .build/bench/runner/runner_bench
#include "build/CommandRunner.h"
#include "build/OutputList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const char* command = R"(sh -c "yes 0123456789012345678901234567890123456789012345678 | head -n 1000000")";
    constexpr double kBytes = 50.0 * 1000 * 1000;
    for (int round = 0; round < 3; ++round) {
        asmora::build::TOutputList list;
        asmora::build::TCommandRunner runner;
        QElapsedTimer gapClock;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = std::max(longestGap, gapClock.restart()); });
        ticker.start(1);
        gapClock.start();
        QElapsedTimer clock;
        clock.start();
        runner.RunDosCommand(QString::fromLatin1(command), list);
        const double seconds = clock.nsecsElapsed() / 1e9;
        ticker.stop();
        std::printf("round %d: %d rows in %.3f s: %.1f MB/s, %.0f rows/s, longest event-loop gap %lld ms\n", round,
                    list.count(), seconds, kBytes / seconds / 1e6, list.count() / seconds,
                    static_cast<long long>(longestGap));
        if (list.count() != 1000000) {
            std::printf("lost rows!\n");
            return 1;
        }
    }
    return 0;
}
