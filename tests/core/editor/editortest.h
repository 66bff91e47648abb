#pragma once

#include "core/dbinfo/dbinfo.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/ui/fieldtree.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Stream)
{
    *Stream << '"' << Text.toStdString() << '"';
}

// Database information that stores connection details as a gate does, and counts how often a
// model text handed it new ones.
class TFakeDBInfo : public TZDBInfo {
public:
    QStringList Details;
    int Loads = 0;

    bool IsConnected() override { return false; }
    void LoadInfo(QStringList& Lines) override
    {
        Details = Lines;
        Lines.clear();
        ++Loads;
    }
    void SaveInfo(QStringList& Lines) override { Lines = Details; }
};

// A caller's model over the fake database (two tables; a group "Sales" with three fields, two
// root fields) and an editor opened on it as ExecuteDataModelEditor opens it, but not modal.
class EditorTest : public testing::Test {
protected:
    void SetUp() override
    {
        Model.SetDatabaseInfo(&Info);
        Info.Details = QStringList {QStringLiteral("Database=live.db")};
        Info.Loads = 0;
        Model.AddTable(QStringLiteral("Customers"), QStringLiteral("Customers"));
        Model.AddTable(QStringLiteral("Orders"), QStringLiteral("Orders"));
        Model.Tables()[0]->SetAlias(QStringLiteral("Customers"));
        Model.Tables()[1]->SetAlias(QStringLiteral("Orders"));
        Model.Tables()[0]->SetDsgnPos(QRect(12, 10, 110, 160));
        Model.Tables()[1]->SetDsgnPos(QRect(162, 10, 110, 160));
        auto* sales = new TDSFieldGroup(&Model);
        sales->SetGroupName(QStringLiteral("Sales"));
        Model.FieldGroups().Add(sales);
        for (const char* name : {"Freight", "OrderDate", "ShipName"})
            AddData(QString::fromLatin1(name), Model.Tables()[1])->SetGroup(sales);
        AddData(QStringLiteral("CompanyName"), Model.Tables()[0]);
        AddData(QStringLiteral("City"), Model.Tables()[0]);
    }

    TDSField* AddData(const QString& Name, TDSTable* Table)
    {
        TDSField* field = Model.Fields()[Model.AddField(zfkData, Name, Table, Name)];
        field->ResetOperators();
        return field;
    }

    static QStringList Text(const TZCustomDBStructure& Structure)
    {
        QStringList lines;
        Structure.SaveToStrings(lines);
        return lines;
    }

    // Line by line, so a failure names the first line that differs.
    static void ExpectSameText(const QStringList& Actual, const QStringList& Expected)
    {
        for (int i = 0; i < std::min(Actual.size(), Expected.size()); ++i)
            ASSERT_EQ(Actual[i], Expected[i]) << "line " << i + 1;
        EXPECT_EQ(Actual.size(), Expected.size());
    }

    void Open()
    {
        Editor = std::make_unique<T_dlgDataModelEditor>();
        Editor->TakeSettings(&Model);
        Editor->CopyModelIn(&Model);
        Editor->show();
    }

    TZCustomDBStructure* Copy() const { return Editor->Model(); }

    // The node of the copy's field or group of that caption.
    QTreeWidgetItem* Node(const QString& Caption) const
    {
        const auto found = Editor->tvFields->findItems(Caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << Caption.toStdString();
        return found.value(0);
    }
    // Selects a node as a click on it does.
    void Click(const QString& Caption) const { Editor->tvFields->setCurrentItem(Node(Caption)); }

    static QStringList Names(const TDSFieldList& Fields)
    {
        QStringList names;
        for (const TDSField* field : Fields)
            names.append(field->DisplayName());
        return names;
    }
    static QStringList Children(const QTreeWidgetItem* Node)
    {
        QStringList texts;
        for (int i = 0; i < Node->childCount(); ++i)
            texts.append(Node->child(i)->text(0));
        return texts;
    }
    QStringList TopLevel() const
    {
        QStringList texts;
        for (int i = 0; i < Editor->tvFields->topLevelItemCount(); ++i)
            texts.append(Editor->tvFields->topLevelItem(i)->text(0));
        return texts;
    }

    TFakeDBInfo Info;
    TZDBStructure Model;
    std::unique_ptr<T_dlgDataModelEditor> Editor;
};
