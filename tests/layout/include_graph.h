#pragma once
// The folders of the source tree and which of them may include which, read from a table kept
// beside the tests (folder_dependencies.txt), checked against the includes the sources make.

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace DbscoutTest {

struct FolderTable
{
    // Folders scanned for sources, relative to the tree's root.
    std::vector<std::string> scanned;
    // Where an include is looked for when it is not beside the including file, in order.
    std::vector<std::string> searchRoots;
    // A folder (with its subfolders that have no line of their own) and the folders it may
    // include besides itself.
    std::map<std::string, std::set<std::string>> allowed;
};

// Reads a table: "scan = a b", "search = a b", "folder: other folders", '#' comments. nullopt
// with error set for a malformed line or a folder named twice.
std::optional<FolderTable> readFolderTable(const std::filesystem::path& file, std::string& error);

// Every include under the scanned folders of root that the table does not allow, one line each
// naming the file, the include and the two folders; also every source in no folder of the table
// and every quoted include found nowhere.
std::vector<std::string> checkIncludes(const std::filesystem::path& root, const FolderTable& table);

// The cycles among the table's folders, each as "a -> b -> a"; empty when there is none.
std::vector<std::string> findCycles(const FolderTable& table);

} // namespace DbscoutTest
