#include "querypanel/panel/appearance.h"

#include "querypanel/panel/querypanel.h"

#include <QApplication>
#include <QPalette>

QColor ColorToQColor(TColor Color)
{
    if ((Color & 0xFF000000) == 0)
        return QColor(int(Color & 0xFF), int((Color >> 8) & 0xFF), int((Color >> 16) & 0xFF));
    // The Windows system colours the panel's defaults name, mapped to the palette's roles.
    const QPalette palette = QApplication::palette();
    switch (Color & 0xFF) {
    case 5:  // window
        return palette.color(QPalette::Base);
    case 8:  // window text
        return palette.color(QPalette::Text);
    case 13:  // highlight
        return palette.color(QPalette::Highlight);
    case 15:  // button face
        return palette.color(QPalette::Button);
    case 16:  // button shadow
        return palette.color(QPalette::Mid);
    case 20:  // button highlight
        return palette.color(QPalette::Light);
    default:
        return palette.color(QPalette::Window);
    }
}

void SetFontColor(QWidget* Control, TColor Color)
{
    QPalette palette = Control->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, ColorToQColor(Color));
    Control->setPalette(palette);
}

void TQPAppearance::EndUpdate()
{
    FUpdateLock = false;
    Changed();
}

void TQPAppearance::Changed()
{
    if (!FUpdateLock && FPanel)
        FPanel->Relayout();
}

void TQPAppearance::AssignTo(TQPAppearance& Dest) const
{
    // Under the lock the setters only store, so nothing can fail before EndUpdate rebuilds once.
    Dest.BeginUpdate();
    Dest.SetActiveRowColor(FActiveRowColor);
    Dest.SetControlBorderColor(FControlBorderColor);
    Dest.SetFieldColor(FFieldColor);
    Dest.SetOperatorColor(FOperatorColor);
    Dest.SetValueColor(FValueColor);
    Dest.SetBoolOpColor(FBoolOpColor);
    Dest.SetOptions(FOptions);
    Dest.SetStyle(FStyle);
    Dest.EndUpdate();
}

TZFlatCheckBox::TZFlatCheckBox(QWidget* Parent) : QCheckBox(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}
