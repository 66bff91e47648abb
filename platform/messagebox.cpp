#include "platform/messagebox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include <cstdio>

namespace platform {

namespace {

ScriptedAnswers* CurrentScript = nullptr;

constexpr int ButtonsMask = 0x0F;
constexpr int IconMask = 0xF0;

bool IsQuestion(int flags)
{
    const int buttons = flags & ButtonsMask;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
}

// The answer of a box nobody answered: the harmless one.
int DefaultAnswer(int flags)
{
    return IsQuestion(flags) ? IDNO : IDOK;
}

QMessageBox::StandardButtons ButtonsOf(int flags)
{
    switch (flags & ButtonsMask) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & IconMask) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int AnswerOf(QMessageBox::StandardButton button, int flags)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        // Closed without a button: Cancel where there is one, else the harmless answer.
        return ButtonsOf(flags).testFlag(QMessageBox::Cancel) ? IDCANCEL : DefaultAnswer(flags);
    }
}

// The program's box. A question that only Yes or No answers ignores Escape and the window's close
// button: the box would take No for them, and a user who meant to leave the question would lose
// what it asked about. It stays until a button is pressed.
class TMessageBox : public QMessageBox {
public:
    TMessageBox(const QString& text, const QString& caption, int flags)
        : QMessageBox(IconOf(flags), caption, text, ButtonsOf(flags), QApplication::activeWindow()),
          FAnswerRequired((flags & ButtonsMask) == MB_YESNO)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* Event) override
    {
        if (FAnswerRequired && Event->matches(QKeySequence::Cancel))
            Event->accept();
        else
            QMessageBox::keyPressEvent(Event);
    }
    void closeEvent(QCloseEvent* Event) override
    {
        if (FAnswerRequired)
            Event->ignore();
        else
            QMessageBox::closeEvent(Event);
    }

private:
    bool FAnswerRequired;
};

}  // namespace

int MessageBox(const QString& text, const QString& caption, int flags)
{
    if (CurrentScript != nullptr)
        return CurrentScript->Answer(text, caption, flags);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // No window can be shown without a GUI application; the text must not be lost.
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
        return DefaultAnswer(flags);
    }
    TMessageBox box(text, caption, flags);
    return AnswerOf(QMessageBox::StandardButton(box.exec()), flags);
}

int AskYesNo(const QString& text, const QString& caption)
{
    return MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION);
}

void ShowInformation(const QString& text, const QString& caption)
{
    MessageBox(text, caption, MB_OK | MB_ICONINFORMATION);
}

void ShowError(const QString& text, const QString& caption)
{
    MessageBox(text, caption, MB_OK | MB_ICONERROR);
}

ScriptedAnswers::ScriptedAnswers() : FPrevious(CurrentScript)
{
    CurrentScript = this;
}

ScriptedAnswers::ScriptedAnswers(std::initializer_list<int> answers) : ScriptedAnswers()
{
    FAnswers.assign(answers);
}

ScriptedAnswers::~ScriptedAnswers()
{
    // Unlinked wherever it stands, so a script that outlives a newer one cannot leave that one
    // answering after it is gone.
    ScriptedAnswers** link = &CurrentScript;
    while (*link != nullptr && *link != this)
        link = &(*link)->FPrevious;
    if (*link == this)
        *link = FPrevious;
}

QStringList ScriptedAnswers::AskedTexts() const
{
    QStringList texts;
    for (const Box& box : FAsked)
        texts.append(box.Text);
    return texts;
}

int ScriptedAnswers::Answer(const QString& text, const QString& caption, int flags)
{
    FAsked.push_back({text, caption, flags});
    if (FAnswers.empty()) {
        ++FUnanswered;
        if (OnUnanswered)
            OnUnanswered(FAsked.back());
        return DefaultAnswer(flags);
    }
    const int answer = FAnswers.front();
    FAnswers.pop_front();
    return answer;
}

}  // namespace platform
