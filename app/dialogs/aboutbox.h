#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The program's version as the build states it; empty when it states none.
QString GetFileVersionText();

// The about box: the program's name, its version and the maker's web and mail addresses.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* Owner = nullptr);

    // Opens the clicked link label's caption (a mail address as a mail link).
    void lbWWWClick(QLabel* Sender);

    QLabel* lblVersion = nullptr;
    QLabel* lblHomePage = nullptr;
    QLabel* lblEmail = nullptr;
    QPushButton* pbOk = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
};
