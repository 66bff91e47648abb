#pragma once

#include "core/base/fieldtypes.h"
#include "querypanel/query/sqlparams.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QPushButton;
class TSQLFormats;

// Asks for the values of a query's parameters before its rows are shown: one row per parameter
// with its caption and an editor for its data type (a line for texts, numbers, and dates and times
// typed as shown, a False/True list).
class TdlgParamValues : public QDialog {
    Q_OBJECT
public:
    struct TParam {
        QString Name;
        QString Caption;
        TFieldType DataType = ftUnknown;
        // Offered at the start; a date or time that does not read as one offers today or now.
        QString Value;
    };

    // Booleans are written as the model's false and true values of Formats.
    TdlgParamValues(const QList<TParam>& Params, const TSQLFormats& Formats, QWidget* Owner = nullptr);

    // The values by parameter name, in the form a condition's value has: dates and times in the
    // locale's formats.
    TParamValues Values() const;
    // The editor of the I-th parameter: a QLineEdit or a QComboBox.
    QWidget* Editor(int I) const { return FEditors.at(I); }

    // Closes with OK once OnCheckValues took the values; a failure it raises is shown and the
    // dialog stays open.
    void btOKClick();
    std::function<void(const TParamValues& Values)> OnCheckValues;

    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

private:
    QWidget* CreateEditor(const TParam& Param, const TSQLFormats& Formats);

    QList<TParam> FParams;
    QList<QWidget*> FEditors;
};
