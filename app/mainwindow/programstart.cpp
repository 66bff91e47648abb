#include "app/mainwindow/programstart.h"

#include "app/mainwindow/mainform.h"
#include "core/editor/datamodeleditor.h"
#include "platform/application.h"
#include "rtl/formatsettings.h"

// No display name: the platform would append it to every window title, which already names the
// program.
void SetApplicationTitle()
{
    QApplication::setApplicationName(QStringLiteral("Lumidex"));
    qApp->setProperty("HelpFile", QStringLiteral("nuv.hlp"));
}

int RunProgram(int& argc, char** argv)
{
    platform::Application app(argc, argv);
    SetApplicationTitle();
    rtl::InitFormatSettings();
    // Edit Model Structure... of the main window opens the editor through the model.
    RegisterDataModelEditor();

    TMainForm MainForm;
    MainForm.show();
    return app.exec();
}
