// The query panel with a few conditions and a nested bracket, in both row styles, to look at on a
// real display. With --screenshots <folder> it saves each panel (panel-groups.png, panel-andor.png)
// and the screen with the root's add menu open (panel-menu.png) and quits; run it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/panel_gallery --screenshots docs/screenshots

#include "bench/generatedmodel.h"
#include "bench/screenshots.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QMenu>
#include <QScreen>
#include <QTimer>

using screenshots::Shoot;
using screenshots::Wait;

namespace {

struct TGalleryModel {
    OfflineDBInfo Info;
    TZCustomDBStructure Model;

    TGalleryModel()
    {
        Model.SetDatabaseInfo(&Info);
        struct Column {
            const char* Table;
            const char* Name;
            const char* Caption;
            TFieldType Type;
        };
        const Column columns[] = {
            {"Customers", "CompanyName", "Company name", ftString},
            {"Customers", "Country", "Country", ftString},
            {"Orders", "OrderDate", "Order date", ftDate},
            {"Orders", "Freight", "Freight", ftCurrency},
            {"Orders", "ShipCity", "Ship city", ftString},
        };
        for (const Column& column : columns) {
            TDSTable* table = Model.FindTable(0, column.Table);
            if (!table)
                table = Model.Tables()[Model.AddTable(column.Table, column.Table)];
            TDSField* field = Model.Fields()[Model.AddField(zfkData, column.Name, table, column.Caption)];
            field->SetFieldType(column.Type);
            field->ResetOperators();
        }
    }

    TDSField* Field(const char* Caption) const { return Model.FindField(1, Caption); }
};

TSimpleCond* AddCondition(
    TFilterBracket* Bracket, TDSField* Field, const QString& Operator, const QString& Value)
{
    auto* condition = static_cast<TSimpleCond*>(Bracket->AppendSimpleCond());
    condition->SetField(Field);
    for (TDSOperator* op : Field->Operators())
        if (op->Name() == Operator)
            condition->SetOperator(op);
    condition->SetValue(1, Value);
    return condition;
}

// Country is "Germany", and any of: freight above 100, or none of: ship city is "Berlin" or
// "Bremen"; then an order date after 12/31/1997.
void FillPanel(TZQueryPanel& Panel, const TGalleryModel& Model)
{
    TFilterBracket* root = Panel.Root();
    AddCondition(root, Model.Field("Country"), "Equal", "Germany");
    TFilterBracket* outer = root->AppendBracket();
    AddCondition(outer, Model.Field("Freight"), "Greater", "100");
    TFilterBracket* inner = outer->AppendBracket();
    inner->SetLinkType(fltNone);
    AddCondition(inner, Model.Field("Ship city"), "Equal", "Berlin");
    AddCondition(inner, Model.Field("Ship city"), "Equal", "Bremen")->SetChecked(false);
    AddCondition(root, Model.Field("Order date"), "Greater", "12/31/1997");
    Panel.RenumberPaths(root);
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    const QStringList arguments = QApplication::arguments();
    const qsizetype folderAt = arguments.indexOf("--screenshots") + 1;
    const QString folder = folderAt > 0 ? arguments.value(folderAt) : QString();

    TGalleryModel model;
    QWidget window;
    window.setWindowTitle("Query panel gallery");
    auto* layout = new QHBoxLayout(&window);
    TZQueryPanel* panels[2] = {};
    for (TQPStyle style : {psGroups, psAndOr}) {
        auto* panel = new TZQueryPanel(&window);
        panel->Appearance().SetStyle(style);
        panel->SetDbStruct(&model.Model);
        FillPanel(*panel, model);
        panel->Activate();
        layout->addWidget(panel);
        panels[style] = panel;
    }
    // The second condition of the psAndOr panel is current, its field chooser framed.
    panels[psAndOr]->SelectRowByIndex(1);
    window.resize(1000, 260);
    window.move(0, 0);
    window.show();
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    Wait(300);
    panels[psGroups]->SelectRowByIndex(2);
    Wait(100);
    panels[psGroups]->grab().save(QDir(folder).filePath("panel-groups.png"));
    panels[psAndOr]->grab().save(QDir(folder).filePath("panel-andor.png"));
    panels[psGroups]->ShowAddMenu(panels[psGroups]->Root()->Button());
    Shoot(folder, "panel-menu", 200);
    panels[psGroups]->AddMenu()->close();
    return 0;
}
