#include "tests/core/editor/editortest.h"

#include "platform/messagebox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

using OperatorsPageTest = EditorTest;

namespace {

QStringList Lines(const QListWidget* List)
{
    QStringList lines;
    for (int i = 0; i < List->count(); ++i)
        lines.append(List->item(i)->text());
    return lines;
}

}  // namespace

TEST_F(OperatorsPageTest, NewOperatorsHaveUniqueNamesAndDuplicatesAreRefused)
{
    Open();
    const int count = Copy()->GetOperatorCount();
    Editor->sbAddOperator->click();
    TDSOperator* first = Editor->CurrentOperator();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Name(), "New operator");
    EXPECT_EQ(first->AppliedTypes(), EqualityTypes);
    EXPECT_FALSE(first->AppliedTypes().Contains(ftMemo));
    EXPECT_FALSE(Editor->pnlOperatorProps->isHidden());
    Editor->sbAddOperator->click();
    TDSOperator* second = Editor->CurrentOperator();
    EXPECT_EQ(second->Name(), "New operator 2");
    EXPECT_EQ(Copy()->GetOperatorCount(), count + 2);

    Editor->edOpName->setText("NEW OPERATOR");
    Editor->edOpNameChange();
    platform::ScriptedAnswers answers {platform::IDOK};
    Editor->lbOperators->setCurrentRow(0);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(second->Name(), "New operator 2");
    EXPECT_EQ(Editor->CurrentOperator(), second);
    EXPECT_EQ(Editor->lbOperators->currentRow(), count + 1);
    Editor->edOpName->setText("Like");
    Editor->lbOperators->setCurrentRow(0);
    EXPECT_EQ(second->Name(), "Like");
}

TEST_F(OperatorsPageTest, ShownOperatorGetsDefaultTypesAndExpressionType)
{
    Model.SetExOperators(AllExOperators - TExOperators {xoContains});
    Model.AddOperator("contains", "has", TFieldTypes {}, QString(), "@f like '%@1%'");
    Model.OperatorByName("Equal")->SetExprType(ftInteger);
    Open();
    const int contains = int(Copy()->Operators().size()) - 1;
    Editor->lbOperators->setCurrentRow(contains);
    EXPECT_EQ(Copy()->GetOperator(contains)->AppliedTypes(), PatternTypes);
    EXPECT_EQ(Editor->cbOpExprType->currentIndex(), 0);

    Editor->lbOperators->setCurrentRow(Copy()->IndexOfOperator("Equal"));
    EXPECT_EQ(Editor->cbOpExprType->currentText(), "ftInteger");
    Editor->cbOpExprType->setCurrentIndex(0);
    Editor->clbTypes->item(0)->setCheckState(Qt::Unchecked);
    Editor->CommitAll();
    TDSOperator* equal = Copy()->OperatorByName("Equal");
    EXPECT_EQ(equal->ExprType(), ftUnknown);
    EXPECT_FALSE(equal->AppliedTypes().Contains(ftString));

    // Only the stored types count when the operator goes to every fitting field.
    TDSField* city = Copy()->FindField(flDisplayName, "City");
    equal->SetAppliedTypes({ftString});
    city->DeleteOperator(city->IndexOfOperator(equal));
    Editor->sbAddOperatorToAllFields->click();
    EXPECT_GE(city->IndexOfOperator(equal), 0);
}

TEST_F(OperatorsPageTest, DeletingTheOnlyOperatorCommitsNothingFromTheControls)
{
    Open();
    platform::ScriptedAnswers answers;
    while (Copy()->GetOperatorCount() > 1) {
        Editor->lbOperators->setCurrentRow(0);
        answers.Push(platform::IDYES);
        Editor->sbDeleteOperator->click();
    }
    TDSOperator* last = Copy()->GetOperator(0);
    const QString name = last->Name();
    Editor->edOpName->setText("Changed");
    answers.Push(platform::IDYES);
    Editor->sbDeleteOperator->click();
    EXPECT_EQ(Copy()->GetOperatorCount(), 0);
    EXPECT_EQ(Editor->CurrentOperator(), nullptr);
    EXPECT_FALSE(Editor->pnlOperatorProps->isHidden());
    EXPECT_FALSE(Editor->sbDeleteOperator->isEnabled());
    for (const TDSField* field : Copy()->Fields())
        EXPECT_EQ(field->GetOperatorCount(), 0);
    Editor->CommitAll();
}

TEST_F(OperatorsPageTest, ConditionValueSlotsFollowTheDisplayFormat)
{
    Open();
    Editor->sbAddCondition->click();
    TDSCondition* condition = Editor->CurrentCondition();
    ASSERT_NE(condition, nullptr);
    EXPECT_EQ(condition->DF(), "New condition @");
    EXPECT_EQ(Lines(Editor->lbCondValues), QStringList {"Value 1"});
    EXPECT_EQ(Editor->lbCondValues->currentRow(), 0);

    // The value's type is edited in the working copy; a caption edit keeps it by slot.
    Editor->cbCondValType->setCurrentIndex(Editor->cbCondValType->findText("ftInteger"));
    Editor->rgCondValueDataKind->SetItemIndex(vkList);
    Editor->edDisplayFormat->setText("Orders from @ to @");
    Editor->edDisplayFormatChange();
    Editor->ChangeValueList();
    EXPECT_EQ(Lines(Editor->lbCondValues), QStringList({"Value 1", "Value 2"}));
    EXPECT_EQ(Editor->lbCondValues->currentRow(), 0);
    ASSERT_EQ(condition->Values().Count(), 2);
    EXPECT_EQ(condition->Values()[0]->DataType(), ftInteger);
    EXPECT_EQ(condition->Values()[0]->ValueKind(), vkList);
    EXPECT_EQ(condition->Values()[1]->DataType(), ftString);

    // Leaving the format edit unchanged loses no value edit.
    Editor->lbCondValues->setCurrentRow(1);
    Editor->cbCondValType->setCurrentIndex(Editor->cbCondValType->findText("ftDate"));
    Editor->ChangeValueList();
    Editor->sbAddCondition->click();
    EXPECT_EQ(condition->Values()[1]->DataType(), ftDate);
    EXPECT_EQ(Editor->CurrentCondition()->DF(), "New condition @");
    EXPECT_EQ(Lines(Editor->lbConditions)[0], condition->GetCaption());
}

TEST_F(OperatorsPageTest, ConditionsWithOneFormatAreRefusedAndDeletingTheLastHidesTheProperties)
{
    Open();
    Editor->sbAddCondition->click();
    Editor->sbAddCondition->click();
    TDSCondition* second = Editor->CurrentCondition();
    Editor->edDisplayFormat->setText("NEW CONDITION @");
    platform::ScriptedAnswers answers {platform::IDOK};
    Editor->lbConditions->setCurrentRow(0);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Editor->CurrentCondition(), second);
    EXPECT_EQ(Editor->lbConditions->currentRow(), 1);
    EXPECT_EQ(second->DF(), "New condition 2 @");
    Editor->edDisplayFormat->setText(second->DF());

    answers.Push(platform::IDYES);
    Editor->sbDeleteCondition->click();
    answers.Push(platform::IDYES);
    Editor->sbDeleteCondition->click();
    EXPECT_EQ(Copy()->Conditions().Count(), 0);
    EXPECT_EQ(Editor->CurrentCondition(), nullptr);
    EXPECT_TRUE(Editor->pnlCondProps->isHidden());
}
