#pragma once

#include "CPrompter.h"

#include <QStringList>

#include <deque>

// Answers the view's questions from a script and records what was asked.
class CScriptedPrompter : public CPrompter
{
public:
    void Tell(QWidget*, const QString& text) override { told.append(text); }
    Answer AskSaveFirst(QWidget*, const QString& text) override
    {
        saveFirstQuestions.append(text);
        return Next(answers, kCancel);
    }
    QString OpenFileName(QWidget*) override { return Next(openFiles); }
    QString PictureFileName(QWidget*) override
    {
        ++pictureFileAsks;
        return Next(openFiles);
    }
    QString SaveFileName(QWidget*, const QString& proposed) override
    {
        proposedNames.append(proposed);
        return Next(saveFiles);
    }
    Answer Ask(QWidget*, const QString& text) override
    {
        questions.append(text);
        return Next(answers, kCancel);
    }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override
    {
        if (newPictures.empty()) {
            return std::nullopt; // cancelled
        }
        return Next(newPictures);
    }
    // The open-size dialog answered with the picture's own size.
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }

    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    std::deque<Answer> answers;
    std::deque<NewPictureSettings> newPictures;
    QStringList questions;
    QStringList saveFirstQuestions;
    QStringList told;
    QStringList proposedNames;
    int pictureFileAsks = 0; // asked for a picture only (insert, append)

private:
    template <typename T> static T Next(std::deque<T>& queue, T none = T())
    {
        if (queue.empty()) {
            return none;
        }
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};
