// molb-admin: creates molb databases, local or on a server, and fills them.

#include "admin/admin_commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Dbscout::Molb;

namespace {

constexpr const char* kUsage =
    "usage: molb-admin init DB\n"
    "       molb-admin import DB [--subset NAME] [--owner USER] FILE...\n"
    "       molb-admin user add DB NAME [--group GROUP]...   (password on standard input)\n"
    "       molb-admin subset add DB NAME [--mode MODE] [--owner USER] [--kind KIND] [ID...]\n"
    "       molb-admin generate DB --count N [--kind KIND]\n"
    "       molb-admin chmod DB ID MODE | chmod DB --subset NAME [--kind KIND] MODE\n"
    "       molb-admin chown DB ID USER[:GROUP] | chown DB --subset NAME [--kind KIND] "
    "USER[:GROUP]\n"
    "       molb-admin link DB PARENT CHILD\n"
    "       molb-admin translate DB ID\n"
    "       molb-admin log DB ID\n"
    "MODE is three of -, r, w (owner, group, other); * leaves a position as it is.\n"
    "DB is the name of a database in $XDG_DATA_HOME/molb (~/.local/share/molb), or a PostgreSQL\n"
    "connection string (postgresql://ADMIN@HOST[:PORT]/DB) for a database on a server.\n";

int usage(const std::string& problem)
{
    if (!problem.empty())
        adminError(problem);
    std::fputs(kUsage, stderr);
    return kAdminUsage;
}

// Options of the form "--name VALUE"; everything else is positional. Repeated options collect.
struct Arguments
{
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;

    std::string last(const std::string& name) const
    {
        std::string value;
        for (const auto& [key, text] : options) {
            if (key == name)
                value = text;
        }
        return value;
    }
    std::vector<std::string> all(const std::string& name) const
    {
        std::vector<std::string> values;
        for (const auto& [key, text] : options) {
            if (key == name)
                values.push_back(text);
        }
        return values;
    }
};

bool parseArguments(int argc, char** argv, int first, const std::vector<std::string>& known,
                    Arguments& arguments, std::string& problem)
{
    for (int i = first; i < argc; ++i) {
        const std::string word = argv[i];
        // "--name" is an option; a mode such as "---" is not.
        if (word.size() < 3 || word.compare(0, 2, "--") != 0 || word[2] == '-') {
            arguments.positional.push_back(word);
            continue;
        }
        const std::string name = word.substr(2);
        bool isKnown = false;
        for (const std::string& option : known)
            isKnown = isKnown || option == name;
        if (!isKnown) {
            problem = "unknown option " + word;
            return false;
        }
        if (i + 1 >= argc) {
            problem = word + " needs a value";
            return false;
        }
        arguments.options.emplace_back(name, argv[++i]);
    }
    return true;
}

// chmod and chown name an object by its id (one word), or a subset by --subset (no word).
size_t objectWords(const Arguments& arguments)
{
    return arguments.last("subset").empty() ? 1 : 0;
}

int runCommand(int argc, char** argv)
{
    if (argc < 3)
        return usage({});
    const std::string command = argv[1];
    const bool twoWords = command == "user" || command == "subset";
    if (twoWords && (argc < 4 || std::string(argv[2]) != "add"))
        return usage("the " + command + " command is \"" + command + " add\"");
    Arguments arguments;
    std::string problem;
    const std::vector<std::string> known = {"subset", "owner", "group", "mode", "kind", "count"};
    if (!parseArguments(argc, argv, twoWords ? 3 : 2, known, arguments, problem))
        return usage(problem);
    const std::vector<std::string>& words = arguments.positional;
    if (words.empty())
        return usage("no database named");
    const std::string& database = words[0];

    if (command == "init" && words.size() == 1)
        return adminInit(database);
    if (command == "import" && words.size() >= 2)
        return adminImport(database, arguments.last("subset"), arguments.last("owner"),
                           {words.begin() + 1, words.end()});
    if (command == "user" && words.size() == 2)
        return adminAddUser(database, words[1], arguments.all("group"));
    if (command == "subset" && words.size() >= 2)
        return adminAddSubset(database, words[1], arguments.last("mode"), arguments.last("owner"),
                              arguments.last("kind"), {words.begin() + 2, words.end()});
    if ((command == "chmod" || command == "chown") && words.size() == 2 + objectWords(arguments)) {
        const AdminTarget target{objectWords(arguments) ? words[1] : std::string(),
                                 arguments.last("subset"), arguments.last("kind")};
        return command == "chmod" ? adminChmod(database, target, words.back())
                                  : adminChown(database, target, words.back());
    }
    if (command == "link" && words.size() == 3)
        return adminLink(database, words[1], words[2]);
    if (command == "translate" && words.size() == 2)
        return adminTranslate(database, words[1]);
    if (command == "log" && words.size() == 2)
        return adminLog(database, words[1]);
    if (command == "generate" && words.size() == 1) {
        const std::string count = arguments.last("count");
        char* end = nullptr;
        const long long number = std::strtoll(count.c_str(), &end, 10);
        if (count.empty() || *end != '\0' || number <= 0)
            return usage("generate needs --count with a positive whole number");
        return adminGenerate(database, number, arguments.last("kind"));
    }
    return usage("unknown command or wrong number of arguments: " + command);
}

} // namespace

int main(int argc, char** argv)
{
    // A command fails with a message, never with an abort: an import answers for each file
    // itself, and this catches what any other command lets escape.
    try {
        return runCommand(argc, argv);
    } catch (const std::exception& error) {
        adminError(error.what());
    } catch (...) {
        adminError("the command failed");
    }
    return kAdminFailed;
}
