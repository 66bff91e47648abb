#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace platform {

// Message box flags and answers with the values callers compare against.
enum MessageBoxFlags : int {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum MessageBoxAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows a modal message box and returns the pressed button's answer. Escape and the window's close
// button answer Cancel where the box has it; a Yes/No question stays until Yes or No is pressed.
int MessageBox(const QString& text, const QString& caption, int flags);
// Yes/No question with the question icon: IDYES or IDNO.
int AskYesNo(const QString& text, const QString& caption = QString());
void ShowInformation(const QString& text, const QString& caption = QString());
void ShowError(const QString& text, const QString& caption = QString());

// Answers message boxes from a script instead of showing them, for as long as it lives; records
// every box asked. A box with no scripted answer left gets IDOK, or IDNO for a question, is
// counted in Unanswered() and is passed to OnUnanswered, so a test can fail on it.
class ScriptedAnswers {
public:
    struct Box {
        QString Text;
        QString Caption;
        int Flags;
    };

    ScriptedAnswers();
    explicit ScriptedAnswers(std::initializer_list<int> answers);
    ~ScriptedAnswers();
    ScriptedAnswers(const ScriptedAnswers&) = delete;
    ScriptedAnswers& operator=(const ScriptedAnswers&) = delete;

    void Push(int answer) { FAnswers.push_back(answer); }
    const std::deque<Box>& Asked() const { return FAsked; }
    QStringList AskedTexts() const;
    int Unanswered() const { return FUnanswered; }

    std::function<void(const Box& Asked)> OnUnanswered;

    // Used by MessageBox while a script is installed.
    int Answer(const QString& text, const QString& caption, int flags);

private:
    std::deque<int> FAnswers;
    std::deque<Box> FAsked;
    int FUnanswered = 0;
    ScriptedAnswers* FPrevious;
};

}  // namespace platform
