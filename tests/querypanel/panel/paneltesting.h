#pragma once

#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/querypanel.h"

#include <QLabel>
#include <QScrollBar>

#include <memory>
#include <utility>

// A model with one table whose fields have the default operators: OrderID, Freight, OrderDate.
inline std::unique_ptr<TZDBStructure> MakePanelModel()
{
    auto model = std::make_unique<TZDBStructure>();
    model->AddTable("Orders", "Orders");
    const std::pair<const char*, TFieldType> fields[]
        = {{"OrderID", ftInteger}, {"Freight", ftInteger}, {"OrderDate", ftDate}};
    for (const auto& [name, type] : fields) {
        TDSField* field
            = model->Fields()[model->AddField(zfkVirtual, QString("Orders.") + name, nullptr, name)];
        field->SetFieldType(type);
        field->ResetOperators();
    }
    return model;
}

// A panel over its own model, sized like a small window and not shown.
struct PanelFixture {
    std::unique_ptr<TZDBStructure> Model = MakePanelModel();
    std::unique_ptr<TZQueryPanel> Panel = std::make_unique<TZQueryPanel>();

    PanelFixture()
    {
        Panel->resize(600, 400);
        Panel->SetDbStruct(Model.get());
    }
};

// A stand-in condition row with one drop-down element, enabling as conditions do: its parent
// follows its check box.
class TestCond : public TFilterRow {
public:
    TestCond(TZQueryPanel* Panel, TFilterBracket* Parent, bool Aggregate = false)
        : TFilterRow(Panel, Parent, 0), FAggregate(Aggregate)
    {
    }

    void UpdateEnabled() override
    {
        TFilterRow::UpdateEnabled();
        if (Parent())
            Parent()->SyncCheck();
    }
    bool IsAggregate() const override { return FAggregate; }

protected:
    void MakeElements() override
    {
        auto* field = new TDropDownPopup;
        field->setParent(Panel()->RowArea());
        field->hide();
        field->SetCaption("Freight");
        BindDropDown(field);
        SetElement(1, field);
        SetElement(3, NewPlainLabel("is"));
    }

private:
    bool FAggregate;
};

inline TestCond* AppendTestCond(TFilterBracket* Bracket, bool Aggregate = false)
{
    auto* row = new TestCond(Bracket->Panel(), Bracket, Aggregate);
    Bracket->AppendRow(row);
    return row;
}

// The code of the EZQueryPanelError that Action raises; 0 when it raises none.
template <typename F>
int PanelErrorCode(F&& Action)
{
    try {
        Action();
    } catch (const EZQueryPanelError& e) {
        return e.ErrorCode();
    }
    return 0;
}
