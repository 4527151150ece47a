// Memcheck (valgrind) on the Release pixvel-tool where Qt runs on worker
// threads: reads of freed memory inside Qt, which the sanitizer build cannot
// see, end the run with a distinct exit status.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kErrorStatus = 99;

class MemcheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
#ifndef PIXVEL_VALGRIND
        GTEST_SKIP() << "Memcheck runs on the Release build where valgrind is installed";
#endif
    }

    // Runs pixvel-tool under Memcheck; its output goes to `report`.
    int Memcheck(const QStringList& arguments, QString* report) const
    {
#ifdef PIXVEL_VALGRIND
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(PIXVEL_VALGRIND,
                      QStringList{"-q", "--error-exitcode=99", "--leak-check=no", PIXVEL_TOOL} +
                          arguments);
        process.waitForFinished(300000);
        *report = QString::fromUtf8(process.readAll());
        return process.exitCode();
#else
        (void)arguments;
        (void)report;
        return -1;
#endif
    }

    QString Folder(const QString& name) const
    {
        QDir().mkpath(folder_.filePath(name));
        return folder_.filePath(name);
    }

    QTemporaryDir folder_;
};

TEST_F(MemcheckTest, ThumbnailsOfAJpegAndOfADamagedPngReadNoFreedMemory)
{
    const QString jpeg = Folder("jpeg");
    ASSERT_TRUE(QFile::copy(PIXVEL_SAMPLE_PICTURE, jpeg + "/photo.jpg"));
    const QString damaged = Folder("damaged");
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(damaged + "/whole.png"));
    QFile whole(damaged + "/whole.png");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.remove();
    QFile cut(damaged + "/cut.png");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() - 20));
    cut.close();

    for (const QString& folder : {jpeg, damaged}) {
        QString report;
        EXPECT_EQ(Memcheck({"thumbnails", folder}, &report), 0) << report.toStdString();
    }
}

TEST_F(MemcheckTest, RenderReadsNoFreedMemory)
{
    QString report;
    EXPECT_EQ(Memcheck({"render", PIXVEL_SAMPLE_PICTURE, folder_.filePath("out.png"), "--hue", "30",
                        "--blur", "2"},
                       &report),
              0)
        << report.toStdString();
    EXPECT_TRUE(QFile::exists(folder_.filePath("out.png")));
}

} // namespace
