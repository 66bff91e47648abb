#pragma once

#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "querypanel/query/queryresult.h"

#include <functional>
#include <memory>
#include <vector>

// A panel stand-in and condition rows without widgets, over a small Orders/Customers model.
namespace querytesting {

class FakeNode : public TConditionNode {
public:
    // A bracket.
    explicit FakeNode(TFilterLinkType LinkType) : FRowType(1), FLinkType(LinkType) {}
    // A simple condition.
    FakeNode(TDSField* Field, TDSOperator* Operator, QString Value1 = {}, QString Value2 = {})
        : FRowType(0), FField(Field), FOperator(Operator), FValues {std::move(Value1), std::move(Value2)}
    {
    }

    FakeNode* Add(std::unique_ptr<FakeNode> Row)
    {
        FRows.push_back(std::move(Row));
        return FRows.back().get();
    }
    FakeNode* Bracket(TFilterLinkType LinkType) { return Add(std::make_unique<FakeNode>(LinkType)); }
    FakeNode* Cond(TDSField* Field, TDSOperator* Operator, QString Value1 = {}, QString Value2 = {})
    {
        return Add(std::make_unique<FakeNode>(Field, Operator, std::move(Value1), std::move(Value2)));
    }
    FakeNode* Disabled()
    {
        FChecked = false;
        return this;
    }
    void SetParam(int N, TSQLParam* Param) { FParams[N == 1 ? 0 : 1] = Param; }
    QString Caption(int N) const { return FCaptions[N == 1 ? 0 : 1]; }

    int RowType() const override { return FRowType; }
    bool IsBracketNode() const override { return FRowType == 1; }
    TFilterLinkType NodeLinkType() const override { return FLinkType; }
    int NodeCount() const override { return int(FRows.size()); }
    TConditionNode* NodeAt(int I) const override { return FRows[I].get(); }
    bool Checked() const override { return FChecked; }
    bool IsAggregate() const override
    {
        if (!IsBracketNode())
            return FField && FField->IsAggregate();
        for (const auto& row : FRows)
            if (!row->IsBracketNode())
                return row->IsAggregate();
        return false;
    }
    QString GetFieldName() const override { return FField ? FField->DisplayName() : QString(); }
    TDSField* NodeField() const override { return FField; }
    TDSOperator* NodeOperator() const override { return FOperator; }
    TDSCondition* NodeCondition() const override { return nullptr; }
    QList<TDSTable*> GetTables() const override { return FField ? FField->Tables() : QList<TDSTable*>(); }
    QString GetSQLTemplate() const override { return FOperator ? FOperator->SQLName() : QString(); }
    int GetValueCount() const override { return FOperator ? FOperator->GetParamCount() : 0; }
    QString ValueText(int N) const override { return FValues[N == 1 ? 0 : 1]; }
    TFieldType GetValueType(int) const override
    {
        if (!FField || !FOperator)
            return ftUnknown;
        return FOperator->ExprType() == ftUnknown ? FField->FieldType() : FOperator->ExprType();
    }
    TValueKind GetValueKind(int) const override { return FOperator ? FOperator->ValueKind() : vkScalar; }
    TSQLParam* Param(int N) const override { return FParams[N == 1 ? 0 : 1]; }
    void SetValueCaption(int N, const QString& Text) override { FCaptions[N == 1 ? 0 : 1] = Text; }

private:
    int FRowType;
    TFilterLinkType FLinkType = fltAll;
    std::vector<std::unique_ptr<FakeNode>> FRows;
    bool FChecked = true;
    TDSField* FField = nullptr;
    TDSOperator* FOperator = nullptr;
    QString FValues[2];
    TSQLParam* FParams[2] = {nullptr, nullptr};
    QString FCaptions[2];
};

class FakePanel : public TQueryOwner {
public:
    explicit FakePanel(TZCustomDBStructure* Model) : FModel(Model), Root(fltAll), Result(this) {}

    void Changed() override
    {
        if (FUpdates == 0)
            ++ChangedCount;
    }
    void ParamListChanged() override { ++ParamChanges; }
    QString GetTitle(const QString& Key) const override
    {
        return Key == QStringLiteral("ttlParameter") ? QStringLiteral("Parameter") : QString();
    }
    void BeginUpdate() override { ++FUpdates; }
    void EndUpdate() override
    {
        if (--FUpdates == 0)
            Changed();
    }
    TZCustomDBStructure* DbStruct() const override { return FModel; }
    TSQLOptions SQLOptions() const override { return Options; }
    TSQLSyntax SQLSyntax() const override { return Syntax; }
    bool Active() const override { return IsActive; }
    TDSTable* ResolveMainTable() override { return FModel->DefaultMainTable(); }
    TConditionNode* RootNode() const override { return const_cast<FakeNode*>(&Root); }
    void CloseDropDowns() override {}
    TQueryProcess ProcessState() const override { return FState; }
    void SetProcessState(TQueryProcess Value) override { FState = Value; }
    QString FormatSQLValue(TFieldType Type, const QString& Value, bool) override
    {
        return Result.FormatSQLDate(Type, Value);
    }
    void DoBuildSQL(TConditionNode* Condition, QString& SQLExpr) override
    {
        if (OnBuildSQL)
            OnBuildSQL(Condition, SQLExpr);
    }

    // Options and dialect reach the query result as the panel's setters copy them.
    void Apply(TSQLOptions NewOptions, TSQLSyntax NewSyntax)
    {
        Options = NewOptions;
        Syntax = NewSyntax;
        Result.SetSQLOptions(NewOptions);
        Result.SetSQLSyntax(NewSyntax);
        Result.ResultFields().SetQuoteAliases(NewOptions.Contains(soQuoteAliases));
    }
    QStringList Build()
    {
        Result.BuildQuery();
        return Result.GetSQL();
    }

    std::function<void(TConditionNode*, QString&)> OnBuildSQL;
    TSQLOptions Options = DefaultSQLOptions;
    TSQLSyntax Syntax = ssSQL2;
    bool IsActive = true;
    int ChangedCount = 0;
    int ParamChanges = 0;

private:
    TZCustomDBStructure* FModel;
    int FUpdates = 0;
    TQueryProcess FState = qpIdle;

public:
    FakeNode Root;
    TQueryResult Result;
};

// Orders (main) joined to Customers by an inner link on CustomerID, to Employees by a left link.
class OfflineInfo : public TZDBInfo {
public:
    bool IsConnected() override { return false; }
};

struct SampleModel {
    OfflineInfo Info;
    TZDBStructure Model;
    TDSTable* Orders;
    TDSTable* Customers;
    TDSTable* Employees;
    TDSLink* CustomersLink;
    TDSLink* EmployeesLink;

    SampleModel()
    {
        Model.SetDatabaseInfo(&Info);
        Orders = Table("Orders");
        Customers = Table("Customers");
        Employees = Table("Employees");
        CustomersLink = Link(Orders, Customers, "CustomerID", ltInner);
        EmployeesLink = Link(Employees, Orders, "EmployeeID", ltLeft);
        Model.SetDefaultMainTable(Orders);
        TSQLFormats formats;
        formats.SetDate(QStringLiteral("mm\"/\"dd\"/\"yyyy"));
        formats.SetDateTime(QStringLiteral("mm\"/\"dd\"/\"yyyy hh:nn:ss"));
        formats.SetTime(QStringLiteral("hh:nn:ss"));
        Model.SetSQLFormats(formats);
        Operator("Equal", "@f = '@1'");
        Operator("Like", "@f like '%@1%'");
        Operator("InList", "@f in (@1)")->SetValueKind(vkList);
        Operator("Between", "@f between '@1' and '@2'");
        Operator("IsNull", "@f is null");
        Operator("Bare", "@f = @1");
        Operator("InSub", "@f in (@1)")->SetValueKind(vkSubQuery);
    }

    TDSTable* Table(const QString& Name) { return Model.Tables()[Model.AddTable(Name, Name)]; }
    TDSLink* Link(TDSTable* A, TDSTable* B, const QString& Column, TLinkType Type)
    {
        auto* link = new TDSLink;
        link->SetTable1(A);
        link->SetTable2(B);
        link->SetFields1({Column});
        link->SetFields2({Column});
        link->SetLinkType(Type);
        Model.AddLink(link);
        return link;
    }
    TDSOperator* Operator(const QString& Name, const QString& Template)
    {
        return Model.GetOperator(Model.AddOperator(Name, Name, NullTestTypes, QString(), Template));
    }
    TDSOperator* Op(const QString& Name) const { return Model.OperatorByName(Name); }
    TDSField* Field(TDSTable* Table, const QString& Column, TFieldType Type, const QString& Caption = {})
    {
        TDSField* field
            = Model.Fields()[Model.AddField(zfkData, Column, Table, Caption.isEmpty() ? Column : Caption)];
        field->SetFieldType(Type);
        return field;
    }
    TDSField* Virtual(const QString& Expr, TFieldType Type, const QString& Caption)
    {
        TDSField* field = Model.Fields()[Model.AddField(zfkVirtual, Expr, nullptr, Caption)];
        field->SetFieldType(Type);
        return field;
    }
};

}  // namespace querytesting
