// The 19 entries of the stand-in gate and the optional getconnecterror. Every entry catches
// whatever goes wrong inside: a failure answers 0, null or -1 and leaves out texts null.

#include "gates/gateapi.h"

#include "gates/fendal/fendalgate.h"
#include "gates/fendal/views.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

// One library instance serves every gate component of the program, so the state is global. It is
// never destroyed: the program disconnects before it lets go of the library.
struct FendalState {
    FendalGate Gate;
    QPointer<QTableView> ResultView;
    QPointer<QWidget> ConnectionPage;
    QString CurrentDBName;  // the text getcurrentdbname handed out last
    QByteArray ConnectError;  // the text getconnecterror handed out last
};

FendalState& State()
{
    static auto* state = new FendalState;
    return *state;
}

template <typename Fn>
auto Guarded(Fn Body, decltype(Body()) Failure) noexcept
{
    try {
        return Body();
    } catch (...) {
        return Failure;
    }
}

template <typename Fn>
void Guarded(Fn Body) noexcept
{
    try {
        Body();
    } catch (...) {
    }
}

// Out is cleared first, so a failure on the way hands out no text.
template <typename Fn>
void HandOut(char** Out, Fn Lines) noexcept
{
    if (!Out)
        return;
    *Out = nullptr;
    Guarded([&] { *Out = NewLinesText(Lines()); });
}

QString Required(const char* Text)
{
    if (!Text)
        throw std::invalid_argument("null text");
    return QString::fromUtf8(Text);
}

}  // namespace

extern "C" {

uint8_t getconnected()
{
    return Guarded([] { return uint8_t(State().Gate.IsConnected()); }, uint8_t(0));
}

char* saveinfo()
{
    return Guarded([] { return NewLinesText(State().Gate.Details()); }, static_cast<char*>(nullptr));
}

void loadinfo(const char* Info)
{
    Guarded([Info] { State().Gate.SetDetails(LinesFromText(Info)); });
}

void connectbase()
{
    Guarded([] { State().Gate.Connect(); });
}

const char* getconnecterror()
{
    return Guarded(
        [] {
            FendalState& state = State();
            state.ConnectError = state.Gate.ConnectError().toUtf8();
            return state.ConnectError.isEmpty() ? nullptr : state.ConnectError.constData();
        },
        static_cast<const char*>(nullptr));
}

void disconnectbase()
{
    Guarded([] { State().Gate.Disconnect(); });
}

uint8_t dbconnectdlg(void* ParentWindow)
{
    return Guarded(
        [ParentWindow] {
            FendalGate& gate = State().Gate;
            const QStringList saved = gate.Details();
            QDialog dialog(static_cast<QWidget*>(ParentWindow));
            dialog.setWindowTitle(QStringLiteral("Database Connection"));
            auto* layout = new QVBoxLayout(&dialog);
            layout->addWidget(NewConnectionPage(&dialog, gate));
            auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
            QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
            QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
            layout->addWidget(buttons);
            if (dialog.exec() == QDialog::Accepted)
                return uint8_t(1);
            gate.SetDetails(saved);
            return uint8_t(0);
        },
        uint8_t(0));
}

void getdatabasenames(char** Names)
{
    HandOut(Names, [] { return State().Gate.DatabaseNames(); });
}

void tablesbydatabase(char** Tables)
{
    HandOut(Tables, [] { return State().Gate.Tables(); });
}

void getsqlvalues(const char* SQL, char** Values, char** Items)
{
    if (Values)
        *Values = nullptr;
    if (Items)
        *Items = nullptr;
    Guarded([=] {
        const FendalRows rows = State().Gate.Query(Required(SQL));
        HandOut(Values, [&] { return ColumnValues(rows, 0); });
        HandOut(Items, [&] { return ColumnValues(rows, rows.Columns.size() > 1 ? 1 : 0); });
    });
}

void fieldsbytable(const char* TableName, char** Fields)
{
    HandOut(Fields, [TableName] {
        TDBFieldList fields;
        State().Gate.Fields(Required(TableName), fields);
        QStringList lines;
        fields.SaveToStrings(lines);
        return lines;
    });
}

void linksbydatabase(char** Links)
{
    HandOut(Links, [] { return State().Gate.Links(); });
}

const char16_t* getcurrentdbname()
{
    return Guarded(
        [] {
            FendalState& state = State();
            state.CurrentDBName = state.Gate.CurrentDBName();
            return reinterpret_cast<const char16_t*>(state.CurrentDBName.utf16());
        },
        static_cast<const char16_t*>(nullptr));
}

void setcurrentdbname(const char16_t* Name)
{
    Guarded([Name] { State().Gate.SetCurrentDBName(Name ? QString::fromUtf16(Name) : QString()); });
}

const char* getdllinfo()
{
    return "Fendal: SQLite database files through Qt SQL";
}

int32_t showresult(void* ParentWindow, const char* SQL, const char* Captions)
{
    return Guarded(
        [=] {
            auto* parent = static_cast<QWidget*>(ParentWindow);
            if (!parent)
                return int32_t(-1);
            FendalState& state = State();
            FendalRows rows;
            QString error;
            try {
                rows = state.Gate.Query(Required(SQL));
            } catch (const std::exception& e) {
                error = QString::fromUtf8(e.what());
            }
            state.ResultView = ShowRows(parent, state.ResultView, rows, LinesFromText(Captions), error);
            return error.isEmpty() ? int32_t(rows.Rows.size()) : int32_t(-1);
        },
        int32_t(-1));
}

void repaintresult()
{
    Guarded([] {
        if (QTableView* view = State().ResultView)
            FitToParent(view, true);
    });
}

void disposetext(char* Text)
{
    DisposeText(Text);
}

void* dbconnectdlgparented(void* ParentWindow)
{
    return Guarded(
        [ParentWindow]() -> void* {
            FendalState& state = State();
            delete state.ConnectionPage.data();
            state.ConnectionPage = NewConnectionPage(static_cast<QWidget*>(ParentWindow), state.Gate);
            return state.ConnectionPage.data();
        },
        static_cast<void*>(nullptr));
}

void repaintdbconnectdlg()
{
    Guarded([] {
        if (QWidget* page = State().ConnectionPage)
            FitToParent(page, false);
    });
}

}  // extern "C"
