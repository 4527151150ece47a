#include "CItemSearch.h"

#include "CItemFolder.h"

#include <QDir>

#include <algorithm>

void CItemSearch::Build(const QStringList& categoryFolders)
{
    entries_.clear();
    for (const QString& folder : categoryFolders) {
        for (const QString& path : CItemFolder::ItemFiles(folder)) {
            entries_.push_back({path, Folded(CItemFolder::RowName(path))});
        }
    }
    built_ = true;
}

void CItemSearch::Forget()
{
    entries_.clear();
    built_ = false;
}

QStringList CItemSearch::Find(const QString& text) const
{
    const QStringList words = Folded(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList found;
    if (words.isEmpty()) {
        return found;
    }
    for (const Entry& entry : entries_) {
        if (std::all_of(words.begin(), words.end(),
                        [&entry](const QString& word) { return entry.key.contains(word); })) {
            found.append(entry.path);
        }
    }
    return found;
}

QString CItemSearch::Folded(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C).toCaseFolded().simplified();
}
