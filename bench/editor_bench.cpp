// Times the data model editor on a model of the benchmark's size (2,000 tables in a grid of
// design places, 30,000 fields in one group per table, 4,000 links): opening it (the copy read
// through the model text, the window shown with its pages filled) and leaving it with OK (every
// page committed, the copy's text read back into the caller's model). Run it offscreen:
//   QT_QPA_PLATFORM=offscreen build-editor-bench/bench/editor_bench [runs]

#include "bench/generatedmodel.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "rtl/formatsettings.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

struct TEditorModel {
    OfflineDBInfo Info;
    TZCustomDBStructure Model;

    TEditorModel()
    {
        Model.SetDatabaseInfo(&Info);
        for (int t = 0; t < TableCount; ++t) {
            const QString name = QStringLiteral("Table%1").arg(t);
            TDSTable* table = Model.Tables()[Model.AddTable(name, name)];
            table->SetAlias(QStringLiteral("T%1").arg(t));
            table->SetDsgnPos(QRect(12 + (t % 40) * 150, 10 + (t / 40) * 180, 110, 160));
            auto* group = new TDSFieldGroup(&Model);
            group->SetGroupName(name);
            Model.FieldGroups().Add(group);
            for (int f = 0; f < FieldsPerTable; ++f) {
                const QString field = QStringLiteral("T%1Field%2").arg(t).arg(f);
                Model.Fields()[Model.AddField(zfkData, field, table, field)]->SetGroup(group);
            }
        }
        for (int l = 0; l < LinkCount; ++l) {
            auto* link = new TDSLink;
            link->SetTable1(Model.Tables()[l % TableCount]);
            link->SetTable2(Model.Tables()[(l * 7 + 1) % TableCount]);
            link->SetFields1({QStringLiteral("ID")});
            link->SetFields2({QStringLiteral("ID")});
            Model.AddLink(link);
        }
    }
};

double Seconds(const QElapsedTimer& Timer)
{
    return double(Timer.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    QTemporaryDir settings;
    platform::Registry::SetStorageFolder(settings.path());
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    TEditorModel generated;
    std::printf("model: %d tables, %d fields, %d links\n", generated.Model.GetTableCount(),
        generated.Model.Fields().Count(), generated.Model.GetLinkCount());
    for (int run = 0; run < runs; ++run) {
        double open = 0;
        double ok = 0;
        QElapsedTimer timer;
        timer.start();
        // The editor is shown once the event loop runs it; OK is pressed at once.
        QTimer::singleShot(0, [&] {
            open = Seconds(timer);
            auto* editor = qobject_cast<T_dlgDataModelEditor*>(QApplication::activeModalWidget());
            timer.restart();
            if (editor)
                editor->sbOK->click();
        });
        const bool accepted = ExecuteDataModelEditor(&generated.Model);
        ok = Seconds(timer);
        std::printf(
            "run %d: open %.3f s, OK back %.3f s%s\n", run + 1, open, ok, accepted ? "" : " (not accepted)");
    }
    return 0;
}
