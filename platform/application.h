#pragma once

#include <QApplication>

namespace platform {

// The program's application object: notify() is the backstop that shows an exception escaping an
// event handler in a message box and lets the program go on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace platform
