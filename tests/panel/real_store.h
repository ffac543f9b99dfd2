#pragma once
// The real molb world for end-to-end tests: molb-admin makes a store "demo" in the test's private
// data folder, dbscout-reg configures the "Demo database" source and registers molb-handler,
// exactly as a user's installation does.

#include <QByteArray>
#include <QStringList>

namespace DbscoutTest {

class TestEnv;

class RealStore
{
public:
    // Creates the store and the configuration; count nucleotide records named seq000, seq001 ...
    // are imported into MAIN and into the subset "Favourites".
    RealStore(const TestEnv& env, int count);

    // molb-admin run with arguments (the store is named "demo").
    QByteArray admin(const QStringList& arguments, bool* ok = nullptr,
                     const QByteArray& input = {}) const;
    // The handler run for a request URL exactly as the panel runs it (the URL its one argument).
    QByteArray request(const QString& url, bool* ok = nullptr) const;
};

} // namespace DbscoutTest
