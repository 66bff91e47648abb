// The main window as the program starts it in the application folder the build assembles: the
// sample model with its queries listed, then a query built with F9, its rows and its SQL, and the
// SQL of the sample query with a sub-query. With --screenshots <folder> it saves main-window.png,
// main-result.png, main-sql.png and main-subquery.png and quits; run
// it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/mainwindow_gallery --screenshots docs/screenshots
// The registry stand-in is kept in a temporary folder, so the user's settings are never touched.

#include "app/mainwindow/mainform.h"
#include "bench/screenshots.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "querypanel/querylist/querycombo.h"
#include "rtl/formatsettings.h"

#include <QAction>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

// The window's frame on the screen, with what drops down over it.
void ShootWindow(const QWidget& Window, const QString& Folder, const QString& Name)
{
    screenshots::Wait(400);
    const QRect frame = Window.frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(QDir(Folder).filePath(Name + ".png"));
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidex"));
    rtl::InitFormatSettings();
    const QString folder = screenshots::FolderArgument();
    QDir::setCurrent(QStringLiteral(NUV_APP_DIR));
    QTemporaryDir registry;
    platform::Registry::SetStorageFolder(registry.path());

    TMainForm form;
    form.resize(760, 540);
    form.move(10, 10);
    form.show();
    if (folder.isEmpty())
        return app.exec();

    form.cbCurQuery->showPopup();
    ShootWindow(form, folder, QStringLiteral("main-window"));
    form.cbCurQuery->hidePopup();
    const auto build = [&form](const QString& Query) {
        const int index = form.cbCurQuery->findText(Query);
        form.cbCurQuery->setCurrentIndex(index);
        emit form.cbCurQuery->activated(index);
        form.miBuildQuery->trigger();
    };
    build(QStringLiteral("German customers' orders"));
    ShootWindow(form, folder, QStringLiteral("main-result"));
    form.pcSQL->setCurrentWidget(form.tshSQL);
    ShootWindow(form, folder, QStringLiteral("main-sql"));
    build(QStringLiteral("Customers of discontinued products"));
    form.pcSQL->setCurrentWidget(form.tshSQL);
    ShootWindow(form, folder, QStringLiteral("main-subquery"));
    return 0;
}
