// The data model editor on the sample model, opened as the program opens it (from the application
// folder, through the stand-in gate), one page after another. With --screenshots <folder> it
// saves each page as editor-tables.png, editor-fields.png, editor-operators.png and
// editor-conditions.png and quits; run it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/editor_gallery --screenshots docs/screenshots

#include "bench/samplemodel.h"
#include "bench/screenshots.h"
#include "core/design/designpanel.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    const QString folder = screenshots::FolderArgument();
    // The gallery never moves the user's stored window places.
    QTemporaryDir settings;
    platform::Registry::SetStorageFolder(settings.path());

    screenshots::TSampleModel sample;
    TZDBStructure& model = sample.Model;
    sample.Gate.Connect();

    T_dlgDataModelEditor editor;
    editor.TakeSettings(&model);
    editor.CopyModelIn(&model);
    editor.resize(1000, 560);
    editor.move(0, 0);
    editor.show();
    TZCustomDBStructure* copy = editor.Model();
    // Something chosen on every page: the orders table, a field, an operator, a condition.
    editor.DesignPanel->SelectTable(editor.DesignPanel->FindTableRep(copy->FindTable(tlName, "Orders")));
    editor.pcMain->setCurrentIndex(1);
    if (QTreeWidgetItem* group = editor.tvFields->topLevelItem(0)) {
        group->setExpanded(true);
        editor.tvFields->setCurrentItem(group->childCount() > 0 ? group->child(0) : group);
    }
    editor.pcMain->setCurrentIndex(2);
    editor.lbOperators->setCurrentRow(0);
    editor.pcMain->setCurrentIndex(3);
    if (editor.lbConditions->count() == 0)
        editor.AddCondition();
    editor.lbConditions->setCurrentRow(0);
    editor.pcMain->setCurrentIndex(0);
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    const char* pages[] = {"tables", "fields", "operators", "conditions"};
    for (int page = 0; page < 4; ++page) {
        editor.pcMain->setCurrentIndex(page);
        screenshots::Wait(300);
        // A few flat colours: a palette picture keeps the file small.
        const QImage picture = editor.grab().toImage().convertToFormat(
            QImage::Format_Indexed8, Qt::AvoidDither | Qt::ThresholdDither);
        const QString name = QStringLiteral("editor-%1.png").arg(QLatin1String(pages[page]));
        if (!picture.save(QDir(folder).filePath(name)))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
    }
    return 0;
}
