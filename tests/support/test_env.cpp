#include "support/test_env.h"

#include "platform/registry_store.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdlib>

namespace DbscoutTest {

namespace {
constexpr int kVariableCount = 5;
const char* const kVariables[kVariableCount] = {"DBSCOUT_REGISTRY_DIR", "XDG_CONFIG_HOME",
                                                "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
                                                "MOLB_AGENT_IDLE_SECONDS"};

QString tempRoot()
{
    const QByteArray root = qgetenv("DBSCOUT_TEST_TMP");
    if (root.isEmpty())
        return QDir::tempPath() + "/dbscout-test-XXXXXX";
    QDir().mkpath(QString::fromLocal8Bit(root));
    return QString::fromLocal8Bit(root) + "/env-XXXXXX";
}
} // namespace

TestEnv::TestEnv() : m_dir(tempRoot())
{
    for (int i = 0; i < kVariableCount; ++i) {
        m_had[i] = qEnvironmentVariableIsSet(kVariables[i]);
        m_saved[i] = qgetenv(kVariables[i]);
    }
    const QString root = m_dir.path();
    QDir().mkpath(root + "/registry");
    QDir().mkpath(root + "/config");
    QDir().mkpath(root + "/data");
    qputenv("DBSCOUT_REGISTRY_DIR", (root + "/registry").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root + "/data").toLocal8Bit());
    // Each world has its own molb connection agent, gone soon after the world.
    QDir().mkpath(root + "/runtime");
    qputenv("XDG_RUNTIME_DIR", (root + "/runtime").toLocal8Bit());
    qputenv("MOLB_AGENT_IDLE_SECONDS", "2");
    Dbscout::resetRegistryForTests(); // the next key opens this world's store
}

TestEnv::~TestEnv()
{
    for (int i = 0; i < kVariableCount; ++i) {
        if (m_had[i])
            qputenv(kVariables[i], m_saved[i]);
        else
            qunsetenv(kVariables[i]);
    }
    Dbscout::resetRegistryForTests();
}

std::string TestEnv::path() const
{
    return m_dir.path().toStdString();
}

std::string TestEnv::file(const std::string& name) const
{
    return path() + "/" + name;
}

std::string testBinaryDir()
{
    return DBSCOUT_TEST_BINARY_DIR;
}

} // namespace DbscoutTest
