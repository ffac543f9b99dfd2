#pragma once
// A store with three users for the operation tests: ann and bob in group "bench", eve alone;
// every request runs as one of them.

#include "molb_harness.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace MolbTest {

class UsersFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    // "&user=NAME&pass=NAME-pw"
    static std::string as(const std::string& user);
    // Saves a FASTA object as user; returns its id.
    std::string save(const std::string& user, const std::string& name,
                     const std::string& kind = "dnarna");
    // An operation on the objects of path, as user, answered with the first page of MAIN.
    ProcessResult operation(const std::string& user, const std::string& path,
                            const std::string& parameters, const std::string& kind = "dnarna");
    // The first page of MAIN as user, with the component's parser.
    Dbscout::ResultPage mainPage(const std::string& user, const std::string& kind = "dnarna");
    // The holder of every row of MAIN, as ann sees it, by name: "a=ann b= ...".
    std::string holders();
    void chmod(const std::string& id, const std::string& mode);

    DbscoutTest::TestEnv env;
    TestStore store;
};

} // namespace MolbTest
