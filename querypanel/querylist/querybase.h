#pragma once

#include "core/base/latticeerror.h"
#include "rtl/stringlist.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TZQueryBase;
class TZQueryFileBase;

// Failures of the query list; the codes and their messages are in one table.
enum TQueryBaseErrorCode {
    qbeIndexOutOfBounds,
    qbeNoBase,
    qbeNoQueryText,
    qbeBadFileName,
    qbeFileTaken,
    qbeCannotDelete,
    qbeUnreadFiles,
    qbeUnreadQuery,
    qbeLastCode = qbeUnreadQuery
};

class EZQueryBaseError : public EZLatticeError {
public:
    using EZLatticeError::EZLatticeError;

    template <typename... Args>
    static EZQueryBaseError Create(TQueryBaseErrorCode Code, const Args&... args)
    {
        return EZQueryBaseError(Code, rtl::Format(CodeMessage(Code), args...));
    }
    static QString CodeMessage(TQueryBaseErrorCode Code);
};

// One saved query of a query list: its name and description; the text itself is read and written
// by the descendants that know where it lives.
class TZQueryItem {
public:
    virtual ~TZQueryItem() = default;

    const QString& Name() const { return FName; }
    void SetName(const QString& Value);
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value);
    TZQueryBase* Base() const { return FBase; }

    virtual void ReadData(rtl::StringList& Lines);
    virtual void WriteData(const rtl::StringList& Lines);
    using TTextLoader = std::function<void(const rtl::StringList& Lines)>;
    // Reads the text through ReadData and hands it to Load; Unread tells whether that failed.
    virtual void LoadText(const TTextLoader& Load);
    // The last LoadText failed: what the links show is not this query.
    bool Unread() const { return FUnread; }
    // Asks the base's links for the query's text; raises when the item is in no base.
    bool SaveToStrings(rtl::StringList& Lines);
    // Writes the text the links give; raises instead of writing when no link gives one. The link
    // that gave it hears that the query is saved only once the text is written.
    void Save();

protected:
    void Changed();

private:
    friend class TZQueryBase;
    QString FName;
    QString FDescription;
    TZQueryBase* FBase = nullptr;
    bool FUnread = false;
};

// A query kept as a *.qry file in the base's folder.
class TZQueryFileItem : public TZQueryItem {
public:
    const QString& FileName() const { return FFileName; }
    // A bare file name in the base's folder: a name with a folder separator or "..", or one another
    // query of the base already uses, raises.
    void SetFileName(const QString& Value);
    // The base's folder followed by the file name.
    QString FilePath() const;

    // Moves the file's content to the new name, which SetFileName checks; a write that fails
    // leaves the query with its own file.
    void RenameFile(const QString& Value);
    // Raises naming the file when the query's text could not be read: nothing may be built from
    // what the links show, nor written over the file.
    void CheckRead() const;

    void ReadData(rtl::StringList& Lines) override;
    // Refused while the text could not be read.
    void WriteData(const rtl::StringList& Lines) override;
    // What reading or loading the text raises names the file.
    void LoadText(const TTextLoader& Load) override;

private:
    friend class TZQueryFileBase;
    TZQueryFileBase* FileBase() const;
    // Raises when writing would replace a file that is not this query's own.
    void CheckFileFree() const;

    QString FFileName;
    // The file at the path is this query's: listed from the folder or written by it.
    bool FOwnsFile = false;
};

// An observer of a query base; attached to at most one base, detached when either side goes.
class TZQueryBaseLink {
public:
    virtual ~TZQueryBaseLink();

    TZQueryBase* QueryBase() const { return FQueryBase; }
    void SetQueryBase(TZQueryBase* Value);

    virtual void ItemChanged(int Index);
    virtual void ActiveItemChanged();
    // Kind: bkOpened, bkClosed (Index -1), bkAdded, bkDeleted (Index of the item; told with no item
    // current when the current one went).
    virtual void BaseChanged(uint8_t Kind, int Index);
    virtual bool SaveQuery(rtl::StringList& Lines);
    virtual bool LoadQuery(const rtl::StringList& Lines);
    // The text this link gave last was written to its item: the query is saved.
    virtual void QuerySaved();

private:
    friend class TZQueryBase;
    TZQueryBase* FQueryBase = nullptr;
};

enum TQueryBaseChange : uint8_t { bkOpened, bkClosed, bkAdded, bkDeleted };

// The ordered list of saved queries, one of them current, told to every attached link.
class TZQueryBase : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TZQueryBase* Sender)>;

    explicit TZQueryBase(QObject* Owner = nullptr);
    // Frees the items and detaches the links, so no link keeps pointing at a freed base.
    ~TZQueryBase() override;

    int Count() const { return int(FItems.size()); }
    TZQueryItem* Items(int N) const;
    // Nil when ItemIndex is outside the list.
    TZQueryItem* CurrentItem() const;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int N);
    bool Active() const { return FActive; }
    bool Loading() const { return FLoading; }
    int IndexOfName(const QString& S) const;
    int IndexOf(const TZQueryItem* Item) const;

    // Takes the item and answers its index; the current item does not change.
    int AddItem(std::unique_ptr<TZQueryItem> Item);
    void Delete(int N) { DeleteItem(N); }
    // Asks the links in attach order; True from the first that answers.
    bool SaveQuery(rtl::StringList& Lines);
    void ClearItems();

    // Opening an open base reads its items afresh instead of listing them twice.
    virtual void Open();
    virtual void Close();
    virtual std::unique_ptr<TZQueryItem> NewItem();

    void AddLink(TZQueryBaseLink* Link);
    void RemoveLink(TZQueryBaseLink* Link);
    const std::vector<TZQueryBaseLink*>& Links() const { return FLinks; }

    TNotifyEvent BeforeScroll;
    TNotifyEvent AfterScroll;
    TNotifyEvent BeforeOpen;
    TNotifyEvent AfterOpen;
    TNotifyEvent BeforeClose;
    TNotifyEvent AfterClose;

protected:
    virtual void LoadItems() = 0;
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();
    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DeleteItem(int N);

    void CheckIndex(int N) const;
    // Sets the loading flag for the scope, also when listing raises.
    class LoadingScope {
    public:
        explicit LoadingScope(TZQueryBase* Base) : FBase(Base) { FBase->FLoading = true; }
        ~LoadingScope() { FBase->FLoading = false; }
        LoadingScope(const LoadingScope&) = delete;
        LoadingScope& operator=(const LoadingScope&) = delete;

    private:
        TZQueryBase* FBase;
    };

private:
    friend class TZQueryItem;
    // The whole scroll sequence, also when N already is the index (the item there is a new one).
    void Scroll(int N);
    template <typename F>
    void NotifyLinks(F&& Notify);
    void NotifyItemChanged(int N);
    // SaveQuery naming the link that gave the text; nil when none did.
    TZQueryBaseLink* QueryTextLink(rtl::StringList& Lines);
    void Fire(const TNotifyEvent& Event);

    std::vector<TZQueryBaseLink*> FLinks;
    std::vector<std::unique_ptr<TZQueryItem>> FItems;
    int FItemIndex = -1;
    bool FActive = false;
    bool FLoading = false;
};

// The *.qry files of one folder, one item a file.
class TZQueryFileBase : public TZQueryBase {
    Q_OBJECT
public:
    using TZQueryBase::TZQueryBase;

    const QString& WorkDir() const { return FWorkDir; }
    // Kept with one trailing separator. An open base reads the new folder in place of the old one,
    // so no item of the old folder is left to save into the new one.
    void SetWorkDir(const QString& Value);
    TZQueryFileItem* CurrentItem() const;
    // The item whose file that is, other than Except; nil when none.
    TZQueryFileItem* FindFile(const QString& FileName, const TZQueryFileItem* Except) const;

    std::unique_ptr<TZQueryItem> NewItem() override;
    // Lists every query that can be read, then raises naming each file that could not.
    void Open() override;

protected:
    // Every entry named *.qry is an item or, when its header cannot be read (a folder, FIFO, device
    // or link to nowhere included), left out and noted for Open to report.
    void LoadItems() override;
    // A file that exists and cannot be deleted raises and keeps the item.
    void DeleteItem(int N) override;

private:
    QString FWorkDir;
    // Why each file the last listing left out could not be read.
    QStringList FUnreadFiles;
};
