#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Database information without a database, so that texts of every version can be read.
class OfflineDBInfo : public TZDBInfo {
public:
    bool IsConnected() override { return false; }
};

QStringList Written(const TZCustomDBStructure& Model)
{
    QStringList lines;
    Model.SaveToStrings(lines);
    return lines;
}

}  // namespace

// Any bytes, read as a model file: the reader answers with a model or with an exception of the system,
// and leaves the model as it was when it fails. A model it read writes a text that reads back without
// an error to a model that writes the same text again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    OfflineDBInfo info;
    TZCustomDBStructure model;
    model.SetDatabaseInfo(&info);
    const QStringList before = Written(model);
    rtl::StringList lines;
    lines.SetText(rtl::DecodeFileText(QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size))));
    try {
        model.LoadFromStrings(lines);
    } catch (const rtl::Exception&) {
        if (Written(model) != before)
            abort();
        return 0;
    }
    const QStringList written = Written(model);
    TZCustomDBStructure copy;
    copy.SetDatabaseInfo(&info);
    try {
        copy.LoadFromStrings(written);
    } catch (const rtl::Exception&) {
        abort();
    }
    if (Written(copy) != written)
        abort();
    return 0;
}
