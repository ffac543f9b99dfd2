#include "include_graph.h"

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace DbscoutTest {

namespace {

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

bool isSource(const fs::path& file)
{
    const std::string extension = file.extension().string();
    return extension == ".h" || extension == ".cpp" || extension == ".c";
}

// The table's folder that holds folder: the longest one equal to it or above it.
std::optional<std::string> folderOf(const FolderTable& table, const std::string& folder)
{
    std::optional<std::string> best;
    for (const auto& [name, allowed] : table.allowed) {
        const bool holds = folder == name || (folder.size() > name.size() &&
                                              folder.compare(0, name.size(), name) == 0 &&
                                              folder[name.size()] == '/');
        if (holds && (!best || name.size() > best->size()))
            best = name;
    }
    return best;
}

// The file an include names, relative to root: beside the including file first, then in the
// search roots; nullopt when it is in none of them.
std::optional<std::string> resolve(const fs::path& root, const FolderTable& table,
                                   const std::string& fromFolder, const std::string& name,
                                   bool quoted)
{
    std::vector<std::string> places;
    if (quoted)
        places.push_back(fromFolder);
    places.insert(places.end(), table.searchRoots.begin(), table.searchRoots.end());
    for (const std::string& place : places) {
        const fs::path candidate = fs::path(place) / name;
        if (fs::is_regular_file(root / candidate))
            return candidate.lexically_normal().generic_string();
    }
    return std::nullopt;
}

} // namespace

std::optional<FolderTable> readFolderTable(const fs::path& file, std::string& error)
{
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    FolderTable table;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        if (words(line).empty())
            continue;
        const size_t equals = line.find('=');
        const size_t colon = line.find(':');
        const std::vector<std::string> head = words(line.substr(0, std::min(equals, colon)));
        const std::string where = file.filename().string() + ":" + std::to_string(number);
        if (head.size() != 1) {
            error = where + ": expected \"scan = ...\", \"search = ...\" or \"folder: ...\"";
            return std::nullopt;
        }
        if (equals < colon && (head[0] == "scan" || head[0] == "search")) {
            (head[0] == "scan" ? table.scanned : table.searchRoots) =
                words(line.substr(equals + 1));
            continue;
        }
        if (colon == std::string::npos || equals < colon) {
            error = where + ": expected \"scan = ...\", \"search = ...\" or \"folder: ...\"";
            return std::nullopt;
        }
        const std::vector<std::string> targets = words(line.substr(colon + 1));
        if (!table.allowed.emplace(head[0], std::set(targets.begin(), targets.end())).second) {
            error = where + ": " + head[0] + " has a line already";
            return std::nullopt;
        }
    }
    return table;
}

std::vector<std::string> checkIncludes(const fs::path& root, const FolderTable& table)
{
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    std::vector<std::string> problems;
    std::vector<fs::path> files;
    for (const std::string& scanned : table.scanned)
        for (const auto& entry : fs::recursive_directory_iterator(root / scanned))
            if (entry.is_regular_file() && isSource(entry.path()))
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        const std::string relative = fs::relative(file, root).generic_string();
        const std::string folder = fs::path(relative).parent_path().generic_string();
        const std::optional<std::string> from = folderOf(table, folder);
        if (!from) {
            problems.push_back(relative + ": its folder " + folder + " has no line in the table");
            continue;
        }
        std::ifstream in(file);
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            std::smatch match;
            if (!std::regex_search(line, match, include))
                continue;
            const bool quoted = match[1] == "\"";
            const std::string where =
                relative + ":" + std::to_string(number) + ": " + match[2].str();
            const std::optional<std::string> target =
                resolve(root, table, folder, match[2].str(), quoted);
            if (!target) {
                if (quoted)
                    problems.push_back(where + ": found nowhere in the tree");
                continue; // a system header
            }
            const std::optional<std::string> to =
                folderOf(table, fs::path(*target).parent_path().generic_string());
            if (!to)
                problems.push_back(where + ": " + *target + " is in no folder of the table");
            else if (*to != *from && !table.allowed.at(*from).count(*to))
                problems.push_back(where + ": " + *from + " may not include " + *to);
        }
    }
    return problems;
}

std::vector<std::string> findCycles(const FolderTable& table)
{
    enum class Mark { Unseen, OnPath, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::vector<std::string> cycles;
    const std::function<void(const std::string&)> visit = [&](const std::string& folder) {
        marks[folder] = Mark::OnPath;
        path.push_back(folder);
        const auto line = table.allowed.find(folder);
        if (line != table.allowed.end()) {
            for (const std::string& next : line->second) {
                if (marks[next] == Mark::OnPath) {
                    std::string cycle;
                    for (auto at = std::find(path.begin(), path.end(), next); at != path.end();
                         ++at)
                        cycle += *at + " -> ";
                    cycles.push_back(cycle + next);
                } else if (marks[next] == Mark::Unseen) {
                    visit(next);
                }
            }
        }
        path.pop_back();
        marks[folder] = Mark::Done;
    };
    for (const auto& [folder, allowed] : table.allowed)
        if (marks[folder] == Mark::Unseen)
            visit(folder);
    return cycles;
}

} // namespace DbscoutTest
