#pragma once

#include "querypanel/querylist/querybase.h"

#include <QComboBox>

#include <functional>
#include <memory>

class TZQueryCombo;

// The combo box's observer of its query base: entries follow the items, the selection the current one.
class TZComboBaseLink : public TZQueryBaseLink {
public:
    explicit TZComboBaseLink(TZQueryCombo* Combo) : FCombo(Combo) {}

    void ItemChanged(int Index) override;
    void ActiveItemChanged() override;
    void BaseChanged(uint8_t Kind, int Index) override;

private:
    TZQueryCombo* FCombo;
};

// A drop-down list of the query names of a base; picking an entry makes that query current.
class TZQueryCombo : public QComboBox {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TZQueryCombo* Sender)>;

    explicit TZQueryCombo(QWidget* Parent = nullptr);
    ~TZQueryCombo() override;

    TZQueryBase* QueryBase() const { return FLink->QueryBase(); }
    void SetQueryBase(TZQueryBase* Value);
    void FillItems();
    bool Updating() const { return FUpdating; }

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    friend class TZComboBaseLink;
    std::unique_ptr<TZComboBaseLink> FLink;
    bool FUpdating = false;
};
