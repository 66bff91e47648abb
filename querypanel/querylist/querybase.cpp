#include "querypanel/querylist/querybase.h"

#include "core/base/zstrings.h"
#include "querypanel/query/querytextlines.h"
#include "rtl/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, qbeLastCode + 1> Messages {
    "List index out of bounds (%d)",
    "Query base is not specified",
    "No query text to save for \"%s\"",
    "\"%s\" is not a file name in the query folder",
    "The file %s belongs to another query",
    "Cannot delete the file %s",
    "Query files that cannot be read are not listed:\n%s",
    "The query file %s could not be read: mend it and choose the query again",
};

constexpr QChar Separator = '/';

const QString& CRLF()
{
    static const QString text = QStringLiteral("\r\n");
    return text;
}

}  // namespace

QString EZQueryBaseError::CodeMessage(TQueryBaseErrorCode Code)
{
    return QString::fromUtf8(Messages.at(Code));
}

// --- TZQueryItem ---

void TZQueryItem::SetName(const QString& Value)
{
    if (Value == FName)
        return;
    FName = Value;
    Changed();
}

void TZQueryItem::SetDescription(const QString& Value)
{
    if (Value == FDescription)
        return;
    FDescription = Value;
    Changed();
}

void TZQueryItem::ReadData(rtl::StringList&)
{
}

void TZQueryItem::WriteData(const rtl::StringList&)
{
}

void TZQueryItem::LoadText(const TTextLoader& Load)
{
    FUnread = true;
    rtl::StringList lines;
    ReadData(lines);
    Load(lines);
    FUnread = false;
}

// By the item's own place: names may repeat, and a look-up by name would report another item.
void TZQueryItem::Changed()
{
    if (!FBase)
        return;
    const int index = FBase->IndexOf(this);
    if (index >= 0)
        FBase->NotifyItemChanged(index);
}

bool TZQueryItem::SaveToStrings(rtl::StringList& Lines)
{
    if (!FBase)
        throw EZQueryBaseError::Create(qbeNoBase);
    return FBase->SaveQuery(Lines);
}

// An empty text written over the file would lose the query: with no link answering nothing is written.
// A write that fails leaves the query modified, so it is asked about again.
void TZQueryItem::Save()
{
    if (!FBase)
        throw EZQueryBaseError::Create(qbeNoBase);
    rtl::StringList lines;
    TZQueryBaseLink* source = FBase->QueryTextLink(lines);
    if (!source)
        throw EZQueryBaseError::Create(qbeNoQueryText, FName);
    WriteData(lines);
    source->QuerySaved();
}

// --- TZQueryFileItem ---

TZQueryFileBase* TZQueryFileItem::FileBase() const
{
    return qobject_cast<TZQueryFileBase*>(Base());
}

void TZQueryFileItem::SetFileName(const QString& Value)
{
    if (Value == FFileName)
        return;
    const bool bare = !Value.isEmpty() && !Value.contains(Separator) && !Value.contains('\\')
        && !Value.contains(QStringLiteral("..")) && !Value.contains(QChar(0));
    if (!bare)
        throw EZQueryBaseError::Create(qbeBadFileName, Value);
    if (const TZQueryFileBase* base = FileBase(); base && base->FindFile(Value, this))
        throw EZQueryBaseError::Create(qbeFileTaken, Value);
    FFileName = Value;
    FOwnsFile = false;
}

QString TZQueryFileItem::FilePath() const
{
    const TZQueryFileBase* base = FileBase();
    if (!base)
        throw EZQueryBaseError::Create(qbeNoBase);
    return base->WorkDir() + FFileName;
}

void TZQueryFileItem::ReadData(rtl::StringList& Lines)
{
    const QString path = FilePath();
    if (QFileInfo::exists(path))
        Lines.SetText(rtl::ReadTextFile(path));
    else
        Lines.clear();
}

// A damaged query is found by its file, as a damaged model is: the path goes in front of the message
// unless the message names the file already, and the exception keeps its class and code.
void TZQueryFileItem::LoadText(const TTextLoader& Load)
{
    const QString path = QDir::toNativeSeparators(FilePath());
    try {
        TZQueryItem::LoadText(Load);
    } catch (rtl::Exception& e) {
        if (!e.Message().contains(path))
            e.SetMessage(path + QStringLiteral(": ") + e.Message());
        throw;
    }
}

// A link to nowhere is taken too: writing would create its target, wherever that is.
void TZQueryFileItem::CheckFileFree() const
{
    if (FFileName.isEmpty())
        throw EZQueryBaseError::Create(qbeBadFileName, FFileName);
    const QFileInfo file(FilePath());
    const bool taken
        = FileBase()->FindFile(FFileName, this) || (!FOwnsFile && (file.exists() || file.isSymLink()));
    if (taken)
        throw EZQueryBaseError::Create(qbeFileTaken, FFileName);
}

void TZQueryFileItem::CheckRead() const
{
    if (Unread())
        throw EZQueryBaseError::Create(qbeUnreadQuery, QDir::toNativeSeparators(FilePath()));
}

void TZQueryFileItem::WriteData(const rtl::StringList& Lines)
{
    const QString path = FilePath();
    CheckRead();
    CheckFileFree();
    rtl::WriteTextFile(path, Lines.Text());
    FOwnsFile = true;
}

// Only a file the query owns moves: one that took its name meanwhile is another's.
void TZQueryFileItem::RenameFile(const QString& Value)
{
    const QString oldPath = FilePath();
    const bool moves = FOwnsFile && QFileInfo::exists(oldPath);
    rtl::StringList lines;
    if (moves)
        ReadData(lines);
    const QString oldName = FFileName;
    const bool owned = FOwnsFile;
    SetFileName(Value);
    if (!moves)
        return;
    try {
        WriteData(lines);
    } catch (...) {
        FFileName = oldName;
        FOwnsFile = owned;
        throw;
    }
    if (!QFile::remove(oldPath))
        throw EZQueryBaseError::Create(qbeCannotDelete, oldPath);
}

// --- TZQueryBaseLink ---

TZQueryBaseLink::~TZQueryBaseLink()
{
    SetQueryBase(nullptr);
}

void TZQueryBaseLink::SetQueryBase(TZQueryBase* Value)
{
    if (Value == FQueryBase)
        return;
    if (FQueryBase)
        FQueryBase->RemoveLink(this);
    FQueryBase = Value;
    if (FQueryBase)
        FQueryBase->AddLink(this);
}

void TZQueryBaseLink::ItemChanged(int)
{
}

void TZQueryBaseLink::ActiveItemChanged()
{
}

void TZQueryBaseLink::BaseChanged(uint8_t, int)
{
}

bool TZQueryBaseLink::SaveQuery(rtl::StringList&)
{
    return false;
}

bool TZQueryBaseLink::LoadQuery(const rtl::StringList&)
{
    return false;
}

void TZQueryBaseLink::QuerySaved()
{
}

// --- TZQueryBase ---

TZQueryBase::TZQueryBase(QObject* Owner) : QObject(Owner)
{
}

TZQueryBase::~TZQueryBase()
{
    for (TZQueryBaseLink* link : FLinks)
        link->FQueryBase = nullptr;
    FLinks.clear();
    ClearItems();
}

TZQueryItem* TZQueryBase::Items(int N) const
{
    CheckIndex(N);
    return FItems[size_t(N)].get();
}

TZQueryItem* TZQueryBase::CurrentItem() const
{
    return FItemIndex >= 0 && FItemIndex < Count() ? FItems[size_t(FItemIndex)].get() : nullptr;
}

void TZQueryBase::CheckIndex(int N) const
{
    if (N < 0 || N >= Count())
        throw EZQueryBaseError::Create(qbeIndexOutOfBounds, N);
}

// A current query whose text could not be read is read again when chosen again: its file may have
// been mended.
void TZQueryBase::SetItemIndex(int N)
{
    if (N == FItemIndex && !(CurrentItem() && CurrentItem()->Unread()))
        return;
    Scroll(N);
}

void TZQueryBase::Scroll(int N)
{
    CheckIndex(N);
    DoBeforeScroll();
    FItemIndex = N;
    NotifyLinks([](TZQueryBaseLink* link) { link->ActiveItemChanged(); });
    DoAfterScroll();
}

int TZQueryBase::IndexOfName(const QString& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)]->Name().compare(S, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TZQueryBase::IndexOf(const TZQueryItem* Item) const
{
    const auto found = std::find_if(
        FItems.begin(), FItems.end(), [Item](const auto& owned) { return owned.get() == Item; });
    return found == FItems.end() ? -1 : int(found - FItems.begin());
}

// Links may detach while they are told, so they are told from a copy of the list.
template <typename F>
void TZQueryBase::NotifyLinks(F&& Notify)
{
    if (FLoading)
        return;
    const std::vector<TZQueryBaseLink*> links = FLinks;
    for (TZQueryBaseLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            Notify(link);
}

void TZQueryBase::NotifyItemChanged(int N)
{
    NotifyLinks([N](TZQueryBaseLink* link) { link->ItemChanged(N); });
}

int TZQueryBase::AddItem(std::unique_ptr<TZQueryItem> Item)
{
    Item->FBase = this;
    FItems.push_back(std::move(Item));
    const int index = Count() - 1;
    NotifyLinks([index](TZQueryBaseLink* link) { link->BaseChanged(bkAdded, index); });
    NotifyItemChanged(index);
    return index;
}

bool TZQueryBase::SaveQuery(rtl::StringList& Lines)
{
    return QueryTextLink(Lines) != nullptr;
}

TZQueryBaseLink* TZQueryBase::QueryTextLink(rtl::StringList& Lines)
{
    const std::vector<TZQueryBaseLink*> links = FLinks;
    const auto found = std::find_if(
        links.begin(), links.end(), [&Lines](TZQueryBaseLink* link) { return link->SaveQuery(Lines); });
    return found == links.end() ? nullptr : *found;
}

void TZQueryBase::ClearItems()
{
    FItems.clear();
}

void TZQueryBase::Open()
{
    if (FActive)
        Close();
    // What a listing that failed halfway left behind is read again, not kept beside the new items.
    FItemIndex = -1;
    ClearItems();
    DoBeforeOpen();
    LoadItems();
    NotifyLinks([](TZQueryBaseLink* link) { link->BaseChanged(bkOpened, -1); });
    FActive = true;
    if (Count() > 0)
        SetItemIndex(0);
    DoAfterOpen();
}

void TZQueryBase::Close()
{
    DoBeforeClose();
    FActive = false;
    FItemIndex = -1;
    ClearItems();
    NotifyLinks([](TZQueryBaseLink* link) { link->BaseChanged(bkClosed, -1); });
    DoAfterClose();
}

std::unique_ptr<TZQueryItem> TZQueryBase::NewItem()
{
    return nullptr;
}

void TZQueryBase::AddLink(TZQueryBaseLink* Link)
{
    if (std::find(FLinks.begin(), FLinks.end(), Link) == FLinks.end())
        FLinks.push_back(Link);
}

void TZQueryBase::RemoveLink(TZQueryBaseLink* Link)
{
    std::erase(FLinks, Link);
}

// The links hear of the deletion with the current item where it now stands: an earlier item going
// moves it down a place. When the current item itself went, none is current while they hear of it,
// so the panel drops the query it shows; the item that takes its place is then loaded as a new
// current item.
void TZQueryBase::DeleteItem(int N)
{
    CheckIndex(N);
    FItems.erase(FItems.begin() + N);
    const bool current = N == FItemIndex;
    if (current)
        FItemIndex = -1;
    else if (N < FItemIndex)
        --FItemIndex;
    NotifyLinks([N](TZQueryBaseLink* link) { link->BaseChanged(bkDeleted, N); });
    if (!current)
        return;
    if (N < Count())
        Scroll(N);
    else if (N > 0)
        Scroll(N - 1);
}

void TZQueryBase::Fire(const TNotifyEvent& Event)
{
    if (Event)
        Event(this);
}

void TZQueryBase::DoBeforeScroll()
{
    Fire(BeforeScroll);
}

void TZQueryBase::DoAfterScroll()
{
    Fire(AfterScroll);
}

void TZQueryBase::DoBeforeOpen()
{
    Fire(BeforeOpen);
}

void TZQueryBase::DoAfterOpen()
{
    Fire(AfterOpen);
}

void TZQueryBase::DoBeforeClose()
{
    Fire(BeforeClose);
}

void TZQueryBase::DoAfterClose()
{
    Fire(AfterClose);
}

// --- TZQueryFileBase ---

void TZQueryFileBase::SetWorkDir(const QString& Value)
{
    if (Value == FWorkDir || Value + Separator == FWorkDir)
        return;
    const bool reopen = Active();
    if (reopen)
        Close();
    FWorkDir = Value.isEmpty() || Value.endsWith(Separator) ? Value : Value + Separator;
    if (reopen)
        Open();
}

TZQueryFileItem* TZQueryFileBase::CurrentItem() const
{
    return static_cast<TZQueryFileItem*>(TZQueryBase::CurrentItem());
}

TZQueryFileItem* TZQueryFileBase::FindFile(const QString& FileName, const TZQueryFileItem* Except) const
{
    for (int i = 0; i < Count(); ++i) {
        auto* item = static_cast<TZQueryFileItem*>(Items(i));
        if (item != Except && item->FileName() == FileName)
            return item;
    }
    return nullptr;
}

std::unique_ptr<TZQueryItem> TZQueryFileBase::NewItem()
{
    return std::make_unique<TZQueryFileItem>();
}

namespace {

// Names and description lines the text escaped (line breaks, blank or "[" lines) read back whole.
void ReadHeader(TZQueryFileItem& Item, const QString& Path)
{
    rtl::StringList lines;
    lines.SetText(rtl::ReadTextFile(Path));
    QStringList section;
    ReadIniSection(0, lines, QStringLiteral("Main"), section);
    const rtl::StringList main(section);
    const querytext::TextCodec codec {StrToBoolDef(main.Values(querytext::EscapedKey))};
    Item.SetName(codec.Get(main.Values(QStringLiteral("QueryName"))));
    ReadIniSection(0, lines, QStringLiteral("Description"), section);
    QString description;
    for (const QString& line : section)
        description += codec.GetLine(line) + CRLF();
    Item.SetDescription(description);
    if (Item.Name().isEmpty())
        Item.SetName(RemoveFileExt(Path));
}

}  // namespace

// Every entry is read through rtl::ReadTextFile, which refuses a folder, FIFO or device by name before
// it opens anything (a FIFO would block).
void TZQueryFileBase::LoadItems()
{
    LoadingScope loading(this);
    FUnreadFiles.clear();
    const QString folder = FWorkDir.isEmpty() ? QStringLiteral(".") : FWorkDir;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.qry")},
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QString& name : names) {
        auto item = std::make_unique<TZQueryFileItem>();
        item->FFileName = name;
        item->FOwnsFile = true;
        try {
            ReadHeader(*item, FWorkDir + name);
        } catch (const rtl::Exception& e) {
            FUnreadFiles.append(e.Message());
            continue;
        }
        AddItem(std::move(item));
    }
}

void TZQueryFileBase::Open()
{
    TZQueryBase::Open();
    if (!FUnreadFiles.isEmpty())
        throw EZQueryBaseError::Create(qbeUnreadFiles, FUnreadFiles.join(u'\n'));
}

void TZQueryFileBase::DeleteItem(int N)
{
    CheckIndex(N);
    const auto* item = static_cast<TZQueryFileItem*>(Items(N));
    const QString path = item->FilePath();
    // A query never saved leaves alone a file that happens to bear its name.
    if (item->FOwnsFile && QFileInfo(path).exists() && !QFile::remove(path))
        throw EZQueryBaseError::Create(qbeCannotDelete, path);
    TZQueryBase::DeleteItem(N);
}
