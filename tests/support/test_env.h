#pragma once
// A private, empty world for one test: its own settings store folder and XDG folders, so tests
// never touch the user's settings or each other's.

#include <QTemporaryDir>

#include <string>

namespace DbscoutTest {

class TestEnv
{
public:
    // Creates a fresh folder and points DBSCOUT_REGISTRY_DIR, XDG_CONFIG_HOME and
    // XDG_DATA_HOME into it. The previous values come back when the object is destroyed.
    TestEnv();
    ~TestEnv();

    std::string path() const;                     // the folder
    std::string file(const std::string& name) const; // a path inside it

private:
    QTemporaryDir m_dir;
    QByteArray m_saved[5];
    bool m_had[5] = {};
};

// The folder that holds the helper programs built for the tests (test handler, ...).
std::string testBinaryDir();

} // namespace DbscoutTest
