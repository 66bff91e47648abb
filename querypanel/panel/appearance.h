#pragma once

#include "core/model/enumset.h"
#include "querypanel/query/sqloptions.h"

#include <QCheckBox>
#include <QColor>
#include <QtGlobal>

class TZQueryPanel;

// A colour as forms store it: 0x00BBGGRR for a plain colour, 0xFF000000 + n for system colour n.
using TColor = quint32;

constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clBlue = 0x00FF0000;

// The colour on screen; system colours come from the application's palette.
QColor ColorToQColor(TColor Color);
// The text colour of a row's word; a disabled word keeps the palette's greyed text.
void SetFontColor(QWidget* Control, TColor Color);

// The order is that of the stored bits (bit 0 first).
enum TQPAppearanceOption : uint8_t {
    aoFlatButtons,
    aoRoundButtons,
    aoNonEmptyBrackets,
    aoPopupField,
    aoPopupValue,
    aoShowGroupName,
    aoAllowKeyboard,
    aoSortListData,
    aoShowAddRow,
    aoShowCheckBoxes,
    aoAllowParams,
    aoDisableRFieldExpr
};
using TQPAppearanceOptions = TEnumSet<TQPAppearanceOption>;

// Every option but aoShowGroupName, aoSortListData and aoDisableRFieldExpr (0x75F).
constexpr TQPAppearanceOptions DefaultAppearanceOptions = TQPAppearanceOptions::FromBits(0x75F);

// psGroups shows brackets as sentences of their own under a header; psAndOr shows conditions only,
// joined by and/or words.
enum TQPStyle : uint8_t { psGroups, psAndOr };

// The panel's persistent look. Every real change rebuilds the panel's rows (Relayout) so that rows,
// labels and buttons are made again under the new settings.
class TQPAppearance {
public:
    // Panel may be none: a free-standing appearance only holds values to assign.
    explicit TQPAppearance(TZQueryPanel* Panel = nullptr) : FPanel(Panel) {}
    TQPAppearance(const TQPAppearance&) = delete;
    TQPAppearance& operator=(const TQPAppearance&) = delete;

    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor Value) { Set(FActiveRowColor, Value); }
    TColor ControlBorderColor() const { return FControlBorderColor; }
    void SetControlBorderColor(TColor Value) { Set(FControlBorderColor, Value); }
    TColor FieldColor() const { return FFieldColor; }
    void SetFieldColor(TColor Value) { Set(FFieldColor, Value); }
    TFilterLinkTypes LinkTypes() const { return FLinkTypes; }
    void SetLinkTypes(TFilterLinkTypes Value) { Set(FLinkTypes, Value); }
    TColor OperatorColor() const { return FOperatorColor; }
    void SetOperatorColor(TColor Value) { Set(FOperatorColor, Value); }
    TColor ValueColor() const { return FValueColor; }
    void SetValueColor(TColor Value) { Set(FValueColor, Value); }
    TColor BoolOpColor() const { return FBoolOpColor; }
    void SetBoolOpColor(TColor Value) { Set(FBoolOpColor, Value); }
    TColor AddRowColor() const { return FAddRowColor; }
    void SetAddRowColor(TColor Value) { Set(FAddRowColor, Value); }
    TQPAppearanceOptions Options() const { return FOptions; }
    void SetOptions(TQPAppearanceOptions Value) { Set(FOptions, Value); }
    TQPStyle Style() const { return FStyle; }
    void SetStyle(TQPStyle Value) { Set(FStyle, Value); }

    // Not counted: one EndUpdate ends any number of BeginUpdate calls, and rebuilds once.
    void BeginUpdate() { FUpdateLock = true; }
    void EndUpdate();
    void Changed();
    // Copies the colours but AddRowColor, the options and the style into Dest, rebuilding its panel
    // once; Dest keeps its AddRowColor and LinkTypes.
    void AssignTo(TQPAppearance& Dest) const;

private:
    template <typename T>
    void Set(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }

    TZQueryPanel* FPanel;
    bool FUpdateLock = false;
    TColor FActiveRowColor = clBtnHighlight;
    TColor FControlBorderColor = clBlack;
    TColor FFieldColor = clBlue;
    TFilterLinkTypes FLinkTypes = AllFilterLinkTypes;
    TColor FOperatorColor = clBlue;
    TColor FValueColor = clBlue;
    TColor FBoolOpColor = clBlue;
    TColor FAddRowColor = clBlue;
    TQPAppearanceOptions FOptions = DefaultAppearanceOptions;
    TQPStyle FStyle = psGroups;
};

// The enable check box of a row: a small check box drawn flat, without a caption.
class TZFlatCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TZFlatCheckBox(QWidget* Parent = nullptr);
};
