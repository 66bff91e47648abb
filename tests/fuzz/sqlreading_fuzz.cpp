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
#include <memory>

namespace {

// The application the panels need, on the offscreen platform, and the sample model as the build
// writes it; field types come from the model text.
struct Setting {
    class : public TZDBInfo {
    public:
        bool IsConnected() override { return false; }
    } Info;
    int Argc = 1;
    char Name[16] = "sqlreading_fuzz";
    char* Argv[2] = {Name, nullptr};
    std::unique_ptr<QApplication> App;
    TZDBStructure Structure;

    Setting()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        App = std::make_unique<QApplication>(Argc, Argv);
        Structure.SetDatabaseInfo(&Info);
        Structure.LoadFromFile(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs"));
    }
};

}  // namespace

// Any bytes, read as SQL text into an active panel over the sample model that holds a query: the
// reader answers with rows or with an exception of the system. A failed read leaves the query as it
// was, active and unmodified; rows it read build a statement or fail with an exception.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static Setting* setting = new Setting;
    // No event loop runs here: what the last input's panel left to be freed later goes now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto written = [](TZQueryPanel& Panel) {
        rtl::StringList lines;
        Panel.SaveToStrings(lines);
        return QStringList(lines);
    };

    TZQueryPanel panel;
    panel.SetSaveTitles(false);
    panel.SetDbStruct(&setting->Structure);
    panel.Activate();
    panel.LoadFromSQL({"SELECT Orders.ShipCountry FROM Orders WHERE Orders.Freight > 10 OR "
                       "NOT (Orders.ShipName = 'O''Hara' AND Orders.OrderDate is null)"});
    panel.SetModified(false);
    const QStringList before = written(panel);
    rtl::StringList lines;
    lines.SetText(rtl::DecodeFileText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size))));
    try {
        panel.LoadFromSQL(lines);
    } catch (const rtl::Exception&) {
        if (panel.Modified() || !panel.Active() || written(panel) != before)
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
