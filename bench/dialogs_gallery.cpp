// The program's dialogs, each filled as the main window fills it, to look at on a real display. The
// model dialogs work on the built application folder (its DBGates and sample models). With
// --screenshots <folder> it saves each dialog as dialog-<name>.png and quits; run it under xvfb-run:
//   xvfb-run -a build-bench/bench/dialogs_gallery --screenshots docs/screenshots

#include "app/dialogs/aboutbox.h"
#include "app/dialogs/datedialog.h"
#include "app/dialogs/modelsettings.h"
#include "app/dialogs/options.h"
#include "app/dialogs/queryparams.h"
#include "app/dialogs/selectmodel.h"
#include "app/dialogs/settingsstore.h"
#include "bench/screenshots.h"
#include "core/gate/dbgate.h"
#include "platform/application.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    AppDir = AddBackslash(QStringLiteral(NUV_APP_DIR));
    QueryDir = AppDir + QStringLiteral("dmodels/nwind");
    const QString folder = screenshots::FolderArgument();

    TZQueryPanel panel;
    std::vector<std::pair<QString, std::unique_ptr<QDialog>>> dialogs;

    auto options = std::make_unique<TdlgOptions>();
    options->LoadFromPanel(panel);
    dialogs.emplace_back(QStringLiteral("options"), std::move(options));

    auto params = std::make_unique<TdlgQueryParams>();
    params->edQueryName->setText(QStringLiteral("Sales 2004"));
    params->edFileName->setText(QStringLiteral("Sales 2004.qry"));
    params->memDescription->setPlainText(QStringLiteral("Orders shipped in 2004, by customer."));
    params->LoadOptions(panel);
    dialogs.emplace_back(QStringLiteral("queryparams"), std::move(params));

    dialogs.emplace_back(QStringLiteral("about"), std::make_unique<TAboutBox>());

    auto date = std::make_unique<TDateDialog>();
    date->SetDate(rtl::EncodeDate(1997, 12, 31));
    dialogs.emplace_back(QStringLiteral("date"), std::move(date));

    // The sample model's connection details, which the gate's page shows.
    TZDBGate modelGate;
    modelGate.SetDLLPath(AppDir + QStringLiteral("DBGates/Fendal.dll"));
    QStringList details {QStringLiteral("Database=dmodels/nwind/nwind.sqlite")};
    modelGate.LoadInfo(details);
    auto settings = std::make_unique<TdlgModelSettings>();
    settings->SetGatePath(AppDir + QStringLiteral("DBGates/Fendal.dll"));
    settings->SetModelName(QStringLiteral("Northwind"));
    dialogs.emplace_back(QStringLiteral("modelsettings"), std::move(settings));

    dialogs.emplace_back(QStringLiteral("selectmodel"), std::make_unique<TdlgSelectDataModel>());

    if (!folder.isEmpty())
        QDir().mkpath(folder);
    int left = 0;
    for (const auto& [name, dialog] : dialogs) {
        dialog->move(left, 0);
        dialog->show();
        left += 40;
        if (folder.isEmpty())
            continue;
        screenshots::Wait(300);
        dialog->grab().save(QDir(folder).filePath(QStringLiteral("dialog-") + name + QStringLiteral(".png")));
        dialog->hide();
    }
    return folder.isEmpty() ? app.exec() : 0;
}
