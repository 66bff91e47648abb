#include "querypanel/parser/sqlparser.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Every node knows its bracket, and the texts can be built.
void Check(const TSQLConditionNode* Node, const TSQLBracket* Parent)
{
    if (Node->Parent() != Parent)
        abort();
    if (auto* condition = dynamic_cast<const TSQLCondition*>(Node)) {
        condition->GetText();
        return;
    }
    auto* bracket = static_cast<const TSQLBracket*>(Node);
    for (const TSQLConditionNode* child : bracket->Nodes())
        Check(child, bracket);
}

}  // namespace

// Any text: the parser answers with a result or with ESQLParserError, nothing else.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TZSQLParser parser;
    parser.SetSQL(QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size)).split('\n'));
    try {
        parser.Parse();
    } catch (const ESQLParserError&) {
    }
    Check(parser.Result().Root(), nullptr);
    Check(parser.Result().Having(), nullptr);
    for (const TSQLResultField* field : parser.Result().ResultFields()) {
        if (field->SortType() < 0 || field->SortType() > 2)
            abort();
    }
    return 0;
}
