// Times the design panel over a generated model of 300 tables and 600 links: building the design
// (a window with its fields per table, a picture per link), moving one table window (which
// re-routes its own links), finding the link under a point, and auto-arranging designs of growing
// size. Prints one line per measure; run it offscreen:
//   QT_QPA_PLATFORM=offscreen build-bench/bench/design_bench

#include "bench/generatedmodel.h"
#include "core/design/designpanel.h"
#include "core/model/dbstructure.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int DesignTables = 300;
constexpr int DesignLinks = 600;

// Every table has the same columns, so each window lists its fields.
class ColumnsDBInfo : public TZDBInfo {
public:
    void GetFieldList(const QString&, TDBFieldList& FieldList) override
    {
        for (int f = 0; f < FieldsPerTable; ++f)
            FieldList.Add(new TDBFieldInfo {QStringLiteral("Field%1").arg(f), 4, ftInteger});
    }
};

// A chain through every table and random links over the rest; no stored places, so building
// arranges the windows.
struct TDesignModel {
    ColumnsDBInfo Info;
    TZCustomDBStructure Model;

    explicit TDesignModel(int Tables)
    {
        Model.SetDatabaseInfo(&Info);
        for (int t = 0; t < Tables; ++t) {
            const QString name = QStringLiteral("Table%1").arg(t);
            Model.AddTable(name, name);
        }
        std::mt19937 random(2024);
        std::uniform_int_distribution<int> pick(0, Tables - 1);
        std::uniform_int_distribution<int> field(0, FieldsPerTable - 1);
        for (int l = 0; l < 2 * Tables; ++l) {
            auto* link = new TDSLink;
            link->SetTable1(Model.Tables()[l < Tables - 1 ? l : pick(random)]);
            link->SetTable2(Model.Tables()[l < Tables - 1 ? l + 1 : pick(random)]);
            link->SetFields1({QStringLiteral("Field%1").arg(field(random))});
            link->SetFields2({QStringLiteral("Field%1").arg(field(random))});
            Model.AddLink(link);
        }
    }
};

double Milliseconds(const QElapsedTimer& Timer)
{
    return double(Timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TDesignModel model(DesignTables);
    TZStructDesignPanel panel;
    panel.resize(1600, 1000);
    panel.show();
    panel.SetDBStruct(&model.Model);

    std::vector<double> builds;
    for (int run = 0; run < 5; ++run) {
        panel.ClearDesign();
        QElapsedTimer timer;
        timer.start();
        panel.BuildDesign();
        QCoreApplication::processEvents();
        builds.push_back(Milliseconds(timer));
    }
    std::printf("BuildDesign, %d tables, %d links: %.1f ms (median of 5, events included)\n", DesignTables,
        panel.LinkReps().Count(), Median(builds));

    // A window in the middle of the chain, moved back and forth one pixel at a time.
    TTableRep* window = panel.TableReps()[DesignTables / 2];
    int own = 0;
    for (const TLinkRep* rep : panel.LinkReps())
        own += rep->TableRep1() == window || rep->TableRep2() == window;
    constexpr int Moves = 2000;
    const QPoint start = window->pos();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Moves; ++i)
        window->move(start + QPoint(i % 2, i % 3));
    std::printf("moving one window (%d own links of %d): %.1f us per move\n", own, DesignLinks,
        Milliseconds(timer) * 1000 / Moves);

    std::mt19937 random(7);
    const QSize extent = panel.DesignArea()->Content()->size();
    std::uniform_int_distribution<int> x(0, extent.width());
    std::uniform_int_distribution<int> y(0, extent.height());
    constexpr int Points = 20000;
    std::vector<QPoint> points;
    for (int i = 0; i < Points; ++i)
        points.emplace_back(x(random), y(random));
    int hits = 0;
    timer.restart();
    for (const QPoint& point : points) {
        TLinkRep* rep = nullptr;
        hits += panel.LinkReps().FindLinkAt(point.x(), point.y(), rep);
    }
    std::printf("FindLinkAt over %d links: %.2f us per point (%d of %d points on a line)\n", DesignLinks,
        Milliseconds(timer) * 1000 / Points, hits, Points);

    std::printf("%8s %16s %18s\n", "tables", "AutoArrange ms", "us per table");
    for (int tables : {150, 300, 600, 1200}) {
        TDesignModel sized(tables);
        TZStructDesignPanel arranged;
        arranged.resize(1600, 1000);
        arranged.show();
        arranged.SetDBStruct(&sized.Model);
        arranged.BuildDesign();
        QCoreApplication::processEvents();
        std::vector<double> times;
        for (int run = 0; run < 6; ++run) {
            // Another width each time, so every window really moves.
            arranged.resize(run % 2 ? 1000 : 1600, 1000);
            timer.restart();
            arranged.AutoArrange();
            times.push_back(Milliseconds(timer));
        }
        const double median = Median(times);
        std::printf("%8d %16.2f %18.2f\n", tables, median, median * 1000 / tables);
    }
    return 0;
}
