// Times the program's start up to its first painted window: the main window opening the sample
// model (gate, model text, saved queries, panel) beside a bare Qt window, each started as a process
// of its own, several times in turn, in the same run; and, up to the end of that first paint with
// the window's controls, the sample model beside the same model whose condition field has a 10 MB
// caption and beside the sample whose current query has a 10 MB description. Prints the median of
// each, the ratio of the sample's to the bare window's (goal: within 1.5) and how much longer the
// long caption and the long description take (goal: within a second each). Run it from anywhere,
// with a display or offscreen:
//   QT_QPA_PLATFORM=offscreen build-bench/bench/startup_bench [runs]
// The registry stand-in is kept in a temporary folder, so the user's settings are never read.

#include "app/mainwindow/mainform.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "rtl/formatsettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Ends the process at the window's first paint, or once that paint is done, its controls' included,
// before any teardown, so every kind ends alike.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(bool Whole) : FWhole(Whole) {}

    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            if (!FWhole)
                Exit();
            QTimer::singleShot(0, &Exit);
        }
        return false;
    }

private:
    static void Exit()
    {
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool FWhole;
};

int RunChild(int argc, char** argv, bool Main, bool WholePaint)
{
    platform::Application app(argc, argv);
    FirstPaint paint(WholePaint);
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

double TimeChild(
    const QString& Program, const QString& Mode, const QString& AppDir = QStringLiteral(NUV_APP_DIR))
{
    QProcess child;
    child.setWorkingDirectory(AppDir);
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

QByteArray ReadFile(const QString& Path)
{
    QFile file(Path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void WriteFile(const QString& Path, const QByteArray& Text)
{
    QFile file(Path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(Text);
}

// A copy of the application folder in Folder; answers the model folder of the copy.
QString CopyApp(const QString& Folder)
{
    const QDir app(QStringLiteral(NUV_APP_DIR));
    const QDir target(Folder);
    const QString model = QStringLiteral("dmodels/nwind");
    target.mkpath(model);
    QFile::link(app.filePath(QStringLiteral("DBGates")), target.filePath(QStringLiteral("DBGates")));
    for (const QString& name : QDir(app.filePath(model)).entryList(QDir::Files))
        QFile::copy(app.filePath(model + u'/' + name), target.filePath(model + u'/' + name));
    return target.filePath(model) + u'/';
}

// Puts Lead and 10 MB of one letter after the first line Mark of the file at Path.
void Lengthen(const QString& Path, const QByteArray& Mark, const QByteArray& Lead)
{
    QByteArray text = ReadFile(Path);
    const qsizetype at = text.indexOf(Mark + "\r\n");
    if (at < 0) {
        std::fprintf(stderr, "%s has no line %s\n", qPrintable(Path), Mark.constData());
        std::exit(1);
    }
    text.insert(at + Mark.size(), Lead + QByteArray(10 * 1024 * 1024, 'x'));
    WriteFile(Path, text);
}

// An application folder in Folder whose sample model gives the field of the first saved query's
// condition a caption of 10 MB on one line.
void MakeLongCaptionApp(const QString& Folder)
{
    Lengthen(CopyApp(Folder) + QStringLiteral("struct.dbs"), "DisplayName=Shipper", " ");
}

// An application folder in Folder whose query current at start (the first the folder lists, as
// the query list lists it) has a description of 10 MB on one line.
void MakeLongDescriptionApp(const QString& Folder)
{
    const QString model = CopyApp(Folder);
    const QStringList queries = QDir(model).entryList({QStringLiteral("*.qry")},
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    if (queries.isEmpty()) {
        std::fprintf(stderr, "the sample model has no queries\n");
        std::exit(1);
    }
    Lengthen(model + queries.first(), "[Description]", "\r\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? argv[1] : "";
    if (mode == "--bare" || mode == "--main" || mode == "--main-painted")
        return RunChild(argc, argv, mode != "--bare", mode == "--main-painted");

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const QString program = QCoreApplication::applicationFilePath();
    QTemporaryDir longCaption;
    MakeLongCaptionApp(longCaption.path());
    QTemporaryDir longDescription;
    MakeLongDescriptionApp(longDescription.path());
    // One start of each first, so all find the libraries in the file cache.
    TimeChild(program, QStringLiteral("--bare"));
    TimeChild(program, QStringLiteral("--main"));
    TimeChild(program, QStringLiteral("--main-painted"), longCaption.path());
    TimeChild(program, QStringLiteral("--main-painted"), longDescription.path());
    std::vector<double> bare;
    std::vector<double> main;
    std::vector<double> painted;
    std::vector<double> caption;
    std::vector<double> description;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(TimeChild(program, QStringLiteral("--bare")));
        main.push_back(TimeChild(program, QStringLiteral("--main")));
        painted.push_back(TimeChild(program, QStringLiteral("--main-painted")));
        caption.push_back(TimeChild(program, QStringLiteral("--main-painted"), longCaption.path()));
        description.push_back(TimeChild(program, QStringLiteral("--main-painted"), longDescription.path()));
    }
    const double bareMs = MedianMs(bare);
    const double mainMs = MedianMs(main);
    const double paintedMs = MedianMs(painted);
    const double captionMs = MedianMs(caption);
    const double descriptionMs = MedianMs(description);
    std::printf("start to first painted window, median of %d runs\n", runs);
    std::printf("  bare Qt window:                    %8.1f ms\n", bareMs);
    std::printf("  main window with the sample model: %8.1f ms\n", mainMs);
    std::printf("  ratio: %.2f (goal: within 1.5)\n", mainMs / bareMs);
    std::printf("start to the end of the first paint, controls included\n");
    std::printf("  main window with the sample model: %8.1f ms\n", paintedMs);
    std::printf("  the same with a 10 MB caption:     %8.1f ms\n", captionMs);
    std::printf("  the 10 MB caption adds %.1f ms (goal: within 1000)\n", captionMs - paintedMs);
    std::printf("  the same with a 10 MB query description: %8.1f ms\n", descriptionMs);
    std::printf("  the 10 MB description adds %.1f ms (goal: within 1000)\n", descriptionMs - paintedMs);
    return 0;
}
