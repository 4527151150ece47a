#pragma once

#include <QString>
#include <QStringList>

// The words of one subcommand, read from left to right with clear refusals
// for anything missing or malformed.
class CToolArguments
{
public:
    explicit CToolArguments(QStringList words) : words_(std::move(words)) {}

    bool AtEnd() const { return next_ >= words_.size(); }
    QString Peek() const { return AtEnd() ? QString() : words_[next_]; }

    // The next word; `what` names it in the refusal when it is missing.
    QString Take(const QString& what);
    // The next word as a number within [min, max], for the given option.
    double TakeNumber(const QString& option, double min, double max);
    // Refuses words left over after the last one a command understands.
    void ExpectEnd() const;

    // Parses a number within [min, max]; `what` names it in the refusal.
    static double ParseNumber(const QString& text, const QString& what, double min, double max);

private:
    QStringList words_;
    qsizetype next_ = 0;
};
