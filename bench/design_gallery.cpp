// The sample model's design on the design panel, opened as the program opens it (from the
// application folder, through the stand-in gate), to look at on a real display. With
// --screenshots <folder> it saves the panel as design-panel.png and quits; run it under xvfb-run:
//   xvfb-run -a build-bench/bench/design_gallery --screenshots docs/screenshots

#include "bench/samplemodel.h"
#include "bench/screenshots.h"
#include "core/design/designpanel.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    const QString folder = screenshots::FolderArgument();

    screenshots::TSampleModel sample;
    TZDBStructure& model = sample.Model;
    // The model's connection details lead the gate to the sample database.
    sample.Gate.Connect();

    TZStructDesignPanel panel;
    panel.setWindowTitle("Design panel gallery");
    panel.SetShowFullScreenButton(true);
    panel.SetShowActionHints(true);
    panel.SetDBStruct(&model);
    panel.resize(1110, 440);
    panel.move(0, 0);
    panel.show();
    panel.BuildDesign();
    // The orders table and its link to the customers are selected.
    panel.SelectTable(panel.FindTableRep(model.FindTable(0, "Orders")));
    panel.SelectLink(panel.FindLinkRep(model.GetLink(0)));
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    screenshots::Wait(300);
    // A few flat colours: a palette picture keeps the file small.
    const QImage picture = panel.grab().toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::AvoidDither | Qt::ThresholdDither);
    if (!picture.save(QDir(folder).filePath("design-panel.png")))
        std::fprintf(stderr, "cannot write design-panel.png\n");
    return 0;
}
