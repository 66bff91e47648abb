// The result fields editor on the sample model, with a few result fields and a sort order, to look
// at on a real display. With --screenshots <folder> it saves the window as rfieldseditor.png and
// quits; run it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/rfieldseditor_gallery --screenshots docs/screenshots

#include "bench/generatedmodel.h"
#include "bench/screenshots.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/panel/rfieldseditor.h"
#include "querypanel/query/queryresult.h"

#include <QApplication>
#include <QDir>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

TResultField* AddResult(TRFieldList& Fields, TZCustomDBStructure& Model, const QString& Formula,
    const QString& Field, const QString& Caption, uint8_t Sorting = 0)
{
    TResultField* result = Fields.AddField(Formula, {Model.FindField(flDisplayName, Field)}, Caption);
    result->SetSorting(Sorting);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const qsizetype option = arguments.indexOf("--screenshots");
    const QString folder = option >= 0 ? arguments.value(option + 1) : QString();

    OfflineDBInfo info;
    TZDBStructure model;
    model.SetDatabaseInfo(&info);
    model.LoadFromFile(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs"));
    TZQueryPanel panel;
    panel.SetDbStruct(&model);

    // Ship country ascending, then the total freight descending.
    TRFieldList& fields = panel.QResult()->ResultFields();
    AddResult(fields, model, "@1", "Ship country", "Ship country", 1);
    AddResult(fields, model, "@1", "Company", "Company");
    AddResult(fields, model, "SUM(@1)", "Freight", "Freight Sum", 2);
    AddResult(fields, model, "COUNT(@1)", "Order number", "Order number Count");

    TdlgRFieldsEditor editor(&panel, &model, nullptr);
    editor.SetMode(rfeShowSorting);
    editor.SetResultFields(fields);
    editor.show();
    const QList<QTreeWidgetItem*> order = editor.tvAllFields->findItems("Order", Qt::MatchExactly);
    if (!order.isEmpty()) {
        order[0]->setExpanded(true);
        editor.tvAllFields->setCurrentItem(order[0]->child(4));
    }
    editor.sgRFields->setCurrentCell(2, 2);
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    screenshots::Wait(300);
    editor.grab().save(QDir(folder).filePath("rfieldseditor.png"));
    return 0;
}
