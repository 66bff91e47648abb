#include "tests/core/editor/editortest.h"

#include "core/ui/controlutils.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// Runs the modal editor over the model; Steps run inside it once it is shown.
bool RunEditor(TZCustomDBStructure& Model, const std::function<void(T_dlgDataModelEditor*)>& Steps)
{
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<T_dlgDataModelEditor*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        Steps(editor);
    });
    return ExecuteDataModelEditor(&Model);
}

// Another model text, with connection details of its own.
QStringList OtherModelText()
{
    TFakeDBInfo info;
    TZDBStructure other;
    other.SetDatabaseInfo(&info);
    info.Details = {QStringLiteral("Database=other.db")};
    other.AddTable(QStringLiteral("Products"), QStringLiteral("Products"));
    QStringList lines;
    other.SaveToStrings(lines);
    return lines;
}

}  // namespace

TEST_F(EditorTest, OkRightAfterOpeningGivesBackTheSameModelText)
{
    const QStringList before = Text(Model);
    const TDSField* oldField = Model.Fields()[0];
    EXPECT_TRUE(RunEditor(Model, [](T_dlgDataModelEditor* Editor) { Editor->sbOK->click(); }));
    ExpectSameText(Text(Model), before);
    EXPECT_NE(Model.Fields()[0], oldField) << "the model is read back from the copy's text";
}

// The copy once re-pointed the caller's gate: a Load inside the editor handed the file's
// connection details to the live database even when the user cancelled.
TEST_F(EditorTest, CancelAfterLoadAndClearLeavesModelAndConnectionAsTheyWere)
{
    const QStringList before = Text(Model);
    const int loads = Info.Loads;
    Model.OnLoadModel = [](QObject*, QStringList& Lines, bool&) { Lines = OtherModelText(); };
    platform::ScriptedAnswers answers {platform::IDYES};
    const bool ok = RunEditor(Model, [](T_dlgDataModelEditor* Editor) {
        Editor->sbLoad->click();
        EXPECT_EQ(Editor->Model()->GetTableCount(), 1);
        EXPECT_EQ(Editor->cbTablesList->count(), 1);
        Editor->sbClear->click();
        EXPECT_EQ(Editor->Model()->GetTableCount(), 0);
        Editor->sbCancel->click();
    });
    EXPECT_FALSE(ok);
    ExpectSameText(Text(Model), before);
    EXPECT_EQ(Info.Details, QStringList {"Database=live.db"});
    EXPECT_EQ(Info.Loads, loads);
    EXPECT_EQ(answers.AskedTexts(), QStringList {"Clear Structure?"});
}

TEST_F(EditorTest, OkAfterLoadHandsTheLoadedConnectionDetailsToTheCaller)
{
    Model.OnLoadModel = [](QObject*, QStringList& Lines, bool&) { Lines = OtherModelText(); };
    EXPECT_TRUE(RunEditor(Model, [](T_dlgDataModelEditor* Editor) {
        Editor->sbLoad->click();
        Editor->sbOK->click();
    }));
    EXPECT_EQ(Model.GetTableCount(), 1);
    EXPECT_EQ(Info.Details, QStringList {"Database=other.db"});
}

// Cancel used to commit first, so an edit that failed to commit kept the window open.
TEST_F(EditorTest, CancelClosesEvenWhenAnEditCannotBeCommitted)
{
    const QStringList before = Text(Model);
    EXPECT_FALSE(RunEditor(Model, [this](T_dlgDataModelEditor* Editor) {
        Editor->pcMain->setCurrentIndex(1);
        Editor->tvFields->setCurrentItem(
            Editor->tvFields->findItems("City", Qt::MatchExactly | Qt::MatchRecursive).value(0));
        Editor->edFieldSize->setText(QStringLiteral("wide"));
        Editor->sbCancel->click();
    }));
    ExpectSameText(Text(Model), before);
}

TEST_F(EditorTest, OkWithAnEditThatCannotBeCommittedKeepsTheWindowOpen)
{
    Open();
    Click("City");
    Editor->edFieldSize->setText(QStringLiteral("wide"));
    platform::ScriptedAnswers answers {platform::IDOK};
    Editor->sbOK->click();
    EXPECT_TRUE(Editor->isVisible());
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_TRUE(answers.Asked()[0].Text.contains("'wide' is not a valid integer value"));
    Editor->edFieldSize->setText(QStringLiteral("40"));
    Editor->sbOK->click();
    EXPECT_FALSE(Editor->isVisible());
    EXPECT_EQ(Editor->result(), QDialog::Accepted);
}

TEST_F(EditorTest, FailedLoadLeavesAConsistentEditor)
{
    Model.OnLoadModel = [](QObject*, QStringList& Lines, bool&) { Lines = {"no model text"}; };
    Open();
    Click("City");
    Editor->lbOperators->setCurrentRow(0);
    platform::ScriptedAnswers answers {platform::IDOK};
    Editor->sbLoad->click();
    EXPECT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Editor->CurrentField(), nullptr);
    EXPECT_EQ(Editor->CurrentOperator(), nullptr);
    EXPECT_EQ(Editor->lbOperators->count(), Copy()->GetOperatorCount());
    EXPECT_EQ(Editor->cbTablesList->count(), Copy()->GetTableCount());
    EXPECT_EQ(Editor->tvFields->topLevelItemCount(), 1 + Copy()->RootGroup()->Count());
    Editor->CommitAll();
}

TEST_F(EditorTest, OperatorFamiliesSwitchedOffStayOffAfterClearAndDefaults)
{
    Model.SetExOperators(AllExOperators - TExOperators {xoContains});
    ASSERT_EQ(Model.IndexOfOperator("Contains"), -1);
    Open();
    platform::ScriptedAnswers answers {platform::IDYES};
    Editor->sbClear->click();
    EXPECT_EQ(Copy()->IndexOfOperator("Contains"), -1);
    EXPECT_GE(Copy()->IndexOfOperator("StartsWith"), 0);
    Editor->sbAddDefOperators->click();
    EXPECT_EQ(Copy()->IndexOfOperator("Contains"), -1);
}

TEST_F(EditorTest, FrameFollowsTheModelsButtonsAndPages)
{
    int helpClicks = 0;
    Model.OnSEHelpClick = [&helpClicks](QObject*) { ++helpClicks; };
    Model.SetDMEButtons({});
    Open();
    EXPECT_TRUE(Editor->pnlOpenSave->isHidden());
    EXPECT_FALSE(Editor->sbClear->isHidden());
    EXPECT_FALSE(Editor->sbOK->isHidden());
    EXPECT_TRUE(Editor->sbClose->isHidden());
    EXPECT_TRUE(Editor->pnlDBConnection->isHidden());
    EXPECT_FALSE(Editor->pnlTablesTools->isHidden());
    Editor->pcMain->setCurrentIndex(2);
    EXPECT_TRUE(Editor->pnlTablesTools->isHidden());
    EXPECT_FALSE(Editor->pnlOperatorsTools->isHidden());
    EXPECT_EQ(Editor->pnlOperatorsTools->parentWidget(), Editor->pnlToolbar);
    // Without a help file only the model's help event runs.
    Editor->sbHelp->click();
    EXPECT_EQ(helpClicks, 1);
}

// A window closed with its title bar above the screen came back with the title bar out of reach;
// the rectangle must be in place before the first show, while it still places the frame.
TEST_F(EditorTest, StoredPlacementComesBackOnTheScreenAndDamagedOneIsIgnored)
{
    platform::Registry registry(platform::DataModelEditorKey);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    registry.WriteString(
        QString(), "Form", QStringLiteral("%1,%2,600,400").arg(area.left() - 50).arg(area.top() - 40));
    const T_dlgDataModelEditor beforeShow;
    EXPECT_EQ(QRect(beforeShow.pos(), beforeShow.size()), QRect(area.topLeft(), QSize(600, 400)));

    registry.WriteString(QString(), "Form", "10,20,wide,400");
    registry.WriteString(QString(), "FieldProps", "x");
    Open();
    EXPECT_NE(Editor->pos(), QPoint(10, 20));
    Editor->sbCancel->click();
    EXPECT_NE(registry.ReadString(QString(), "Form", "x"), "10,20,wide,400");
    registry.DeleteValue(QString(), "Form");
    registry.DeleteValue(QString(), "FieldProps");
}
