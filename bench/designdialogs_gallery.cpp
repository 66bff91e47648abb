// The link editing dialog and the table and field picker, connected and without a database, to look
// at on a real display. With --screenshots <folder> it saves link-connected.png, link-offline.png,
// picker-tables.png and picker-memo.png and quits; run it under xvfb-run for that:
//   xvfb-run -a build-bench/bench/designdialogs_gallery --screenshots docs/screenshots

#include "bench/screenshots.h"
#include "core/design/linkdialog.h"
#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "platform/application.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace {

// A few Northwind-like tables in two databases.
class GalleryDBInfo : public TZDBInfo {
public:
    bool Connected = true;

    bool IsConnected() override { return Connected; }
    void GetDatabaseNames(QStringList& Lines) override { Lines = {"nwind", "archive"}; }
    void GetTables(QStringList& Lines) override
    {
        Lines = GetCurrentDBName() == "archive"
            ? QStringList {"OldOrders"}
            : QStringList {"Orders", "customers", "Employees", "Order Details"};
    }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        const QStringList names = TableName == "Orders"
            ? QStringList {"OrderID", "CustomerID", "EmployeeID", "OrderDate", "Freight"}
            : QStringList {"CustomerID", "CompanyName", "City", "Country"};
        for (const QString& name : names)
            FieldList.Add(new TDBFieldInfo {name, 10, ftString});
    }
};

void Show(QDialog& Dialog, const QString& Folder, const QString& Name, const std::function<void()>& Fill)
{
    Dialog.show();
    Fill();
    if (Folder.isEmpty()) {
        Dialog.exec();
        return;
    }
    screenshots::Shoot(Folder, Name);
    Dialog.close();
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf("--screenshots");
    const QString folder = at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();

    GalleryDBInfo info;
    info.SetCurrentDBName("nwind");
    TZCustomDBStructure model;
    model.SetDatabaseInfo(&info);
    TDSTable* orders = model.Tables()[model.AddTable("Orders", "Orders")];
    TDSTable* customers = model.Tables()[model.AddTable("Customers", "Customers")];
    TDSLink link;
    link.SetTable1(orders);
    link.SetTable2(customers);
    link.SetLinkType(ltLeft);

    {
        TdlgEditLink dialog;
        dialog.Setup(&model, &link);
        Show(dialog, folder, "link-connected", [&] {
            dialog.pbAuto()->click();
            dialog.edExpression1()->setText("'ALFKI'");
            dialog.lbFields2()->setCurrentRow(1);
            dialog.edExpression2Change();
        });
    }
    info.Connected = false;
    {
        TdlgEditLink dialog;
        dialog.Setup(&model, &link);
        Show(dialog, folder, "link-offline", [&] {
            dialog.edExpression1()->setText("ShipCountry");
            dialog.edExpression2()->setText("Country");
            dialog.edExpression2Change();
            dialog.pbAdd()->click();
        });
    }
    info.Connected = true;
    {
        TdlgListPnl picker;
        picker.SetupDBTables(&info, lpfShowAutoAddFields | lpfAutoAddFields | lpfMultiSelect);
        Show(picker, folder, "picker-tables", [&] {
            picker.lbList()->item(0)->setSelected(true);
            picker.lbList()->item(2)->setSelected(true);
        });
    }
    info.Connected = false;
    {
        TdlgListPnl picker;
        picker.SetupDBTables(&info, lpfShowAutoAddFields);
        Show(picker, folder, "picker-memo", [&] { picker.memList()->setPlainText("Orders\nCustomers\n"); });
    }
    return 0;
}
