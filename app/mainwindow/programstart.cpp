#include "app/mainwindow/programstart.h"

#include "app/mainwindow/mainform.h"
#include "core/editor/datamodeleditor.h"
#include "platform/application.h"
#include "rtl/formatsettings.h"

int RunProgram(int& argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumidex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumidex"));
    app.setProperty("HelpFile", QStringLiteral("nuv.hlp"));
    rtl::InitFormatSettings();
    // Edit Model Structure... of the main window opens the editor through the model.
    RegisterDataModelEditor();

    TMainForm MainForm;
    MainForm.show();
    return app.exec();
}
