// The one result shape: whatever a failure's reason looks like, and however empty a
// value is, a failed result is never taken for a value, nor a good one for a failure.

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

#include "base/result.h"

namespace ceph::base {
namespace {

TEST(Result, AFailureIsNeverTakenForAValueNorAnEmptyValueForAFailure) {
    // A hand-off of no lines is read, not unreadable.
    const Result<std::vector<std::string>> noLines = std::vector<std::string>();
    EXPECT_TRUE(noLines.ok());
    // A refusal in words alone, without the system's error (a patient code that cannot
    // name a file), is still a refusal, and so is one whose reason is empty.
    const Result<void> refused = Fail({}, {}, "是空的");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.why().detail, "是空的");
    const Result<std::string, std::string> noReason = Fail(std::string());
    EXPECT_FALSE(noReason.ok());
    EXPECT_TRUE(Result<void>().ok());
}

TEST(Result, TheSystemsErrorCodeFailsOnlyWhenSet) {
    EXPECT_TRUE(FromSystem("ceph-1", {}).ok());
    const Result<void> full =
        FromSystem("ceph-1", std::make_error_code(std::errc::no_space_on_device));
    ASSERT_FALSE(full.ok());
    EXPECT_EQ(full.why().file, "ceph-1");
    EXPECT_EQ(full.why().error, std::errc::no_space_on_device);
}

}  // namespace
}  // namespace ceph::base
