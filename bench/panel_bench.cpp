// Times the query panel with many condition rows in nested brackets, built through the panel's row
// operations over a generated model: creating the rows with their controls and laying them out
// (the activation that shows them), and a Relayout. Prints one line per size; run it offscreen:
//   QT_QPA_PLATFORM=offscreen build-bench/bench/panel_bench [sizes...]

#include "bench/generatedmodel.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

namespace {

// Fewer tables than the model benchmarks: every condition row fills its field chooser from the
// whole field list, which is not what is measured here.
constexpr int PanelTables = 20;

struct TPanelModel {
    OfflineDBInfo Info;
    TZCustomDBStructure Model;

    TPanelModel()
    {
        Model.SetDatabaseInfo(&Info);
        for (int t = 0; t < PanelTables; ++t) {
            const QString tableName = QStringLiteral("Table%1").arg(t);
            TDSTable* table = Model.Tables()[Model.AddTable(tableName, tableName)];
            for (int f = 0; f < FieldsPerTable; ++f) {
                const QString name = QStringLiteral("T%1Field%2").arg(t).arg(f);
                Model.AddField(zfkData, name, table, name);
            }
        }
    }
};

// Rows in groups of ten: three conditions in the root, a bracket with three, and in it a bracket
// with four, so a third of the rows lie two levels deep.
void AddRows(TZQueryPanel& Panel, int Count)
{
    TFilterBracket* root = Panel.Root();
    for (int added = 0; added < Count;) {
        for (int i = 0; i < 3 && added < Count; ++i, ++added)
            root->AppendSimpleCond();
        TFilterBracket* outer = root->AppendBracket();
        for (int i = 0; i < 3 && added < Count; ++i, ++added)
            outer->AppendSimpleCond();
        TFilterBracket* inner = outer->AppendBracket();
        for (int i = 0; i < 4 && added < Count; ++i, ++added)
            inner->AppendSimpleCond();
    }
    Panel.RenumberPaths(root);
}

double Milliseconds(const QElapsedTimer& Timer)
{
    return double(Timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rtl::InitFormatSettings();
    QList<int> sizes;
    for (const QString& argument : QApplication::arguments().mid(1))
        sizes.append(argument.toInt());
    if (sizes.isEmpty())
        sizes = {100, 1000, 5000};

    TPanelModel model;
    std::printf("%8s %14s %14s %12s\n", "rows", "create+show ms", "relayout ms", "ms per 1000");
    for (int size : sizes) {
        auto panel = std::make_unique<TZQueryPanel>();
        panel->resize(800, 600);
        panel->SetDbStruct(&model.Model);
        QElapsedTimer timer;
        timer.start();
        AddRows(*panel, size);
        panel->Activate();
        // What the event loop does with the new controls belongs to the operation.
        QCoreApplication::processEvents();
        const double create = Milliseconds(timer);
        timer.restart();
        panel->Relayout();
        QCoreApplication::processEvents();
        const double relayout = Milliseconds(timer);
        std::printf("%8d %14.1f %14.1f %12.1f\n", size, create, relayout, (create + relayout) * 1000 / size);
        panel.reset();
    }
    return 0;
}
