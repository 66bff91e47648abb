#include "core/dbinfo/dbinfo.h"
#include "core/model/condition.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

// Fields get their type without a database.
class OfflineDBInfo : public TZDBInfo {
public:
    bool IsConnected() override { return false; }
};

// Two linked tables with a field of each kind of value, their default operators and a predefined
// condition with two values, so that field, operator and condition numbers of a text find something.
struct Model {
    OfflineDBInfo Info;
    TZDBStructure Structure;

    Model()
    {
        Structure.SetDatabaseInfo(&Info);
        TDSTable* orders = Structure.Tables()[Structure.AddTable("Orders", "Orders")];
        TDSTable* customers = Structure.Tables()[Structure.AddTable("Customers", "Customers")];
        const std::pair<const char*, TFieldType> fields[]
            = {{"OrderID", ftInteger}, {"Freight", ftFloat}, {"ShipCountry", ftString}, {"OrderDate", ftDate},
                {"ShippedAt", ftDateTime}, {"ShipTime", ftTime}, {"Paid", ftBoolean}};
        for (const auto& [name, type] : fields) {
            TDSField* field = Structure.Fields()[Structure.AddField(zfkData, name, orders, name)];
            field->SetFieldType(type);
            field->ResetOperators();
        }
        TDSField* city = Structure.Fields()[Structure.AddField(zfkData, "City", customers, "City")];
        city->SetFieldType(ftString);
        city->ResetOperators();
        auto* link = new TDSLink;
        link->SetTable1(customers);
        link->SetTable2(orders);
        link->SetFields1({"CustomerID"});
        link->SetFields2({"CustomerID"});
        Structure.AddLink(link);
        Structure.SetDefaultMainTable(orders);
        auto* custom = new TDSCondition(&Structure);
        custom->SetDisplayFormat("Freight from @ to @");
        custom->SetSQLExpr("Orders.Freight between @1 and @2");
        Structure.Conditions().Add(custom);
    }
};

QStringList Written(TZQueryPanel& Panel)
{
    rtl::StringList lines;
    Panel.SaveToStrings(lines);
    return lines;
}

}  // namespace

// Any bytes, read as a query text into an active panel: the reader answers with a query or with an
// exception of the system. A failed read leaves the panel cleared and unmodified, never with part of
// the text. A query it read writes a text that reads back, into an inactive panel, to the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static int argc = 1;
    static char name[] = "querytext_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static Model model;
    (void)app;

    TZQueryPanel panel;
    panel.SetSaveTitles(false);
    panel.SetDbStruct(&model.Structure);
    panel.Activate();
    const QStringList empty = Written(panel);
    rtl::StringList lines;
    lines.SetText(rtl::DecodeFileText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size))));
    try {
        panel.LoadFromStrings(lines);
    } catch (const rtl::Exception&) {
        if (panel.Modified() || panel.Root()->Count() != 0 || Written(panel) != empty)
            abort();
        return 0;
    }
    const QStringList written = Written(panel);
    TZQueryPanel copy;
    copy.SetSaveTitles(false);
    copy.SetDbStruct(&model.Structure);
    try {
        copy.LoadFromStrings(written);
    } catch (const rtl::Exception&) {
        abort();
    }
    if (Written(copy) != written)
        abort();
    return 0;
}
