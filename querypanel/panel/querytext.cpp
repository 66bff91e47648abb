#include "querypanel/panel/querypanel.h"

void TZQueryPanel::SaveToStrings(rtl::StringList& Lines)
{
    Lines.clear();
}

void TZQueryPanel::LoadFromStrings(const rtl::StringList& Lines)
{
    Q_UNUSED(Lines);
    Clear();
}
