// Every record file of the test data through both ways a record reaches a user: one molb-admin
// import of them all into a store, whose listing shows its columns, and the example host opening
// each stored object as the demo does (readObjectRecord into the ObjectView, one view for all, as
// the demo's window keeps one). Name, accession, length and organism agree between them, and the
// host shows the features and residues that the text itself holds, counted here by its layout
// alone.

#include "molb_harness.h"
#include "object_view.h"
#include "record.h"
#include "records/records.h"
#include "sample_files.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeWidget>

#include <filesystem>
#include <map>
#include <set>

using namespace MolbTest;
using Dbscout::Records::RecordKind;

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

void compareObject(const QByteArray& bytes, const std::string& kind,
                   const Dbscout::ResultPage& page, const Dbscout::ResultRow& row, ObjectView& view)
{
    const std::string where = kind + "/" + row.id + " " + row.name;
    const ObjectRecord object = readObjectRecord(bytes);
    ASSERT_NE(object.kind, ObjectRecord::Kind::Text) << where << qPrintable(object.problem);
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

// The bytes of every object of the store, by id, read at once from its SQLite file: what a fetch
// sends, as the first object of each kind shows.
std::map<std::string, QByteArray> storedBytes(const TestStore& store)
{
    std::map<std::string, QByteArray> bytes;
    const std::string rows = runSql(store.database, "SELECT o.id, hex(r.data) FROM objects o JOIN "
                                                    "revisions r ON r.object_id = o.id AND "
                                                    "r.revision = o.revision");
    for (const QByteArray& line : QByteArray::fromStdString(rows).split('\n')) {
        const qsizetype bar = line.indexOf('|');
        if (bar > 0)
            bytes[line.left(bar).toStdString()] = QByteArray::fromHex(line.mid(bar + 1));
    }
    return bytes;
}

// Compares every object of the store as the listing shows it and as the host shows its bytes;
// returns how many there were.
size_t compareStore(const TestStore& store, ObjectView& view)
{
    const std::map<std::string, QByteArray> bytes = storedBytes(store);
    size_t objects = 0;
    for (const std::string kind : {"dnarna", "protein", "citation", "blast"}) {
        Dbscout::ResultPage page;
        for (int start = 0; start == 0 || start < page.totalFound; start += 1000) {
            page = parseResultPage(runHandler(store.url(kind + "/?start=" + std::to_string(start) +
                                                        "&page=1000&query=MAIN"))
                                       .output);
            EXPECT_EQ(page.status, "OK") << kind;
            for (const Dbscout::ResultRow& row : page.rows) {
                const auto stored = bytes.find(row.id);
                if (stored == bytes.end()) {
                    ADD_FAILURE() << kind << "/" << row.id << " has no bytes";
                    continue;
                }
                if (objects == 0) {
                    EXPECT_EQ(runHandler(store.url(kind + "/" + row.id + "?command=fetch")).output,
                              stored->second.toStdString());
                }
                compareObject(stored->second, kind, page, row, view);
                ++objects;
            }
        }
    }
    EXPECT_EQ(objects, bytes.size());
    return objects;
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

// The record files in as few groups as hold them with no name twice, so that one import fills
// a store with every record of its group: the same records stand in several files and formats.
std::vector<std::vector<std::string>> importGroups()
{
    std::vector<std::vector<std::string>> groups;
    std::vector<std::set<std::string>> groupNames;
    for (const std::string& path : recordFiles()) {
        std::set<std::string> names;
        Dbscout::Records::RecordText read;
        if (Dbscout::Records::readRecords(RecordsTest::sampleText(path), read).ok()) {
            // A report is named by its file, an unreadable record not at all.
            for (const Dbscout::Records::ReadEntry& entry : read.entries) {
                if (entry.outcome.ok() && entry.record.kind != RecordKind::BlastReport)
                    names.insert(entry.record.name);
            }
        }
        size_t group = 0;
        while (group < groups.size() &&
               std::any_of(names.begin(), names.end(),
                           [&](const std::string& name) { return groupNames[group].count(name); }))
            ++group;
        if (group == groups.size()) {
            groups.emplace_back();
            groupNames.emplace_back();
        }
        groups[group].push_back(path);
        groupNames[group].insert(names.begin(), names.end());
    }
    return groups;
}

TEST(SameFacts, theHostShowsWhatTheImportStoresOfEveryRecordFile)
{
    DbscoutTest::TestEnv env;
    ObjectView view;
    view.resize(900, 700);
    size_t objects = 0;
    for (const std::vector<std::string>& paths : importGroups()) {
        const TestStore store = makeStore("records" + std::to_string(objects));
        // A record refused (two of them, broken on purpose) or a name met twice within a file is
        // not stored; the others are, file by file.
        const ProcessResult imported = store.admin("import", paths);
        for (const std::string& path : paths) {
            const size_t at = imported.output.find(path + ": ");
            ASSERT_NE(at, std::string::npos) << path << imported.errors;
            const std::string line =
                imported.output.substr(at, imported.output.find('\n', at) - at);
            EXPECT_TRUE(line.ends_with(" record(s) stored")) << line;
        }
        EXPECT_EQ(imported.errors.find("exists already"), std::string::npos) << imported.errors;
        objects += compareStore(store, view);
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
