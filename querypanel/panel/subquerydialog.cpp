#include "querypanel/panel/subquerydialog.h"

#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/parser/sqlnesting.h"
#include "querypanel/query/queryerrors.h"
#include "querypanel/query/queryresult.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <memory>

TdlgSubQuery::TdlgSubQuery(QWidget* Parent) : QDialog(Parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Sub-Query Dialog"));
    resize(468, 319);
    setSizeGripEnabled(true);

    auto* top = new QWidget(this);
    FResultFieldCaption = new QLabel(QStringLiteral("Result Field"), top);
    FResultField = new TDropDownLabel;
    FResultField->setParent(top);
    FResultField->SetCaption(QStringLiteral("<----------->"));
    QFont font = FResultField->font();
    font.setUnderline(true);
    FResultField->setFont(font);
    QPalette palette = FResultField->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    FResultField->setPalette(palette);
    FResultField->setCursor(Qt::PointingHandCursor);
    FitResultField();
    FDistinct = new QCheckBox(QStringLiteral("Distinct"), top);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->addWidget(FResultFieldCaption);
    topLayout->addSpacing(4);
    topLayout->addWidget(FResultField);
    topLayout->addStretch();
    topLayout->addWidget(FDistinct);

    FQPanel = new TZQueryPanel(this);
    // The window resource's colour for the add-row label; the opening panel's appearance leaves it.
    FQPanel->Appearance().SetAddRowColor(clBlack);

    auto* bottom = new QWidget(this);
    FOK = new QPushButton(QStringLiteral("OK"), bottom);
    FOK->setDefault(true);
    FCancel = new QPushButton(QStringLiteral("Cancel"), bottom);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->addStretch();
    bottomLayout->addWidget(FOK);
    bottomLayout->addWidget(FCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(FQPanel, 1);
    layout->addWidget(bottom);

    connect(FOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FDistinct, &QCheckBox::clicked, this, &TdlgSubQuery::DistinctClicked);
    FResultField->OnCustomDropDown
        = [this](TDropDownLabel*, QString&, bool&) { ddlResultFieldCustomDropDown(); };
}

TdlgSubQuery::~TdlgSubQuery() = default;

void TdlgSubQuery::Setup(TZQueryPanel* ParentPanel)
{
    FParentPanel = ParentPanel;
    FQPanel->OnActive = ParentPanel->OnActive;
    FQPanel->OnChange = ParentPanel->OnChange;
    FQPanel->OnChangeValue = ParentPanel->OnChangeValue;
    FQPanel->OnSetValue = ParentPanel->OnSetValue;
    FQPanel->OnCustomValue = ParentPanel->OnCustomValue;
    FQPanel->OnValueDblClick = ParentPanel->OnValueDblClick;
    FQPanel->OnConditionChange = ParentPanel->OnConditionChange;
    FQPanel->OnBuildSQL = ParentPanel->OnBuildSQL;
    FQPanel->SetDbStruct(ParentPanel->DbStruct());
    FQPanel->SetTitles(ParentPanel->Titles());
    FQPanel->SetAppearance(ParentPanel->Appearance());
    FQPanel->SetSQLOptions(ParentPanel->SQLOptions());
    FQPanel->SetSubQueryLevel(ParentPanel->SubQueryLevel() + 1);
    FQPanel->SetSaveTitles(false);
    FResultFieldCaption->setText(FQPanel->GetTitle(QStringLiteral("ttlResultField")) + QStringLiteral(":"));
    FCancel->setText(FQPanel->GetTitle(QStringLiteral("ttlCancelBtnCaption")));
}

void TdlgSubQuery::LoadQuery(const QStringList& Lines)
{
    rtl::StringList text;
    text.append(Lines);
    FQPanel->LoadFromStrings(text);
    TRFieldList& fields = FQPanel->QResult()->ResultFields();
    TZCustomDBStructure* model = FQPanel->DbStruct();
    if (fields.Count() == 0 && model && model->Fields().Count() > 0) {
        TDSField* first = model->Fields()[0];
        fields.AddField(QStringLiteral("@1"), {first}, first->DisplayName());
    }
    ShowResultFields();
}

void TdlgSubQuery::SaveQuery(QStringList& Lines, QString& SQL)
{
    rtl::StringList text;
    FQPanel->SaveToStrings(text);
    Lines = text;
    FQPanel->BuildQuery();
    SQL.clear();
    for (const QString& line : FQPanel->QResult()->GetSQL())
        SQL += line + QStringLiteral("\r\n");
}

void TdlgSubQuery::showEvent(QShowEvent* Event)
{
    FDistinct->setChecked(FQPanel->SQLOptions().Contains(soSelectDistinct));
    FQPanel->Activate();
    QDialog::showEvent(Event);
}

void TdlgSubQuery::ShowResultFields()
{
    FResultField->SetCaption(FQPanel->QResult()->ResultFields().GetCaptionsText());
    FitResultField();
}

void TdlgSubQuery::FitResultField()
{
    // The label sizes itself to its caption; the layout must keep that size, not squeeze it to none.
    FResultField->setFixedSize(FResultField->size());
}

void TdlgSubQuery::ddlResultFieldCustomDropDown()
{
    const auto show = qScopeGuard([this] { ShowResultFields(); });
    TRFieldList& fields = FQPanel->QResult()->ResultFields();
    // The sub-query's one column is written without an alias.
    if (FQPanel->ShowRFieldsEditor(1, 0) && fields.Count() > 0)
        fields[0]->SetAlias(QString());
}

void TdlgSubQuery::DistinctClicked(bool Checked)
{
    TSQLOptions options = FQPanel->SQLOptions();
    if (Checked)
        options.Include(soSelectDistinct);
    else
        options.Exclude(soSelectDistinct);
    FQPanel->SetSQLOptions(options);
}

bool EditSubQueryInDialog(TZQueryPanel* Sender, QStringList& Lines, QString& SQLText, TSQLOptions& Options)
{
    if (Sender->SubQueryLevel() >= MaxSubQueryDepth)
        throw EZQueryPanelError::Create(qpeSubQueriesTooDeep, MaxSubQueryDepth);
    auto dialog = std::make_unique<TdlgSubQuery>(Sender->window());
    dialog->setWindowTitle(Sender->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    dialog->Setup(Sender);
    TZQueryPanel* nested = dialog->QPanel();
    TQPAppearanceOptions appearance = nested->Appearance().Options();
    appearance.Exclude(aoAllowParams);
    nested->Appearance().SetOptions(appearance);
    nested->QResult()->ResultFields().SetAutoAliases(false);
    nested->QResult()->SetParamNumberBase(Sender->QResult()->GetParamCount());
    const QPointer<TZQueryPanel> opener = Sender;
    nested->OnChange = [opener](TZQueryPanel*) {
        if (opener)
            opener->Changed();
    };
    nested->OnParamListChange = nullptr;
    dialog->LoadQuery(Lines);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    QStringList lines;
    QString sql;
    dialog->SaveQuery(lines, sql);
    Options = nested->SQLOptions();
    Lines = lines;
    SQLText = sql;
    return true;
}
