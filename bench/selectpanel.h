#pragma once

#include "bench/generatedmodel.h"
#include "bench/selecttree.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"

#include <QHash>

// A query panel over a small model of two linked tables holding the condition tree of select-N.sql,
// the rows made through the panel's own operations (brackets, conditions, fields, operators and
// values); the panel ends active.
class PanelQuery {
public:
    explicit PanelQuery(int N)
    {
        FModel.SetDatabaseInfo(&FInfo);
        FOrders = FModel.Tables()[FModel.AddTable(QStringLiteral("Orders"), QStringLiteral("Orders"))];
        FCustomers
            = FModel.Tables()[FModel.AddTable(QStringLiteral("Customers"), QStringLiteral("Customers"))];
        auto* link = new TDSLink;
        link->SetTable1(FCustomers);
        link->SetTable2(FOrders);
        link->SetFields1({QStringLiteral("CustomerID")});
        link->SetFields2({QStringLiteral("CustomerID")});
        FModel.AddLink(link);
        FModel.SetDefaultMainTable(FOrders);
        Panel.SetDbStruct(&FModel);
        const auto parser = selecttree::Parse(N);
        Panel.BeginUpdate();
        Copy(parser->Result().Root(), Panel.Root());
        Panel.EndUpdate();
        Panel.Activate();
    }

private:
    void Copy(TSQLBracket* From, TFilterBracket* To)
    {
        for (TSQLConditionNode* node : From->Nodes()) {
            if (TSQLBracket* bracket = node->AsBracket()) {
                TFilterBracket* nested = To->AppendBracket();
                nested->DeleteAllRows();
                nested->SetLinkType(selecttree::LinkTypeOf(bracket));
                Copy(bracket, nested);
                continue;
            }
            const selecttree::TCondition c = selecttree::ConditionOf(static_cast<TSQLCondition*>(node));
            auto* row = static_cast<TSimpleCond*>(To->AppendSimpleCond());
            row->SetField(FieldOf(c.Field));
            row->SetOperator(OperatorOf(c.Template, c.Kind));
            if (!c.Value.isEmpty())
                row->SetValue(1, c.Value);
            if (!c.Value2.isEmpty())
                row->SetValue(2, c.Value2);
            ++Conditions;
        }
    }
    TDSField* FieldOf(const QString& Name)
    {
        TDSField*& field = FFields[Name];
        if (!field) {
            TDSTable* table = Name.startsWith(QStringLiteral("Orders.")) ? FOrders : FCustomers;
            field = FModel.Fields()[FModel.AddField(zfkData, Name.section(u'.', 1), table, Name)];
            field->SetFieldType(ftString);
            for (const TDSOperator* op : FOperators)
                field->AddOperatorByName(op->Name());
        }
        return field;
    }
    TDSOperator* OperatorOf(const QString& Template, TValueKind Kind)
    {
        TDSOperator*& op = FOperators[Template];
        if (!op) {
            const QString name = QStringLiteral("Bench%1").arg(FOperators.size());
            op = FModel.Operators()[FModel.AddOperator(
                name, name, TFieldTypes {ftString}, QString(), Template)];
            op->SetValueKind(Kind);
            for (TDSField* field : FFields)
                field->AddOperatorByName(name);
        }
        return op;
    }

    OfflineDBInfo FInfo;
    TZCustomDBStructure FModel;
    TDSTable* FOrders = nullptr;
    TDSTable* FCustomers = nullptr;
    QHash<QString, TDSField*> FFields;
    QHash<QString, TDSOperator*> FOperators;

public:
    TZCustomDBStructure* Model() { return &FModel; }

    // After the model, so the rows go before the fields they point to.
    TZQueryPanel Panel;
    int Conditions = 0;
};
