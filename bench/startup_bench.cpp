// Times the program's start up to its first painted window: the main window opening the sample
// model (gate, model text, saved queries, panel) beside a bare Qt window, each started as a
// process of its own, several times in turn, in the same run. Prints the median of each and the
// ratio (goal: within 1.5). Run it from anywhere, with a display or offscreen:
//   QT_QPA_PLATFORM=offscreen build-shell-bench/bench/startup_bench [runs]
// The registry stand-in is kept in a temporary folder, so the user's settings are never read.

#include "app/mainwindow/mainform.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "rtl/formatsettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Ends the process at the window's first paint, before any teardown, so both kinds end alike.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

int RunChild(int argc, char** argv, bool Main)
{
    platform::Application app(argc, argv);
    FirstPaint paint;
    if (!Main) {
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Lumidex"));
        window.resize(639, 492);
        window.installEventFilter(&paint);
        window.show();
        return app.exec();
    }
    QApplication::setApplicationName(QStringLiteral("Lumidex"));
    rtl::InitFormatSettings();
    QTemporaryDir registry;
    platform::Registry::SetStorageFolder(registry.path());
    TMainForm form;
    form.installEventFilter(&paint);
    form.show();
    return app.exec();
}

double MedianMs(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

double TimeChild(const QString& Program, const QString& Mode)
{
    QProcess child;
    child.setWorkingDirectory(QStringLiteral(NUV_APP_DIR));
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    child.start(Program, {Mode});
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s start failed\n", qPrintable(Mode));
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "--bare") == 0 || qstrcmp(argv[1], "--main") == 0))
        return RunChild(argc, argv, qstrcmp(argv[1], "--main") == 0);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const QString program = QCoreApplication::applicationFilePath();
    // One start of each first, so both find the libraries in the file cache.
    TimeChild(program, QStringLiteral("--bare"));
    TimeChild(program, QStringLiteral("--main"));
    std::vector<double> bare;
    std::vector<double> main;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(TimeChild(program, QStringLiteral("--bare")));
        main.push_back(TimeChild(program, QStringLiteral("--main")));
    }
    const double bareMs = MedianMs(bare);
    const double mainMs = MedianMs(main);
    std::printf("start to first painted window, median of %d runs\n", runs);
    std::printf("  bare Qt window:                    %8.1f ms\n", bareMs);
    std::printf("  main window with the sample model: %8.1f ms\n", mainMs);
    std::printf("  ratio: %.2f (goal: within 1.5)\n", mainMs / bareMs);
    return 0;
}
