#pragma once
// What every read-only web handler's address reads into beside its source: the record names, the
// command and the page, checked the same way for each handler's table of addresses.

#include "read_only_request.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace WebTest {

inline void expectReadOnlyParts(const Dbscout::Web::ReadOnlyRequest& request,
                                const std::vector<std::string>& ids, Dbscout::Web::Command command,
                                std::int64_t start, int page, const std::string& url)
{
    EXPECT_EQ(request.ids, ids) << url;
    EXPECT_EQ(request.command, command) << url;
    EXPECT_EQ(request.start, start) << url;
    EXPECT_EQ(request.pageSize, page) << url;
}

} // namespace WebTest
