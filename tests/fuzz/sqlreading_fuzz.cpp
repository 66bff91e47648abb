#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>

namespace {

// The sample model as the build writes it; field types come from the model text.
struct SampleModel {
    class : public TZDBInfo {
    public:
        bool IsConnected() override { return false; }
    } Info;
    TZDBStructure Structure;

    SampleModel()
    {
        Structure.SetDatabaseInfo(&Info);
        Structure.LoadFromFile(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs"));
    }
};

QStringList Written(TZQueryPanel& Panel)
{
    rtl::StringList lines;
    Panel.SaveToStrings(lines);
    return lines;
}

}  // namespace

// Any bytes, read as SQL text into an active panel over the sample model that holds a query: the
// reader answers with rows or with an exception of the system. A failed read leaves the query as it
// was, active and unmodified; rows it read build a statement or fail with an exception.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static int argc = 1;
    static char name[] = "sqlreading_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static SampleModel model;
    (void)app;

    TZQueryPanel panel;
    panel.SetSaveTitles(false);
    panel.SetDbStruct(&model.Structure);
    panel.Activate();
    panel.LoadFromSQL({"SELECT Orders.ShipCountry FROM Orders WHERE Orders.Freight > 10 OR "
                       "NOT (Orders.ShipName = 'O''Hara' AND Orders.OrderDate is null)"});
    panel.SetModified(false);
    const QStringList before = Written(panel);
    rtl::StringList lines;
    lines.SetText(rtl::DecodeFileText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size))));
    try {
        panel.LoadFromSQL(lines);
    } catch (const rtl::Exception&) {
        if (panel.Modified() || !panel.Active() || Written(panel) != before)
            abort();
        return 0;
    }
    if (!panel.Modified() || !panel.Active())
        abort();
    try {
        panel.BuildQuery();
        panel.QResult()->GetSQL();
    } catch (const rtl::Exception&) {
    }
    return 0;
}
