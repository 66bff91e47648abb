#pragma once

#include <QTreeWidget>

namespace tesmera {

class TMainForm;

// The fields page's tree: its keys, the right mouse button and drops go to the wizard window, which
// moves the model's fields and groups and the nodes together.
class TFieldsTree : public QTreeWidget {
    Q_OBJECT
public:
    TFieldsTree(TMainForm* Form, QWidget* Parent);

    bool Editing() const { return state() == EditingState; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;

private:
    TMainForm* FForm;
};

}  // namespace tesmera
