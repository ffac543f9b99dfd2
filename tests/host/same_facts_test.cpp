// Every record file of the test data through both ways a record reaches a user: molb-admin import
// into a store, whose listing shows its columns, and the example host opening each stored object
// as the demo does (readObjectRecord into the ObjectView). Name, accession, length and organism
// agree between them, and the host shows the features and residues that the text itself holds,
// counted here by its layout alone.

#include "molb_harness.h"
#include "object_view.h"
#include "record.h"
#include "sample_files.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>

#include <filesystem>

using namespace MolbTest;

namespace {

// The feature key lines and the residue letters of a flat-file record, found by its layout.
struct Layout
{
    int features = 0;
    QString residues;
};

Layout layoutOf(const QByteArray& bytes)
{
    Layout layout;
    const bool fasta = bytes.startsWith('>');
    const bool embl = bytes.startsWith("ID   ");
    bool inFeatures = false;
    bool inResidues = fasta;
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray& line : lines.mid(fasta ? 1 : 0)) {
        if (line.startsWith("//"))
            break;
        if (!embl && !fasta && !line.startsWith(' ') && !line.isEmpty()) {
            inFeatures = line.startsWith("FEATURES");
            inResidues = line.startsWith("ORIGIN");
            continue;
        }
        if (embl && line.startsWith("SQ   ")) {
            inResidues = true;
            continue;
        }
        const bool keyLine =
            embl ? line.startsWith("FT   ") && line.size() > 5 && line[5] != ' '
                 : inFeatures && line.startsWith("     ") && line.size() > 5 && line[5] != ' ';
        layout.features += keyLine;
        for (const char c : inResidues ? line : QByteArray()) {
            if (QChar::isLetter(c) || c == '*' || c == '-')
                layout.residues += QChar(c).toUpper();
            else if (c == '.')
                layout.residues += '-';
        }
    }
    return layout;
}

// The cell of column title in row, as the listing names its columns.
std::string cell(const Dbscout::ResultPage& page, const Dbscout::ResultRow& row,
                 const std::string& title)
{
    for (size_t i = 1; i < page.columns.size(); ++i) {
        if (page.columns[i] == title)
            return row.cells.at(i - 1);
    }
    ADD_FAILURE() << "no column " << title;
    return {};
}

QString residuesShown(const ObjectView& view)
{
    QString residues;
    for (const QChar c : view.currentWidget()->findChild<QPlainTextEdit*>()->toPlainText()) {
        if (!c.isDigit() && !c.isSpace())
            residues += c;
    }
    return residues;
}

void compareObject(const TestStore& store, const std::string& kind, const Dbscout::ResultPage& page,
                   const Dbscout::ResultRow& row, const std::string& path)
{
    const std::string where = path + ": " + row.name;
    const QByteArray bytes = QByteArray::fromStdString(
        runHandler(store.url(kind + "/" + row.id + "?command=fetch")).output);
    const ObjectRecord object = readObjectRecord(bytes);
    ASSERT_NE(object.kind, ObjectRecord::Kind::Text) << where << qPrintable(object.problem);
    ObjectView view;
    view.resize(900, 700);
    view.showRecord(object);
    const Dbscout::Records::Record& record = object.record;
    if (kind == "citation") {
        EXPECT_EQ(row.name, recordName(object).toStdString()) << where;
        EXPECT_EQ(cell(page, row, "PMID"), record.accession()) << where;
        return;
    }
    if (kind == "blast") {
        EXPECT_EQ(cell(page, row, "Query"), record.blast.queryDefinition) << where;
        EXPECT_EQ(cell(page, row, "Hits"),
                  std::to_string(view.currentWidget()->findChild<QTableWidget*>()->rowCount()))
            << where;
        return;
    }
    EXPECT_EQ(row.name, recordName(object).toStdString()) << where;
    EXPECT_EQ(cell(page, row, "Accession"), record.accession()) << where;
    EXPECT_EQ(cell(page, row, "Length"), record.countsRecords ? "" : std::to_string(record.length))
        << where;
    EXPECT_EQ(cell(page, row, "Organism"), record.organism) << where;
    const Layout layout = layoutOf(bytes);
    EXPECT_EQ(view.currentWidget()->findChild<QTreeWidget*>()->topLevelItemCount(), layout.features)
        << where;
    EXPECT_EQ(residuesShown(view).toStdString(), layout.residues.toStdString()) << where;
}

std::vector<std::string> recordFiles()
{
    std::vector<std::string> paths;
    for (const RecordsTest::SampleFile& file : RecordsTest::sampleFiles())
        paths.push_back(file.path);
    for (const char* name : {"GU949562.1.gb", "NT_019265.gb", "protein_refseq.gb",
                             "pubmed_result1.txt", "pubmed_result2.txt.gz"})
        paths.push_back(std::string(NCBI_FIXTURES) + "/" + name);
    return paths;
}

TEST(SameFacts, theHostShowsWhatTheImportStoresOfEveryRecordFile)
{
    DbscoutTest::TestEnv env;
    size_t objects = 0;
    int number = 0;
    for (const std::string& path : recordFiles()) {
        const TestStore store = makeStore("file" + std::to_string(++number));
        // A record refused (two of them, broken on purpose) or a name met twice is not stored;
        // the others are.
        const ProcessResult imported = store.admin("import", {path});
        ASSERT_NE(imported.output.find(" record(s) stored"), std::string::npos) << imported.errors;
        for (const std::string kind : {"dnarna", "protein", "citation", "blast"}) {
            Dbscout::ResultPage page;
            for (int start = 0; start == 0 || start < page.totalFound; start += 1000) {
                page =
                    parseResultPage(runHandler(store.url(kind + "/?start=" + std::to_string(start) +
                                                         "&page=1000&query=MAIN"))
                                        .output);
                ASSERT_EQ(page.status, "OK") << path;
                for (const Dbscout::ResultRow& row : page.rows) {
                    compareObject(store, kind, page, row, path);
                    ++objects;
                }
            }
        }
    }
    EXPECT_GT(objects, 700u);
}

// What the record fuzzers found and started from, shown as the demo shows fetched bytes.
TEST(SameFacts, everyFuzzInputShowsWithoutAFault)
{
    ObjectView view;
    size_t shown = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(RECORDS_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        QFile file(QString::fromStdString(entry.path().string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        view.showRecord(readObjectRecord(file.readAll()));
        EXPECT_FALSE(view.summary().isEmpty()) << entry.path();
        ++shown;
    }
    EXPECT_GT(shown, 25u);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
