#include <gtest/gtest.h>

#include "records/hash_table.h"

namespace velmora {
namespace {

TEST(HashTable, Placeholder) { EXPECT_EQ(THash::HashOf("ST") & 127, 52u); }

}  // namespace
}  // namespace velmora
