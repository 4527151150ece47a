#pragma once

#include "CMessageReceiver.h"
#include "DialogTesting.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <vector>

// Records the messages sent to "the main window".
class CMessageLog : public CMessageReceiver
{
public:
    void Receive(msg::Message message) override { received.push_back(std::move(message)); }

    // The received messages with the given id.
    std::vector<msg::Message> With(unsigned id) const
    {
        std::vector<msg::Message> found;
        for (const msg::Message& message : received) {
            if (message.id == id) {
                found.push_back(message);
            }
        }
        return found;
    }

    std::vector<msg::Message> received;
};

// Files of the item library's tests, in a temporary folder.
class CItemFiles
{
public:
    QString Path(const QString& name) const { return folder_.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }

    // A picture of one colour (transparent when the colour is).
    QString Picture(const QString& name, QSize size, QColor colour = Qt::red,
                    const char* format = nullptr) const
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(Path(name), format));
        return Path(name);
    }

    QString Folder(const QString& name) const
    {
        EXPECT_TRUE(QDir(folder_.path()).mkpath(name));
        return Path(name);
    }

    QString Root() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};
