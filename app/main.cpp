#include "platform/application.h"
#include "rtl/formatsettings.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidex"));
    rtl::InitFormatSettings();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lumidex"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
