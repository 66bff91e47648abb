// Build-time tool: builds the sample's data model over the sample database and writes its model
// text with the program's own writer.
//   samplemodel <database file> <struct.dbs>
// Field types and sizes come from the database through the stand-in gate's catalogue; the model
// keeps the connection line relative to the application folder, where the program runs.

#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "gates/fendal/fendalgate.h"
#include "rtl/exception.h"

#include <QCoreApplication>
#include <QRect>
#include <QTextStream>

#include <stdexcept>

namespace {

const QString ConnectionLine = QStringLiteral("Database=dmodels/nwind/nwind.sqlite");

// The sample database as the model's database information sees it while the model is built.
class SampleDBInfo : public TZDBInfo {
public:
    explicit SampleDBInfo(const QString& DatabaseFile)
    {
        FGate.SetDetails({QStringLiteral("Database=") + DatabaseFile});
        FGate.Connect();
        if (!FGate.IsConnected())
            throw std::runtime_error("cannot open the sample database " + DatabaseFile.toStdString());
    }
    bool IsConnected() override { return true; }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        FGate.Fields(TableName, FieldList);
    }
    void SaveInfo(QStringList& Lines) override { Lines = {ConnectionLine}; }

private:
    FendalGate FGate;
};

class SampleModel {
public:
    explicit SampleModel(TZDBInfo& Info) { FModel.SetDatabaseInfo(&Info); }

    TDSTable* Table(const QString& Name, const QString& DisplayName, QRect Place)
    {
        TDSTable* table = FModel.Tables()[FModel.AddTable(Name, DisplayName)];
        table->SetQuoted(Name.contains(u' '));
        table->SetDsgnPos(Place);
        return table;
    }
    void Link(TDSTable* Table1, const QString& Field1, TDSTable* Table2, const QString& Field2)
    {
        auto* link = new TDSLink;
        link->SetTable1(Table1);
        link->SetTable2(Table2);
        link->SetFields1({Field1});
        link->SetFields2({Field2});
        FModel.AddLink(link);
    }
    void Group(const QString& Name)
    {
        FGroup = new TDSFieldGroup(&FModel);
        FGroup->SetGroupName(Name);
        FModel.FieldGroups().Add(FGroup);
    }
    // A column of Table in the current group, with the operators of its type.
    TDSField* Data(TDSTable* Table, const QString& Column, const QString& Caption)
    {
        return Place(FModel.Fields()[FModel.AddField(zfkData, Column, Table, Caption)]);
    }
    // An SQL expression of the given type, in the current group or, without one, at the root.
    TDSField* Virtual(const QString& Expression, const QString& Caption, TFieldType Type)
    {
        TDSField* field = FModel.Fields()[FModel.AddField(zfkVirtual, Expression, nullptr, Caption)];
        field->SetFieldType(Type);
        return Place(field);
    }
    void RootFields() { FGroup = nullptr; }
    // An operator whose value is a query of its own, offered on the given fields.
    void SubQueryOperator(const QString& Name, const QString& Caption, const QList<TDSField*>& Fields)
    {
        TDSOperator* op = FModel.Operators()[FModel.AddOperator(
            Name, Caption, {ftString, ftInteger}, QString(), "@f in (@1)")];
        op->SetValueKind(vkSubQuery);
        for (TDSField* field : Fields)
            field->AddOperatorByName(Name);
    }
    void Condition(const QString& Format, const QString& SQL, TFieldType ValueType)
    {
        auto* condition = new TDSCondition(&FModel);
        condition->SetDisplayFormat(Format);
        condition->SetSQLExpr(SQL);
        for (TDSValue* value : condition->Values())
            value->SetDataType(ValueType);
        FModel.Conditions().Add(condition);
    }
    TZCustomDBStructure& Model() { return FModel; }

private:
    TDSField* Place(TDSField* Field)
    {
        Field->ResetOperators();
        if (FGroup)
            Field->SetGroup(FGroup);
        return Field;
    }

    TZCustomDBStructure FModel;
    TDSFieldGroup* FGroup = nullptr;
};

void SetSQLList(TDSField* Field, const QStringList& SQL)
{
    Field->SetEditType(etSQL);
    EditorOf<TDSSQLEditor>(*Field)->SQL() = SQL;
}

void SetDateEditor(TDSField* Field)
{
    Field->SetEditType(etText);
    EditorOf<TDSTextEditor>(*Field)->SetEditKind(2);
}

void Build(SampleModel& S)
{
    TDSTable* customers = S.Table("Customers", "Customers", {20, 20, 150, 170});
    TDSTable* orders = S.Table("Orders", "Orders", {250, 20, 150, 220});
    TDSTable* details = S.Table("Order Details", "Order lines", {480, 20, 150, 120});
    TDSTable* products = S.Table("Products", "Products", {710, 20, 150, 150});
    TDSTable* categories = S.Table("Categories", "Product categories", {940, 20, 150, 90});
    TDSTable* suppliers = S.Table("Suppliers", "Suppliers", {940, 150, 150, 150});
    TDSTable* employees = S.Table("Employees", "Employees", {20, 230, 150, 170});
    TDSTable* shippers = S.Table("Shippers", "Shippers", {250, 280, 150, 90});
    S.Link(customers, "CustomerID", orders, "CustomerID");
    S.Link(employees, "EmployeeID", orders, "EmployeeID");
    S.Link(shippers, "ShipperID", orders, "ShipVia");
    S.Link(orders, "OrderID", details, "OrderID");
    S.Link(products, "ProductID", details, "ProductID");
    S.Link(categories, "CategoryID", products, "CategoryID");
    S.Link(suppliers, "SupplierID", products, "SupplierID");

    S.Group("Customer");
    S.Data(customers, "CompanyName", "Company");
    S.Data(customers, "ContactName", "Contact");
    S.Data(customers, "City", "City");
    S.Data(customers, "Region", "Region");
    S.Data(customers, "PostalCode", "Postal code");
    SetSQLList(S.Data(customers, "Country", "Country"),
        {"SELECT DISTINCT Country, Country", "FROM Customers", "ORDER BY Country"});
    S.Data(customers, "Phone", "Phone");
    TDSField* customerId = S.Data(customers, "CustomerID", "Customer ID");

    S.Group("Order");
    S.Data(orders, "OrderID", "Order number");
    SetDateEditor(S.Data(orders, "OrderDate", "Order date"));
    SetDateEditor(S.Data(orders, "RequiredDate", "Required date"));
    SetDateEditor(S.Data(orders, "ShippedDate", "Shipped date"));
    S.Data(orders, "Freight", "Freight");
    S.Data(orders, "ShipName", "Ship to");
    S.Data(orders, "ShipAddress", "Ship address");
    S.Data(orders, "ShipCity", "Ship city");
    S.Data(orders, "ShipPostalCode", "Ship postal code");
    S.Data(orders, "ShipCountry", "Ship country");
    SetSQLList(
        S.Data(shippers, "CompanyName", "Shipper"), {"SELECT CompanyName, CompanyName", "FROM Shippers"});
    S.Virtual("julianday(Orders.ShippedDate) - julianday(Orders.OrderDate)", "Days to ship", ftInteger);

    S.Group("Order line");
    S.Data(details, "UnitPrice", "Unit price");
    S.Data(details, "Quantity", "Quantity");
    S.Data(details, "Discount", "Discount");
    S.Virtual("Order_Details.UnitPrice * Order_Details.Quantity * (1 - Order_Details.Discount)", "Line total",
        ftCurrency);

    S.Group("Product");
    S.Data(products, "ProductName", "Product");
    S.Data(products, "QuantityPerUnit", "Quantity per unit");
    S.Data(products, "UnitPrice", "List price");
    S.Data(products, "UnitsInStock", "Units in stock");
    TDSField* discontinued = S.Data(products, "Discontinued", "Discontinued");
    discontinued->SetEditType(etList);
    TDSListEditor* yesNo = EditorOf<TDSListEditor>(*discontinued);
    yesNo->Items() = {"Yes", "No"};
    yesNo->Values() = {"1", "0"};
    S.Data(categories, "CategoryName", "Category");
    S.Data(suppliers, "CompanyName", "Supplier");
    S.Data(suppliers, "Country", "Supplier country");

    S.Group("Employee");
    S.Virtual("Employees.FirstName || ' ' || Employees.LastName", "Employee", ftString);
    S.Data(employees, "Title", "Title");
    SetDateEditor(S.Data(employees, "HireDate", "Hire date"));
    S.Data(employees, "City", "Employee city");

    S.RootFields();
    S.Virtual("substr(Orders.OrderDate, 1, 4)", "Order year", ftString);
    S.Virtual("COUNT(Orders.OrderID)", "Number of orders", ftInteger);
    S.SubQueryOperator("InSubQuery", "is in the result of", {customerId});

    S.Condition("Orders shipped to @", "Orders.ShipCountry = '@1'", ftString);
    S.Condition("Orders with a freight above @", "Orders.Freight > @1", ftCurrency);
    S.Model().SetDefaultMainTable(orders);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: samplemodel <database file> <struct.dbs>\n";
        return 2;
    }
    try {
        SampleDBInfo info(QString::fromLocal8Bit(argv[1]));
        SampleModel sample(info);
        Build(sample);
        sample.Model().SaveToFile(QString::fromLocal8Bit(argv[2]));
    } catch (const rtl::Exception& e) {
        err << e.Message() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
    return 0;
}
