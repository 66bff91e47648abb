// The wizard window walked through its pages on the sample database, reached through the stand-in
// gate as the program's callbacks would reach it. With --screenshots <folder> it saves each page
// (wizard-welcome.png, wizard-tables.png, wizard-linkmode.png, wizard-links.png, wizard-fields.png,
// wizard-finish.png) and quits; run it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/wizard_gallery --screenshots docs/screenshots

#include "bench/samplemodel.h"
#include "bench/screenshots.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "platform/messagebox.h"
#include "rtl/formatsettings.h"
#include "wizard/wizardwindow.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    const QString folder = screenshots::FolderArgument();

    // The sample model's connection details lead the gate to the sample database; the wizard
    // starts from an empty model over the same gate.
    screenshots::TSampleModel sample;
    TZCustomDBStructure model;
    TDMOptions options = model.DMOptions();
    options.SetMultiDB(true);
    model.SetDMOptions(options);
    model.SetDatabaseInfo(&sample.Gate);
    // Taking the gate handed it the empty model's connection details; the sample's go back.
    sample.Load();

    tesmera::TMainForm window(&model);
    window.move(0, 0);
    window.show();
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    // A message box would stop the walk: say what it asked instead.
    platform::ScriptedAnswers boxes;
    boxes.OnUnanswered = [](const platform::ScriptedAnswers::Box& Box) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(Box.Text));
    };
    auto shoot = [&](const char* Name) {
        screenshots::Wait(300);
        if (!window.grab().save(QDir(folder).filePath(QString::fromLatin1(Name) + ".png")))
            std::fprintf(stderr, "cannot write %s.png\n", Name);
    };
    shoot("wizard-welcome");
    window.btnNext->click();
    for (int i = 0; i < window.clbSelectedTables->count(); i += 2)
        window.clbSelectedTables->item(i)->setCheckState(Qt::Checked);
    shoot("wizard-tables");
    window.btnNext->click();
    shoot("wizard-linkmode");
    window.btnNext->click();
    shoot("wizard-links");
    window.btnNext->click();
    shoot("wizard-fields");
    window.btnNext->click();
    shoot("wizard-finish");
    return 0;
}
