// The manager's report as a reader gets it: the PDF read back with poppler's pdftotext,
// pdfinfo and pdffonts.
#include "chart_fonts.h"
#include "group_run.h"
#include "manager_report.h"
#include "param_name.h"
#include "respondent_file.h"
#include "test_files.h"

#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdio>

#include <cstdlib>
#include <memory>

namespace {

namespace fs = std::filesystem;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Output of a poppler tool run on `pdf`.
std::string Poppler(const char* tool, const fs::path& pdf) {
    QProcess process;
    QStringList arguments{QString::fromStdString(pdf.string())};
    if (std::string_view(tool) == "pdftotext")
        arguments << QStringLiteral("-"); // to standard output
    process.start(QString::fromLatin1(tool), arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        ADD_FAILURE() << tool << " failed: " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput().toStdString();
}

std::string PdfInfo(const fs::path& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    process.waitForFinished(60'000);
    return process.readAllStandardOutput().toStdString();
}

// One field of pdfinfo's output ("Title:     value").
std::string InfoField(const std::string& info, const std::string& key) {
    const std::size_t at = info.find(key + ":");
    if (at == std::string::npos)
        return {};
    const std::size_t start = info.find_first_not_of(' ', at + key.size() + 1);
    return info.substr(start, info.find('\n', start) - start);
}

// Every page's text; pdftotext ends each page with a form feed.
std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
        pages.push_back(text.substr(start, ff - start));
    return pages;
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

// The ways a text can be stored in a PDF's bytes: UTF-8, Windows-1251 and UTF-16 (big-endian,
// raw and as the hex strings Qt writes metadata in).
std::vector<std::string> Encodings(const std::string& utf8) {
    const QString text = Q(utf8);
    std::vector<std::string> forms{utf8};
    QByteArray utf16;
    for (const QChar ch : text) {
        utf16.append(static_cast<char>(ch.unicode() >> 8));
        utf16.append(static_cast<char>(ch.unicode() & 0xFF));
    }
    forms.push_back(utf16.toStdString());
    forms.push_back(utf16.toHex().toStdString());
    forms.push_back(utf16.toHex().toUpper().toStdString());
    forms.push_back(rez::test::AsWindowsFile(utf8));
    return forms;
}

class ManagerReport : public testing::Test {
protected:
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1767225600"); } // 1 Jan 2026 UTC
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }

    fs::path Write(const std::string& pdf, const char* name = "report.pdf") {
        const fs::path path = dir.path() / name;
        rez::test::WriteBytes(path, pdf);
        return path;
    }

    rez::test::TempDir dir;
    rez::LineBuffer buffer;
};

struct SampleCase {
    const char* name;
    int pages;
};
REZ_PRINT_CASE_BY_NAME(SampleCase)

class SampleReport : public ManagerReport, public testing::WithParamInterface<SampleCase> {};

TEST_P(SampleReport, NamesNoOutsideRaterAndNumbersEveryPage) {
    const std::string groupDir = std::string(REZ_SAMPLE_DATA_DIR) + "/" + GetParam().name + "/";
    const rez::GroupResults results = rez::RunGroup(groupDir, ',', buffer);
    const std::string pdf = rez::ManagerReportPdf(results, {3, 1.0}, ',', rez::CurrentReportTime());
    EXPECT_LT(pdf.size(), 300u * 1024u);
    const fs::path path = Write(pdf);
    const std::string text = Poppler("pdftotext", path);
    const std::string info = PdfInfo(path);

    // Lines 6 and 8 of every outside rater's file: his name and post.
    std::vector<std::string> secrets;
    for (const auto& entry : fs::directory_iterator(groupDir)) {
        if (entry.path().filename().string().front() == '0')
            continue;
        const rez::RespondentFile file = rez::ReadRespondentFile(entry.path().string(), buffer);
        secrets.push_back(file.Line(6));
        secrets.push_back(file.Line(8));
    }
    ASSERT_FALSE(secrets.empty());
    for (const std::string& secret : secrets) {
        EXPECT_FALSE(Contains(text, secret)) << secret;
        EXPECT_FALSE(Contains(info, secret)) << secret;
        for (const std::string& form : Encodings(secret))
            EXPECT_FALSE(Contains(pdf, form)) << secret;
    }

    EXPECT_TRUE(Contains(text, results.GroupName));
    EXPECT_EQ(InfoField(info, "Title"), results.GroupName);
    EXPECT_EQ(InfoField(info, "Creator"), "KVIRO.REZ");
    EXPECT_EQ(InfoField(info, "CreationDate"), "Thu Jan  1 00:00:00 2026 UTC");
    const std::vector<std::string> pages = Pages(text);
    ASSERT_EQ(static_cast<int>(pages.size()), GetParam().pages);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string number =
            "стр. " + std::to_string(i + 1) + " из " + std::to_string(pages.size());
        EXPECT_TRUE(Contains(pages[i], number)) << "page " << i + 1;
        EXPECT_TRUE(Contains(pages[i], results.GroupName + " · 01.01.2026")) << "page " << i + 1;
        EXPECT_FALSE(Contains(pages[i], "Анонимность не обеспечена"));
    }
    // Every font is embedded: pdffonts says "yes" in its "emb" column for each.
    const std::string fonts = Poppler("pdffonts", path);
    const std::size_t emb = fonts.find(" emb ") + 1;
    std::size_t line = fonts.find('\n', fonts.find("\n---") + 1) + 1;
    int count = 0;
    for (; line < fonts.size(); line = fonts.find('\n', line) + 1, ++count)
        EXPECT_EQ(fonts.substr(line + emb, 3), "yes") << fonts;
    EXPECT_EQ(count, 2) << fonts; // regular and bold
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleReport,
                         testing::Values(SampleCase{"Kuznetsova", 3}, SampleCase{"Orlov", 4},
                                         SampleCase{"Smirnov", 4}),
                         rez::test::ByName());

TEST_F(ManagerReport, SameInputAndEpochGiveTheSameBytes) {
    const rez::GroupResults results =
        rez::RunGroup(std::string(REZ_SAMPLE_DATA_DIR) + "/Smirnov/", ',', buffer);
    const rez::ReportTime time = rez::CurrentReportTime();
    EXPECT_EQ(time.PageDate, QStringLiteral("01.01.2026"));
    EXPECT_EQ(rez::ManagerReportPdf(results, {3, 1.0}, ',', time),
              rez::ManagerReportPdf(results, {3, 1.0}, ',', rez::CurrentReportTime()));
}

// Cohort runs draw groups on worker threads: the file must not depend on the thread.
TEST_F(ManagerReport, WorkerThreadsDrawTheSameBytes) {
    const rez::GroupResults results =
        rez::RunGroup(std::string(REZ_SAMPLE_DATA_DIR) + "/Smirnov/", ',', buffer);
    const rez::ReportTime time = rez::CurrentReportTime();
    const std::string expected = rez::ManagerReportPdf(results, {3, 1.0}, ',', time);
    std::vector<std::string> drawn(4);
    // Qt's threads, as rez-report's workers are (see WorkerPool).
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::string& pdf : drawn) {
        threads.emplace_back(QThread::create([&] {
            pdf = rez::ManagerReportPdf(results, {3, 1.0}, ',', time);
        }));
        threads.back()->start();
    }
    for (const std::unique_ptr<QThread>& t : threads)
        t->wait();
    for (const std::string& pdf : drawn)
        EXPECT_EQ(pdf, expected);
}

TEST_F(ManagerReport, EpochThatIsNotAWholeNumberIsIgnored) {
    for (const char* bad : {"", "12abc", "-5", " 100", "99999999999999"}) {
        qputenv("SOURCE_DATE_EPOCH", bad);
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        EXPECT_GE(rez::CurrentReportTime().Utc, before) << bad;
    }
}

TEST_F(ManagerReport, LowKWarnsOnEveryPage) {
    rez::test::WriteRespondentFile(dir.path() / "0aREZ.cry",
                                   rez::test::RespondentLines("self", rez::test::UniformTotals(5)));
    for (const char* name : {"2aREZ.cry", "2bREZ.cry"})
        rez::test::WriteRespondentFile(
            dir.path() / name, rez::test::RespondentLines("sub", rez::test::UniformTotals(3)));
    const rez::GroupResults results = rez::RunGroup(dir.dirText(), ',', buffer);
    const std::string text =
        Poppler("pdftotext",
                Write(rez::ManagerReportPdf(results, {2, 1.0}, ',', rez::CurrentReportTime())));
    const std::vector<std::string> pages = Pages(text);
    ASSERT_EQ(pages.size(), 3u);
    for (const std::string& page : pages)
        EXPECT_TRUE(Contains(page, "Анонимность не обеспечена"));
    EXPECT_FALSE(Contains(text, "sub L6"));
}

TEST_F(ManagerReport, FolderWithoutFilesGivesOnePageThatSaysSo) {
    const rez::GroupResults results = rez::RunGroup(dir.dirText(), ',', buffer);
    const std::string text =
        Poppler("pdftotext",
                Write(rez::ManagerReportPdf(results, {3, 1.0}, ',', rez::CurrentReportTime())));
    const std::vector<std::string> pages = Pages(text);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Contains(pages[0], "В папке нет анкет"));
    EXPECT_TRUE(Contains(pages[0], "стр. 1 из 1"));
}

// The title in the metadata shows control characters escaped, as messages do: a reader's
// title bar would otherwise show the name turned round, or cut at a NUL.
TEST_F(ManagerReport, TitleHoldsNoControlCharacters) {
    rez::GroupResults results = rez::RunGroup(dir.dirText(), ',', buffer);
    results.GroupName = std::string("Ив\0ан\x1b\u202Egpj", 16);
    const std::string info =
        PdfInfo(Write(rez::ManagerReportPdf(results, {3, 1.0}, ',', rez::CurrentReportTime())));
    EXPECT_EQ(InfoField(info, "Title"), "Ив\\x00ан\\x1b\\u202egpj");
}

TEST(PdfCreationDate, ReplacedOnlyWhereQtStampedIt) {
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7), QTimeZone::utc());
    std::string pdf = "<< /CreationDate (D:20991231235959Z) >>";
    EXPECT_TRUE(rez::SetPdfCreationDate(pdf, when));
    EXPECT_EQ(pdf, "<< /CreationDate (D:20260304050607Z) >>");
    // Outside UTC Qt writes the offset: without a table to move, nothing changes.
    const std::string lone = "<< /CreationDate (D:20991231235959+01'00') >>";
    std::string other = lone;
    EXPECT_FALSE(rez::SetPdfCreationDate(other, when));
    EXPECT_EQ(other, lone);
    std::string none = "%PDF-1.4";
    EXPECT_FALSE(rez::SetPdfCreationDate(none, when));
}

// In Moscow or St. John's the stamp is six bytes longer than in UTC: the objects after it and
// the table's start move back by six, so every zone gives the very bytes of UTC.
TEST(PdfCreationDate, StampWithAnOffsetBecomesUtcAndTheTableFollows) {
    const QDateTime when(QDate(1970, 1, 1), QTime(0, 0, 1), QTimeZone::utc());
    const auto file = [](const std::string& stamp) {
        const std::string head = "1 0 obj\n<< /CreationDate (D:" + stamp + ") >>\nendobj\n";
        const std::string body = "2 0 obj\n<< >>\nendobj\n";
        char table[200];
        std::snprintf(table, sizeof table,
                      "xref\n0 3\n0000000000 65535 f \n%010zu 00000 n \n%010zu 00000 n \n"
                      "trailer\n<< /Size 3 >>\nstartxref\n%zu \n%%%%EOF\n",
                      std::size_t{9}, 9 + head.size(), 9 + head.size() + body.size());
        return "%PDF-1.4\n" + head + body + table;
    };
    const std::string utc = file("19700101000001Z");
    for (const char* local : {"19700101030001+03'00'", "19691231203001-03'30'"}) {
        std::string pdf = file(local);
        EXPECT_TRUE(rez::SetPdfCreationDate(pdf, when)) << local;
        EXPECT_EQ(pdf, utc) << local;
    }
}

} // namespace

// Fonts need a QGuiApplication; the headless platform is the default.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    rez::RegisterChartFonts();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
