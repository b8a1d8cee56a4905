// The CSV writer on a disk that fills up: the write fails with its reason and the previous file stays.

#include "CsvFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace vm::editors {
namespace {

// Files this process writes cannot grow beyond `bytes` while the guard lives (as on a full disk, the
// write fails, here with EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit previous_{};
    void (*signal_)(int) = nullptr;
};

TEST(CsvFile, AWriteThatDoesNotFitKeepsThePreviousFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sales.csv");
    ASSERT_EQ(writeCsv(path, {"index", "value"}, {{"11430", "12.50"}}), QString());
    QFile previous(path);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll().toStdString(), "sep=;\r\nindex;value\r\n11430;12.50\r\n");
    previous.close();

    // About 6 KB of rows: less than the file's write buffer, so the failure shows only when it is flushed.
    std::vector<QStringList> rows;
    for (int i = 0; i < 400; ++i)
        rows.push_back({QString::number(10000 + i), "value"});
    QString error;
    {
        const FileSizeLimit limit(1024);
        error = writeCsv(path, {"index", "value"}, rows);
    }
    EXPECT_TRUE(error.contains("File too large")) << error.toStdString();
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll().toStdString(), "sep=;\r\nindex;value\r\n11430;12.50\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"sales.csv"}); // no temporary left
}

} // namespace
} // namespace vm::editors
