#pragma once

#include <QString>

#include <functional>

// The editor's document: only the modified flag, the path and title the
// frame shows, and the open and save requests it turns into hints for its
// view. The picture itself lives in the item canvas.
class COMRImageEditorDoc
{
public:
    // View update hints.
    enum Hint : int
    {
        kLoad = 1,    // load the picture at the given path
        kSave = 2,    // write the picture to the given path
        kNothing = 3, // no change
    };
    using ViewUpdate = std::function<void(int hint, const QString& path)>;
    using PathListener = std::function<void(const QString& path)>;
    using ModifiedListener = std::function<void(bool modified)>;

    bool IsModified() const { return modified_; }
    // Every call is told to the modified listener: each change marks the
    // document again, so the listener hears of every change.
    void SetModifiedFlag(bool modified);

    bool OnOpenDocument(const QString& path);
    bool OnSaveDocument(const QString& path);
    void UpdateAllViews(int hint, const QString& path) const;

    // Stores the path; `addToRecent` puts it at the head of the recent-file
    // list.
    void SetPathName(const QString& path, bool addToRecent);
    const QString& PathName() const { return pathName_; }
    void SetTitle(const QString& title);
    const QString& Title() const { return title_; }

    void SetViewUpdate(ViewUpdate update) { viewUpdate_ = std::move(update); }
    void SetRecentListener(PathListener listener) { recent_ = std::move(listener); }
    void SetModifiedListener(ModifiedListener listener) { modifiedListener_ = std::move(listener); }

private:
    bool modified_ = false;
    QString pathName_;
    QString title_;
    ViewUpdate viewUpdate_;
    PathListener recent_;
    ModifiedListener modifiedListener_;
};
