#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Finds item files by name across every category of the items folder. The
// names are read once into an index (one pass over the category folders)
// and each search then only compares text, so a search answers as fast as
// the user types. A name matches when it holds every word of the search
// text, in any order, compared without regard to case and to how a Korean
// syllable was composed (a name from a package may carry decomposed Hangul).
class CItemSearch
{
public:
    // Reads the item files of the category folders, in the order given (the
    // order of the tabs), each folder in its own order.
    void Build(const QStringList& categoryFolders);
    void Forget();
    bool Built() const { return built_; }
    int Size() const { return int(entries_.size()); }

    // Full paths of the matching files; none for a text without words.
    QStringList Find(const QString& text) const;

    // The form in which names and search words are compared.
    static QString Folded(const QString& text);

private:
    struct Entry
    {
        QString path;
        QString key; // the folded row name
    };

    std::vector<Entry> entries_;
    bool built_ = false;
};
