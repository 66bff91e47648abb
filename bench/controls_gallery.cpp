// A window with every drop-down control and round button, to look at them on a real display. With
// --screenshots <folder> it opens each chooser and editor in turn, saves the screen as PNG files
// (gallery, popup, submenu, listbox, checklist, editor, picker) and quits; run it under xvfb-run for that.

#include "bench/screenshots.h"
#include "platform/application.h"
#include "querypanel/controls/checklistbox.h"
#include "querypanel/controls/dropdownedit.h"
#include "querypanel/controls/dropdownlistbox.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/controls/roundbutton.h"
#include "rtl/formatsettings.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

using screenshots::Shoot;
using screenshots::Wait;

namespace {

// Lays out sentences of words and controls, one line after another, as the query panel does.
class Sentences {
public:
    explicit Sentences(QWidget* Panel) : FPanel(Panel) {}

    void NewLine()
    {
        FX = 12;
        FY += 30;
    }
    template <typename T>
    T* Add(T* Control, const QColor& Color = Qt::black, bool Underline = false)
    {
        QPalette palette = Control->palette();
        palette.setColor(QPalette::WindowText, Color);
        Control->setPalette(palette);
        if (Underline) {
            QFont font = Control->font();
            font.setUnderline(true);
            Control->setFont(font);
        }
        Control->setParent(FPanel);
        Control->move(FX, FY);
        Control->show();
        FX += Control->width() + 6;
        return Control;
    }
    QLabel* Word(const QString& Text)
    {
        auto* word = new QLabel(Text);
        word->adjustSize();
        return Add(word);
    }
    TZRndBtn* Button(const QString& Caption)
    {
        auto* button = new TZRndBtn;
        button->SetAutoSize(true);
        button->SetCaption(Caption);
        return Add(button);
    }

private:
    QWidget* FPanel;
    int FX = 12;
    int FY = 12;
};

const QColor FieldColor(0, 0, 128);
const QColor OperatorColor(0, 100, 0);
const QColor ValueColor(0, 0, 255);

TDropDownPopup* Operator(const QString& Caption)
{
    auto* chooser = new TDropDownPopup;
    chooser->AddItems(
        "", {"=", "<>", "like", "between"}, {"is equal to", "is not equal to", "contains", "is between"});
    chooser->SetCaption(Caption);
    return chooser;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    rtl::InitFormatSettings();
    const QStringList arguments = QApplication::arguments();
    const qsizetype folderAt = arguments.indexOf("--screenshots") + 1;
    const QString folder = folderAt > 0 ? arguments.value(folderAt) : QString();

    QWidget window;
    window.setWindowTitle("Lumidex controls");
    window.resize(640, 420);
    Sentences s(&window);

    auto* header = new TDropDownPopup;
    header->AddItems("", {"all", "any", "none", "not all"}, {"all", "any", "none", "not all"});
    header->SetItemIndex(0);
    s.Button("");
    s.Word("Choose records where");
    s.Add(header, FieldColor);
    s.Word("of the following apply");

    s.NewLine();
    auto* field = new TDropDownPopup;
    field->SetMaxItemCount(6);
    for (const char* name : {"Company", "Contact", "City", "Country", "Phone"})
        field->AddItem("Customers", name, name);
    for (const char* name : {"Order date", "Shipped", "Freight", "Ship via"})
        field->AddItem("Orders", name, name);
    for (int i = 1; i <= 12; ++i)
        field->AddItem("", QString("expr%1").arg(i), QString("Expression %1").arg(i));
    field->SetCaption("Customers.Company");
    s.Button("1");
    s.Add(field, FieldColor);
    s.Add(Operator("is equal to"), OperatorColor);
    auto* text = new TDropDownEdit;
    text->SetValue("Smith & Sons");
    s.Add(text, ValueColor, true);

    s.NewLine();
    auto* dateField = new TDropDownPopup;
    dateField->SetCaption("Orders.Order date");
    s.Button("2");
    s.Add(dateField, FieldColor);
    s.Add(Operator("is between"), OperatorColor);
    auto* from = new TDropDownDateTimeEdit;
    from->SetKind(ekDate);
    from->SetValue(rtl::DateToStr(rtl::EncodeDate(2024, 1, 1)));
    s.Add(from, ValueColor, true);
    s.Word("and");
    auto* to = new TDropDownDateTimeEdit;
    to->SetKind(ekDate);
    s.Add(to, ValueColor, true);

    s.NewLine();
    s.Button("3");
    auto* countries = new TDropDownCheckListBox;
    countries->AddItems("", {"FR", "ES", "DE", "IT"}, {"France", "Spain", "Germany", "Italy"});
    countries->SetValue("FR,ES");
    s.Add(countries, ValueColor, true);
    auto* phone = new TDropDownMaskEdit;
    phone->SetEditMask("(999) 000-0000;1;_");
    s.Add(phone, ValueColor, true);

    s.NewLine();
    s.Button("4");
    auto* flag = new TDropDownListBox;
    flag->AddItems("", {"0", "1"}, {"False", "True"});
    flag->SetItemIndex(1);
    s.Add(flag, ValueColor, true);
    auto* custom = new TDropDownLabel;
    custom->SetFocusFrame(true);
    s.Add(custom, ValueColor, true);

    // The round button's looks: flat, under the mouse, pressed, square, raised, raised and pressed.
    s.NewLine();
    s.NewLine();
    s.Word("Round buttons:");
    s.Button("flat");
    TZRndBtn* hovered = s.Button("over");
    TZRndBtn* pressed = s.Button("pressed");
    s.Button("square")->SetRounded(false);
    TZRndBtn* raised = s.Button("raised");
    TZRndBtn* sunken = s.Button("sunken");
    for (TZRndBtn* button : {raised, sunken}) {
        button->SetAllowPress(true);
        button->SetFlat(false);
        button->SetPressedColor(button->palette().color(QPalette::Window));
    }
    s.Button("disabled")->setEnabled(false);

    window.show();
    if (folder.isEmpty())
        return app.exec();

    QDir().mkpath(folder);
    Wait(300);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(hovered, &enter);
    for (TZRndBtn* button : {pressed, sunken}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &press);
    }
    Shoot(folder, "gallery");

    // The popup waits while it is open: the shots are taken from inside, the second after opening a
    // submenu.
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        Shoot(folder, "popup");
        for (int key : {Qt::Key_Down, Qt::Key_Right}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(popup, &press);
        }
        Shoot(folder, "submenu");
        while (QWidget* open = QApplication::activePopupWidget())
            open->close();
    });
    field->DropDown();

    const std::pair<TDropDownLabel*, const char*> dropDowns[]
        = {{flag, "listbox"}, {countries, "checklist"}, {text, "editor"}, {from, "picker"}};
    for (const auto& [label, name] : dropDowns) {
        label->DropDown();
        Shoot(folder, name);
        label->CloseUp(false);
    }
    return 0;
}
