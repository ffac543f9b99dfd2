#include "platform/registry_store.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace Dbscout {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string configHome()
{
    // Relative XDG paths are invalid and must be ignored.
    const std::string xdg = environment("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return xdg;
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()))
            home = entry->pw_dir;
    }
    return home + "/.config";
}

std::string hiveFile(Hive::Kind kind)
{
    const std::string folder = environment("DBSCOUT_REGISTRY_DIR");
    const char* name = kind == Hive::Kind::User ? "/user.db" : "/machine.db";
    if (!folder.empty())
        return folder + name;
    return kind == Hive::Kind::User ? configHome() + "/dbscout" + name
                                    : std::string("/etc/dbscout") + name;
}

struct HiveCache
{
    std::mutex mutex;
    std::shared_ptr<Hive> hives[2];
};

HiveCache& cache()
{
    static HiveCache instance;
    return instance;
}

} // namespace

std::shared_ptr<Hive> hiveOf(Hive::Kind kind)
{
    HiveCache& hives = cache();
    std::lock_guard lock(hives.mutex);
    std::shared_ptr<Hive>& hive = hives.hives[kind == Hive::Kind::User ? 0 : 1];
    if (!hive)
        hive = std::make_shared<Hive>(hiveFile(kind), kind);
    return hive;
}

void resetRegistryForTests()
{
    HiveCache& hives = cache();
    std::lock_guard lock(hives.mutex);
    for (std::shared_ptr<Hive>& hive : hives.hives)
        hive.reset();
}

} // namespace Dbscout
