#include "support/test_env.h"

#include "platform/registry_store.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdlib>

namespace DbscoutTest {

namespace {
const char* const kVariables[3] = {"DBSCOUT_REGISTRY_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};

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
    for (int i = 0; i < 3; ++i) {
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
    Dbscout::ResetRegistryForTests(); // the next key opens this world's store
}

TestEnv::~TestEnv()
{
    for (int i = 0; i < 3; ++i) {
        if (m_had[i])
            qputenv(kVariables[i], m_saved[i]);
        else
            qunsetenv(kVariables[i]);
    }
    Dbscout::ResetRegistryForTests();
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
