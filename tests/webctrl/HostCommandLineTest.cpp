#include "CHostCommandLine.h"
#include "CVelunarAddress.h"

#include <gtest/gtest.h>

namespace {

const QString kAddress = "velunar:download?title=PixvelDownloader&key=Software%5CPixvel"
                         "&program=PixvelDownloader&name=%EB%B3%84+%EC%84%B8%ED%8A%B8"
                         "&url=http%3A%2F%2F127.0.0.1%3A8000%2Fitems%2Fstar.zip"
                         "&file=items%2Fstar.zip&size=4294967295";

TEST(VelunarAddressTest, ReadsEveryValuePercentDecoded)
{
    QString error;
    const auto request = CVelunarAddress::Parse(kAddress, error);
    ASSERT_TRUE(request) << error.toStdString();
    EXPECT_EQ(request->title, "PixvelDownloader");
    EXPECT_EQ(request->key, "Software\\Pixvel");
    EXPECT_EQ(request->program, "PixvelDownloader");
    EXPECT_EQ(request->name, "별+세트"); // "+" is no blank here
    EXPECT_EQ(request->url, "http://127.0.0.1:8000/items/star.zip");
    EXPECT_EQ(request->file, "items/star.zip");
    EXPECT_EQ(request->size, 4294967295u);

    const std::vector<HostCall> calls = CVelunarAddress::Calls(*request);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].method, "DownloaderName");
    EXPECT_EQ(calls[1].method, "RegistryPath");
    EXPECT_EQ(std::get<QString>(calls[1].arguments[1]), "PixvelDownloader");
    EXPECT_EQ(calls[2].method, "ClipDownload");
    EXPECT_EQ(std::get<int32_t>(calls[2].arguments[3]), -1); // the same 32 bits
    EXPECT_TRUE(CVelunarAddress::Parse(QString(kAddress).replace("velunar:", "VELUNAR:"), error));
}

TEST(VelunarAddressTest, RefusesMalformedAddresses)
{
    const std::vector<std::pair<QString, QString>> broken = {
        {"file:///etc/passwd", "not a download address"},
        {QString(kAddress).replace("velunar:download", "velunar://download"),
         "not a download address"},
        {QString(kAddress).replace("&size=4294967295", ""), "'size' is missing"},
        {kAddress + "&title=x", "'title' is given twice"},
        {kAddress + "&run=1", "unknown parameter 'run'"},
        {kAddress + "&", "unknown parameter ''"},
        {QString(kAddress).replace("%5C", "%5"), "'key' is not percent-encoded"},
        {QString(kAddress).replace("%5C", "%ZZ"), "'key' is not percent-encoded"},
        {QString(kAddress).replace("%EB%B3%84", "%FF"), "'name' is not percent-encoded UTF-8"},
        {QString(kAddress).replace("4294967295", "4294967296"), "not a number of bytes"},
        {QString(kAddress).replace("4294967295", "-1"), "not a number of bytes"},
        {QString(kAddress).replace("4294967295", ""), "not a number of bytes"},
    };
    for (const auto& [address, reason] : broken) {
        QString error;
        EXPECT_FALSE(CVelunarAddress::Parse(address, error)) << address.toStdString();
        EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    }
}

TEST(HostCommandLineTest, SplitsCallsAndPassesIntegersAsNumbers)
{
    QString error;
    const auto calls =
        CHostCommandLine::Parse({"DownloaderName", "PixvelDownloader", ";", "ClipDownload", "a",
                                 "12a", "+5", "-7", "3000000000", "99999999999", ";", "AboutBox"},
                                error);
    ASSERT_TRUE(calls);
    ASSERT_EQ(calls->size(), 3u);
    EXPECT_EQ((*calls)[0].arguments.size(), 1u);
    const auto& arguments = (*calls)[1].arguments;
    ASSERT_EQ(arguments.size(), 6u);
    EXPECT_EQ(std::get<QString>(arguments[1]), "12a");
    EXPECT_EQ(std::get<int32_t>(arguments[2]), 5);
    EXPECT_EQ(std::get<int32_t>(arguments[3]), -7);
    EXPECT_EQ(std::get<int32_t>(arguments[4]), int32_t(3000000000u));
    EXPECT_EQ(std::get<QString>(arguments[5]), "99999999999");
    EXPECT_TRUE((*calls)[2].arguments.empty());

    const auto address = CHostCommandLine::Parse({"--url", kAddress}, error);
    ASSERT_TRUE(address);
    EXPECT_EQ(address->size(), 3u);
}

TEST(HostCommandLineTest, RefusesEmptyCallsAndStrayOptions)
{
    for (const QStringList& words :
         {QStringList{}, QStringList{"DownloaderName", "x", ";"}, QStringList{";", "AboutBox"},
          QStringList{"--verbose"}, QStringList{"--url"}, QStringList{"--url", kAddress, "x"}}) {
        QString error;
        EXPECT_FALSE(CHostCommandLine::Parse(words, error)) << words.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
